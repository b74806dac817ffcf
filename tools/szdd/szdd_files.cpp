#include "szdd_files.h"

#include <memory>
#include <utility>

#include "os_file.h"

namespace {

bool Fail(std::string* error, const std::string& path, const std::string& reason) {
  *error = path + ": " + reason;
  return false;
}

// Output under construction: a temporary file beside its final name, removed
// again unless Commit succeeds.
class PendingOutput {
 public:
  explicit PendingOutput(std::string path) : path_(std::move(path)) {}
  PendingOutput(const PendingOutput&) = delete;
  PendingOutput& operator=(const PendingOutput&) = delete;
  ~PendingOutput() {
    std::string ignored;
    OsClose(&file_, &ignored);
    if (!temp_.empty()) OsRemove(temp_);
  }

  bool Open(std::string* error) {
    std::string reason;
    if (!OsCreateTempBeside(path_, &file_, &temp_, &reason)) {
      temp_.clear();
      return Fail(error, path_, "cannot create a file beside it: " + reason);
    }
    return true;
  }

  bool Write(const uint8_t* data, size_t size, std::string* error) {
    std::string reason;
    if (!OsWriteAll(file_, data, size, &reason)) return Fail(error, path_, "write failed: " + reason);
    return true;
  }

  bool Commit(std::string* error) {
    std::string reason;
    if (!OsClose(&file_, &reason)) return Fail(error, path_, "write failed: " + reason);
    if (!OsReplace(temp_, path_, &reason)) return Fail(error, path_, reason);
    temp_.clear();
    return true;
  }

 private:
  std::string path_;
  std::string temp_;
  OsFile file_;
};

class InputFile {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile() {
    std::string ignored;
    OsClose(&file_, &ignored);
  }

  bool Open(const std::string& path, std::string* error) {
    path_ = path;
    std::string reason;
    if (!OsOpenRead(path.c_str(), &file_, &reason)) return Fail(error, path, reason);
    return true;
  }

  bool Read(uint8_t* buffer, size_t size, size_t* got, std::string* error) {
    std::string reason;
    if (!OsRead(file_, buffer, size, got, &reason)) return Fail(error, path_, "read failed: " + reason);
    return true;
  }

  // Fills buffer as far as the file goes.
  bool ReadFully(uint8_t* buffer, size_t size, size_t* got, std::string* error) {
    *got = 0;
    while (*got < size) {
      size_t n = 0;
      if (!Read(buffer + *got, size - *got, &n, error)) return false;
      if (n == 0) break;
      *got += n;
    }
    return true;
  }

  bool Size(uint64_t* size, std::string* error) {
    std::string reason;
    if (!OsFileSize(file_, size, &reason)) return Fail(error, path_, reason);
    return true;
  }

 private:
  std::string path_;
  OsFile file_;
};

// Runs the whole stream of in through the decoder; hands each filled output
// buffer to sink.  Answers the decoder's final outcome in *status.
// Given statedSize, the expansion ends where the data ends instead: the
// decoder is shown the largest size a header can state in place of the
// file's own, which goes to *statedSize (0 without a valid header).
template <typename Sink>
bool Expand(InputFile& in, uint32_t* statedSize, SzddStatus* status, Sink sink,
            std::string* error) {
  std::unique_ptr<SzddDecoder> decoder(new SzddDecoder);
  std::unique_ptr<uint8_t[]> input(new uint8_t[SZDD_FILE_BUFFER]);
  std::unique_ptr<uint8_t[]> output(new uint8_t[SZDD_FILE_BUFFER]);
  SzddDecoderInit(decoder.get());
  decoder->nextOut = output.get();
  decoder->availOut = SZDD_FILE_BUFFER;
  bool end = false;
  if (statedSize != nullptr) {
    // The whole header has to be in the first input to be rewritten there.
    size_t got = 0;
    if (!in.ReadFully(input.get(), SZDD_FILE_BUFFER, &got, error)) return false;
    *statedSize = 0;
    SzddHeader header;
    if (SzddReadHeader(input.get(), got, &header) == SzddStatus::Ok) {
      *statedSize = header.expandedSize;
      for (size_t k = 0; k < 4; ++k) {
        input[SZDD_OFFSET_SIZE + k] = static_cast<uint8_t>(SZDD_MAX_EXPANDED >> (8 * k));
      }
    }
    end = got == 0;
    decoder->nextIn = input.get();
    decoder->availIn = got;
  }
  for (;;) {
    if (decoder->availIn == 0 && !end) {
      size_t got = 0;
      if (!in.Read(input.get(), SZDD_FILE_BUFFER, &got, error)) return false;
      end = got == 0;
      decoder->nextIn = input.get();
      decoder->availIn = got;
    }
    *status = SzddDecode(decoder.get(), end);
    if (*status == SzddStatus::NeedInput) continue;
    const size_t filled = SZDD_FILE_BUFFER - decoder->availOut;
    if (filled != 0 && !sink(output.get(), filled, error)) return false;
    decoder->nextOut = output.get();
    decoder->availOut = SZDD_FILE_BUFFER;
    if (*status != SzddStatus::OutputFull) return true;
  }
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* data, std::string* error) {
  InputFile in;
  uint64_t size = 0;
  if (!in.Open(path, error) || !in.Size(&size, error)) return false;
  if (size > static_cast<size_t>(-1) / 2) return Fail(error, path, "file too large");
  // The size is a hint (the file may change); read to the end regardless.
  data->resize(static_cast<size_t>(size) + 1);
  size_t have = 0;
  for (;;) {
    if (have == data->size()) data->resize(data->size() * 2);
    size_t got = 0;
    if (!in.Read(data->data() + have, data->size() - have, &got, error)) return false;
    if (got == 0) break;
    have += got;
  }
  data->resize(have);
  return true;
}

bool WriteFileReplacing(const std::string& path, const uint8_t* data, size_t size,
                        std::string* error) {
  PendingOutput out(path);
  return out.Open(error) && out.Write(data, size, error) && out.Commit(error);
}

bool CompressFile(const std::string& in, const std::string& out, uint8_t lastChar, SzddLevel level,
                  std::string* error) {
  std::vector<uint8_t> data;
  if (!ReadWholeFile(in, &data, error)) return false;
  const size_t bound = SzddMaxEncodedSize(data.size());
  if (bound == 0) return Fail(error, in, "too large for the format (4 GiB at most)");
  std::vector<uint8_t> packed(bound);
  const size_t size = SzddEncode(data.data(), data.size(), lastChar, level, packed.data(), bound);
  return WriteFileReplacing(out, packed.data(), size, error);
}

bool ExpandFile(const std::string& in, const std::string& out, std::string* error,
                SzddExpandSizes* sizes) {
  InputFile source;
  if (!source.Open(in, error)) return false;
  PendingOutput target(out);
  if (!target.Open(error)) return false;
  SzddStatus status = SzddStatus::NeedInput;
  uint32_t stated = 0;
  uint64_t written = 0;
  const auto write = [&](const uint8_t* data, size_t size, std::string* e) {
    written += size;
    return target.Write(data, size, e);
  };
  if (!Expand(source, &stated, &status, write, error)) return false;
  // Against the largest size a header can state, the data ending first is
  // the normal end, and running past it means more than the format can hold.
  if (status == SzddStatus::SizeLong) {
    return Fail(error, in, "data expands past the largest size a header can state");
  }
  if (status != SzddStatus::Ok && status != SzddStatus::SizeShort) {
    return Fail(error, in, SzddStatusText(status));
  }
  if (!target.Commit(error)) return false;
  if (sizes != nullptr) *sizes = SzddExpandSizes{stated, written};
  return true;
}

bool ReadFileHeader(const std::string& path, SzddHeader* header, std::string* error) {
  InputFile in;
  if (!in.Open(path, error)) return false;
  uint8_t bytes[SZDD_HEADER_SIZE];
  size_t got = 0;
  if (!in.ReadFully(bytes, sizeof bytes, &got, error)) return false;
  const SzddStatus status = SzddReadHeader(bytes, got, header);
  if (status != SzddStatus::Ok) return Fail(error, path, SzddStatusText(status));
  return true;
}

bool InspectFile(const std::string& path, SzddFileReport* report, std::string* error) {
  if (!ReadFileHeader(path, &report->header, error)) return false;
  InputFile in;
  if (!in.Open(path, error) || !in.Size(&report->storedSize, error)) return false;
  const auto drop = [](const uint8_t*, size_t, std::string*) { return true; };
  return Expand(in, nullptr, &report->stream, drop, error);
}
