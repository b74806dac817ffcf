#include "common/item_list.h"

void FreeItemList(LPITEMIDLIST items) {
  if (items == nullptr) return;
  // SHGetMalloc rather than CoTaskMemFree: the 9x shells hand out their
  // item lists from their own allocator.
  IMalloc* allocator = nullptr;
  if (SHGetMalloc(&allocator) != S_OK || allocator == nullptr) return;
  allocator->Free(items);
  allocator->Release();
}
