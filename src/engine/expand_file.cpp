#include "engine/expand_file.h"

#include <windows.h>

#include "common/unique_any.h"
#include "codec/szdd_decoder.h"

namespace {

constexpr DWORD INPUT_BUFFER_SIZE = 64 * 1024;
constexpr DWORD OUTPUT_BUFFER_SIZE = 64 * 1024;

// Process-wide, as the routine is not reentrant: about 200 KiB in all,
// whatever the size of the file.
SzddDecoder decoder;
uint8_t inputBuffer[INPUT_BUFFER_SIZE];
uint8_t outputBuffer[OUTPUT_BUFFER_SIZE];

}  // namespace

ExpandOutcome WriteAll(HANDLE file, const void* data, DWORD size) {
  DWORD written = 0;
  BOOL wrote = WriteFile(file, data, size, &written, nullptr);
  if (wrote == 1 && written == size) return ExpandOutcome::Expanded;
  // A full disk may take part of the bytes and still answer success.
  DWORD error = wrote == 1 ? ERROR_DISK_FULL : GetLastError();
  return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? ExpandOutcome::DiskFull
                                                                      : ExpandOutcome::WriteFailed;
}

namespace {

// Runs the decoder over the whole source, writing as the output fills.
ExpandOutcome Expand(HANDLE source, HANDLE target, bool* sourceFailed) {
  bool endOfInput = false;
  for (;;) {
    decoder.nextOut = outputBuffer;
    decoder.availOut = OUTPUT_BUFFER_SIZE;
    SzddStatus status = SzddDecode(&decoder, endOfInput);
    DWORD ready = static_cast<DWORD>(decoder.nextOut - outputBuffer);
    if (ready > 0) {
      ExpandOutcome wrote = WriteAll(target, outputBuffer, ready);
      if (wrote != ExpandOutcome::Expanded) return wrote;
    }
    if (status == SzddStatus::Ok) return ExpandOutcome::Expanded;
    if (status == SzddStatus::NeedInput) {
      DWORD got = 0;
      if (ReadFile(source, inputBuffer, INPUT_BUFFER_SIZE, &got, nullptr) != 1) {
        *sourceFailed = true;
        return ExpandOutcome::SourceUnreadable;
      }
      decoder.nextIn = inputBuffer;
      decoder.availIn = got;
      endOfInput = got == 0;
    } else if (status != SzddStatus::OutputFull) {
      return ExpandOutcome::Malformed;
    }
  }
}

}  // namespace

ExpandOutcome ExpandCompressedFile(const char* sourceName, const char* targetName) {
  FileOwner source(CreateFileA(sourceName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!source.valid()) return ExpandOutcome::SourceUnreadable;
  FileOwner target(CreateFileA(targetName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!target.valid()) return ExpandOutcome::TargetNotCreated;

  SzddDecoderInit(&decoder);
  decoder.nextIn = inputBuffer;
  decoder.availIn = 0;
  bool sourceFailed = false;
  ExpandOutcome outcome = Expand(source.get(), target.get(), &sourceFailed);
  target.reset();
  // Never leave a target cut short under its real name.
  if (outcome != ExpandOutcome::Expanded) DeleteFileA(targetName);
  return outcome;
}
