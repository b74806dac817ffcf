// File-level work of the szdd tool, shared with the benchmarks.  Messages
// put into *error are one line and start with the name of the file at fault.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "codec/szdd_decoder.h"
#include "szdd_encoder.h"

// Expansion streams through fixed buffers of this size, so its memory does
// not grow with the file.
constexpr size_t SZDD_FILE_BUFFER = 64 * 1024;

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* data, std::string* error);

// Writes data under path through a temporary file in the same folder, so
// that a failure leaves nothing new under path.
bool WriteFileReplacing(const std::string& path, const uint8_t* data, size_t size,
                        std::string* error);

// lastChar is the last character of the original file's name, kept in the
// header for whoever expands the file.
bool CompressFile(const std::string& in, const std::string& out, uint8_t lastChar, SzddLevel level,
                  std::string* error);

struct SzddExpandSizes {
  uint32_t stated;   // the header's expanded size
  uint64_t written;  // what the data expanded to, all of it written
};

// Expands in into out (through a temporary file, as above).  As with the
// platform's expander, the expansion ends where the compressed data ends, so
// a header that states a wrong size costs no bytes; *sizes (if given) tells
// the two figures apart.
bool ExpandFile(const std::string& in, const std::string& out, std::string* error,
                SzddExpandSizes* sizes = nullptr);

// Reads the header at the start of path; answers false with the reason when
// it is missing or wrong.
bool ReadFileHeader(const std::string& path, SzddHeader* header, std::string* error);

struct SzddFileReport {
  SzddHeader header;
  uint64_t storedSize;
  SzddStatus stream;  // outcome of expanding the whole stream (output dropped)
};

// Header and stream check of an SZDD file; false when it cannot be read or
// has no valid header.
bool InspectFile(const std::string& path, SzddFileReport* report, std::string* error);
