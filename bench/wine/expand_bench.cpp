// Under Wine, in one process: the platform's LZCopy (lz32) against our
// ExpandCompressedFile, file to file on the same compressed files.  Prints
// figures; it is a benchmark, not a test.
//   expand_bench.exe FILE._ ...   (compressed inputs, Windows paths)
#include <windows.h>
#include <lzexpand.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/expand_file.h"

namespace {

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER frequency) {
  return static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(frequency.QuadPart);
}

long long FileSize(const char* path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Best of several runs, in seconds.
template <typename Run>
double Best(int runs, Run run) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    run();
    QueryPerformanceCounter(&b);
    double s = Seconds(a, b, frequency);
    if (s < best) best = s;
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  std::printf("%-28s %12s %12s %12s %10s\n", "file", "expanded", "LZCopy MB/s", "ours MB/s", "ours/LZ");
  double totalBytes = 0, totalLz = 0, totalOurs = 0;
  for (int i = 1; i < argc; ++i) {
    const char* source = argv[i];
    std::string lzTarget = std::string(source) + ".lz";
    std::string ourTarget = std::string(source) + ".ours";
    double lz = Best(5, [&] {
      OFSTRUCT of;
      INT in = LZOpenFileA(const_cast<char*>(source), &of, OF_READ);
      INT out = LZOpenFileA(const_cast<char*>(lzTarget.c_str()), &of, OF_CREATE | OF_WRITE);
      LZCopy(in, out);
      LZClose(in);
      LZClose(out);
    });
    double ours = Best(5, [&] { ExpandCompressedFile(source, ourTarget.c_str()); });
    long long size = FileSize(ourTarget.c_str());
    if (size != FileSize(lzTarget.c_str())) std::printf("  sizes differ for %s\n", source);
    const char* name = std::strrchr(source, '\\') ? std::strrchr(source, '\\') + 1 : source;
    std::printf("%-28s %12lld %12.1f %12.1f %9.1fx\n", name, size, size / lz / 1e6, size / ours / 1e6, lz / ours);
    totalBytes += static_cast<double>(size);
    totalLz += lz;
    totalOurs += ours;
    DeleteFileA(lzTarget.c_str());
    DeleteFileA(ourTarget.c_str());
  }
  if (totalOurs > 0)
    std::printf("%-28s %12.0f %12.1f %12.1f %9.1fx\n", "all", totalBytes, totalBytes / totalLz / 1e6,
                totalBytes / totalOurs / 1e6, totalLz / totalOurs);
  return 0;
}
