// One move-only owner for every kind of handle the installer opens, in the
// manner of the well-known unique_any: the handle's type, the value that
// means "none" and the function that closes it are the parameters.  What it
// owns is closed when it goes out of scope or is reset, on every path.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

template <typename Handle, Handle (*None)(), void (*Close)(Handle)>
class UniqueAny {
 public:
  UniqueAny() = default;
  explicit UniqueAny(Handle handle) : handle_(handle) {}
  UniqueAny(UniqueAny&& other) : handle_(other.release()) {}
  UniqueAny& operator=(UniqueAny&& other) {
    reset(other.release());
    return *this;
  }
  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;
  ~UniqueAny() { reset(); }

  bool valid() const { return handle_ != None(); }
  Handle get() const { return handle_; }
  Handle operator->() const { return handle_; }
  // For an API that stores a new handle: whatever was owned is closed first.
  Handle* out() {
    reset();
    return &handle_;
  }
  Handle release() {
    Handle handle = handle_;
    handle_ = None();
    return handle;
  }
  void reset(Handle handle = None()) {
    if (valid()) Close(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = None();
};

namespace owners {
inline HANDLE NoFile() { return INVALID_HANDLE_VALUE; }
inline void CloseFile(HANDLE file) { CloseHandle(file); }
inline HANDLE NoHandle() { return nullptr; }
inline HKEY NoKey() { return nullptr; }
inline void CloseKey(HKEY key) { RegCloseKey(key); }
template <typename Interface>
Interface* NoInterface() { return nullptr; }
template <typename Interface>
void ReleaseInterface(Interface* pointer) { pointer->Release(); }
inline bool NotInitialised() { return false; }
inline void Uninitialise(bool) { CoUninitialize(); }
inline LPITEMIDLIST NoItems() { return nullptr; }
inline void FreeItems(LPITEMIDLIST items) {
  // SHGetMalloc rather than CoTaskMemFree: the 9x shells hand out their
  // item lists from their own allocator.
  IMalloc* allocator = nullptr;
  if (SHGetMalloc(&allocator) != S_OK || allocator == nullptr) return;
  allocator->Free(items);
  allocator->Release();
}
}  // namespace owners

// A file opened with CreateFileA.
using FileOwner = UniqueAny<HANDLE, owners::NoFile, owners::CloseFile>;
// A process, a thread or a job: kernel handles whose "none" is null.
using HandleOwner = UniqueAny<HANDLE, owners::NoHandle, owners::CloseFile>;
// A registry key, owned only once the platform reported it opened.
using KeyOwner = UniqueAny<HKEY, owners::NoKey, owners::CloseKey>;
// A COM interface pointer, released.
template <typename Interface>
using ComOwner = UniqueAny<Interface*, owners::NoInterface<Interface>, owners::ReleaseInterface<Interface>>;
// A shell item list (folder browser, special folders), freed with the
// shell's allocator.
using ItemListOwner = UniqueAny<LPITEMIDLIST, owners::NoItems, owners::FreeItems>;
// COM for the calling thread: true once CoInitialize succeeded, and then
// uninitialised after the interfaces (declared later, destroyed earlier).
using ComInitialised = UniqueAny<bool, owners::NotInitialised, owners::Uninitialise>;
