#include "engine/payload.h"

#include <windows.h>

#include "common/unique_any.h"
#include "product/installer_state.h"
#include "engine/expand_file.h"

InstallOutcome ExtractPayloadFile(uint32_t resourceId, const char* fileName) {
  HINSTANCE instance = Installer.instance;
  // The type is the name "RT_RCDATA", not the numeric raw-data type.
  HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(resourceId), "RT_RCDATA");
  if (found == nullptr) return InstallOutcome::ResourceFailed;
  DWORD size = SizeofResource(instance, found);
  HGLOBAL loaded = LoadResource(instance, found);
  if (loaded == nullptr) return InstallOutcome::ResourceFailed;
  const void* bytes = LockResource(loaded);
  if (bytes == nullptr) return InstallOutcome::ResourceFailed;

  FileOwner scratch(
      CreateFileA(SCRATCH_FILE_NAME, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!scratch.valid()) return InstallOutcome::CreateFailed;
  // Straight from the resource, in one write of the whole size.
  ExpandOutcome outcome = WriteAll(scratch.get(), bytes, size);
  scratch.reset();
  if (outcome == ExpandOutcome::Expanded) outcome = ExpandCompressedFile(SCRATCH_FILE_NAME, fileName);
  DeleteFileA(SCRATCH_FILE_NAME);
  // An expansion that failed would otherwise leave a file missing or cut
  // short while the installation goes on to report success.
  if (outcome == ExpandOutcome::TargetNotCreated) return InstallOutcome::CreateFailed;
  if (outcome == ExpandOutcome::DiskFull) return InstallOutcome::DiskFull;
  if (outcome != ExpandOutcome::Expanded) return InstallOutcome::WriteFailed;
  return InstallOutcome::Done;
}
