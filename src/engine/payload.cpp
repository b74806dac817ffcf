#include "engine/payload.h"

#include <windows.h>

#include "common/unique_any.h"
#include "product/installer_state.h"
#include "dialogs/dialog_frame.h"
#include "engine/expand_file.h"

namespace {

const char SCRATCH_FILE[] = "tempfile.tmp";

// Removes the scratch file, then ends the run.
[[noreturn]] void FailWithoutScratch(const char* message) {
  DeleteFileA(SCRATCH_FILE);
  FatalError(message);
}

}  // namespace

void ExtractPayloadFile(uint32_t resourceId, const char* fileName) {
  HINSTANCE instance = Installer.instance;
  // The type is the name "RT_RCDATA", not the numeric raw-data type.
  HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(resourceId), "RT_RCDATA");
  if (found == nullptr) FatalError(RESOURCE_FAILURE_TEXT);
  DWORD size = SizeofResource(instance, found);
  HGLOBAL loaded = LoadResource(instance, found);
  if (loaded == nullptr) FatalError(RESOURCE_FAILURE_TEXT);
  const void* bytes = LockResource(loaded);
  if (bytes == nullptr) FatalError(RESOURCE_FAILURE_TEXT);

  FileOwner scratch(CreateFileA(SCRATCH_FILE, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!scratch.valid()) FatalError(CREATE_FAILURE_TEXT);
  // Straight from the resource, in one write of the whole size.
  DWORD written = 0;
  BOOL wrote = WriteFile(scratch.get(), bytes, size, &written, nullptr);
  scratch.reset();
  if (wrote != 1) FailWithoutScratch(WRITE_FAILURE_TEXT);

  ExpandOutcome outcome = ExpandCompressedFile(SCRATCH_FILE, fileName);
  DeleteFileA(SCRATCH_FILE);
  // An expansion that failed would otherwise leave a file missing or cut
  // short while the installation goes on to report success.
  if (outcome == ExpandOutcome::TargetNotCreated) FatalError(CREATE_FAILURE_TEXT);
  if (outcome != ExpandOutcome::Expanded) FatalError(WRITE_FAILURE_TEXT);
}
