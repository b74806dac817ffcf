// Figures for the SZDD codec: compression sizes and speed at both levels
// against mscompress, expansion speed in memory and file to file against
// libmspack, and the peak memory of the file-to-file expander.
//
// usage: szdd_bench CORPUS_DIR SZDD_TOOL
//   CORPUS_DIR/pe/*    executables
//   CORPUS_DIR/text/*  plain text
// The payload-like and generated groups are made here from those and from a
// fixed pseudo-random sequence.  Times are the best of several runs in CPU
// time (user + system) of the process doing the work: the build machine is
// shared, and wall-clock time would mostly measure the other work on it.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "codec/szdd_decoder.h"
#include "szdd_encoder.h"
#include "szdd_files.h"

#ifdef QV_HAVE_MSPACK
#include <mspack.h>
#endif

namespace {

using Bytes = std::vector<uint8_t>;

struct Item {
  std::string name;
  Bytes data;
};

struct Group {
  std::string name;
  std::vector<Item> items;
  size_t TotalBytes() const {
    size_t n = 0;
    for (const Item& i : items) n += i.data.size();
    return n;
  }
};

[[noreturn]] void Die(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::fprintf(stderr, "szdd_bench: ");
  std::vfprintf(stderr, format, args);
  std::fprintf(stderr, "\n");
  va_end(args);
  std::exit(1);
}

Bytes Load(const std::string& path) {
  Bytes data;
  std::string error;
  if (!ReadWholeFile(path, &data, &error)) Die("%s", error.c_str());
  return data;
}

void Save(const std::string& path, const Bytes& data) {
  std::string error;
  if (!WriteFileReplacing(path, data.data(), data.size(), &error)) Die("%s", error.c_str());
}

std::vector<std::string> List(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) return names;
  while (dirent* e = readdir(d)) {
    if (e->d_name[0] != '.') names.push_back(e->d_name);
  }
  closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

Group LoadGroup(const std::string& name, const std::string& dir) {
  Group g{name, {}};
  for (const std::string& f : List(dir)) g.items.push_back({f, Load(dir + "/" + f)});
  if (g.items.empty()) Die("no files in %s", dir.c_str());
  return g;
}

uint64_t Next(uint64_t& state) {
  state ^= state << 13;
  state ^= state >> 7;
  state ^= state << 17;
  return state;
}

// Five files shaped like the installer's payloads: a program, compiled help
// (already compressed inside, so it does not shrink), and three libraries.
Group PayloadLike(const Group& pe) {
  Bytes all;
  for (const Item& i : pe.items) all.insert(all.end(), i.data.begin(), i.data.end());
  const size_t sizes[] = {1668608, 800595, 15872, 207360, 988242};
  const char* names[] = {"program", "help", "library1", "library2", "effects"};
  Group g{"payload-like", {}};
  uint64_t state = 0x9E3779B97F4A7C15u;
  size_t at = 0;
  for (int k = 0; k < 5; ++k) {
    Bytes b(sizes[k]);
    if (k == 1) {
      for (auto& c : b) c = static_cast<uint8_t>(Next(state));
    } else {
      for (size_t j = 0; j < b.size(); ++j) b[j] = all[(at + j) % all.size()];
      at += sizes[k];
    }
    g.items.push_back({names[k], std::move(b)});
  }
  return g;
}

// Records of a made-up log with tables of numbers: repetitive at several
// distances, like the data files an application carries.
Group Generated() {
  Group g{"generated", {}};
  Bytes b;
  uint64_t state = 12345;
  const char* words[] = {"voice", "track", "tempo", "mixer", "sample", "level", "pan", "mute"};
  char line[160];
  while (b.size() < 4000000) {
    const uint64_t r = Next(state);
    const int n = std::snprintf(line, sizeof line, "%08llu %-6s ch=%02u val=%5u gain=%+.2f %s\n",
                                static_cast<unsigned long long>(b.size() / 41), words[r % 8],
                                static_cast<unsigned>(r >> 8 & 15), static_cast<unsigned>(r >> 12 & 0xFFF),
                                static_cast<double>(static_cast<int>(r >> 24 & 0xFF) - 128) / 32,
                                words[(r >> 40) % 8]);
    b.insert(b.end(), line, line + n);
    if ((r >> 50) % 64 == 0) {  // a binary table now and then
      for (int k = 0; k < 256; ++k) {
        const uint16_t v = static_cast<uint16_t>(k * (r >> 56 & 7));
        b.push_back(static_cast<uint8_t>(v));
        b.push_back(static_cast<uint8_t>(v >> 8));
      }
    }
  }
  g.items.push_back({"generated", std::move(b)});
  return g;
}

double CpuSeconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Best CPU time of body over at least 5 runs and 0.5 s in total.
double BestSeconds(const std::function<void()>& body) {
  double best = 1e30;
  double total = 0;
  for (int run = 0; run < 5 || (total < 0.5 && run < 500); ++run) {
    const double t0 = CpuSeconds();
    body();
    const double s = CpuSeconds() - t0;
    best = std::min(best, s);
    total += s;
  }
  return best;
}

Bytes Compress(const Bytes& in, SzddLevel level) {
  Bytes out(SzddMaxEncodedSize(in.size()));
  out.resize(SzddEncode(in.data(), in.size(), 'x', level, out.data(), out.size()));
  return out;
}

// Runs a program and waits for it; answers its exit status, and in *cpu its
// CPU time (user + system) when asked.  With peakKb,
// the program is stopped as it exits (ptrace) to read the high-water mark of
// its resident memory: the usual ru_maxrss of a child would also count the
// pages it shared with this big process between fork and exec.
int RunProgram(const std::vector<std::string>& argv, long* peakKb, double* cpu = nullptr) {
  const pid_t pid = fork();
  if (pid < 0) Die("fork failed");
  if (pid == 0) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, 1);
    if (peakKb != nullptr) ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  if (peakKb != nullptr) {
    *peakKb = -1;
    waitpid(pid, &status, 0);  // stopped at the exec
    if (WIFSTOPPED(status)) {
      ptrace(PTRACE_SETOPTIONS, pid, nullptr, reinterpret_cast<void*>(PTRACE_O_TRACEEXIT));
      ptrace(PTRACE_CONT, pid, nullptr, nullptr);
      waitpid(pid, &status, 0);
      if (WIFSTOPPED(status) && (status >> 8) == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
        FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
        char line[256];
        while (f != nullptr && std::fgets(line, sizeof line, f) != nullptr) {
          if (std::strncmp(line, "VmHWM:", 6) == 0) *peakKb = std::strtol(line + 6, nullptr, 10);
        }
        if (f != nullptr) std::fclose(f);
        ptrace(PTRACE_CONT, pid, nullptr, nullptr);
        waitpid(pid, &status, 0);
      }
    }
  } else {
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (cpu != nullptr) {
      *cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
             static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    }
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

long FileSize(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

#ifdef QV_HAVE_MSPACK
// An mspack_system over memory: the "file name" handed to libmspack is the
// address of one of these.
struct MemFile {
  uint8_t* data;
  size_t size;      // bytes valid (read) or capacity (write)
  size_t pos;
  size_t written;
};

struct MemHandle {
  MemFile* file;
};

mspack_file* MemOpen(mspack_system*, const char* name, int) {
  MemFile* f = reinterpret_cast<MemFile*>(const_cast<char*>(name));
  f->pos = 0;
  f->written = 0;
  return reinterpret_cast<mspack_file*>(new MemHandle{f});
}
void MemClose(mspack_file* h) { delete reinterpret_cast<MemHandle*>(h); }
int MemRead(mspack_file* h, void* buffer, int bytes) {
  MemFile* f = reinterpret_cast<MemHandle*>(h)->file;
  const size_t n = std::min(static_cast<size_t>(bytes), f->size - f->pos);
  std::memcpy(buffer, f->data + f->pos, n);
  f->pos += n;
  return static_cast<int>(n);
}
int MemWrite(mspack_file* h, void* buffer, int bytes) {
  MemFile* f = reinterpret_cast<MemHandle*>(h)->file;
  if (f->pos + static_cast<size_t>(bytes) > f->size) return -1;
  std::memcpy(f->data + f->pos, buffer, static_cast<size_t>(bytes));
  f->pos += static_cast<size_t>(bytes);
  f->written = std::max(f->written, f->pos);
  return bytes;
}
int MemSeek(mspack_file* h, off_t offset, int mode) {
  MemFile* f = reinterpret_cast<MemHandle*>(h)->file;
  const off_t base = mode == MSPACK_SYS_SEEK_START ? 0
                     : mode == MSPACK_SYS_SEEK_CUR ? static_cast<off_t>(f->pos)
                                                   : static_cast<off_t>(f->size);
  if (base + offset < 0 || static_cast<size_t>(base + offset) > f->size) return -1;
  f->pos = static_cast<size_t>(base + offset);
  return 0;
}
off_t MemTell(mspack_file* h) { return static_cast<off_t>(reinterpret_cast<MemHandle*>(h)->file->pos); }
void MemMessage(mspack_file*, const char*, ...) {}
void* MemAlloc(mspack_system*, size_t bytes) { return std::malloc(bytes); }
void MemFree(void* p) { std::free(p); }
void MemCopy(void* src, void* dest, size_t bytes) { std::memcpy(dest, src, bytes); }

mspack_system memorySystem = {MemOpen, MemClose, MemRead,  MemWrite, MemSeek, MemTell,
                              MemMessage, MemAlloc, MemFree, MemCopy, nullptr};
#endif

void Rule() { std::printf("%s\n", std::string(96, '-').c_str()); }

struct Packed {
  std::vector<Bytes> fast;
  std::vector<Bytes> optimal;
};

Packed CompressionTable(const std::vector<Group>& groups, const std::string& work) {
  std::printf("\nCompression: sizes in bytes, speed in MB/s of input (CPU time; mscompress: one run)\n");
  std::printf("%-13s %10s | %10s %7s | %10s %7s | %10s %7s | %s\n", "group", "input", "fast",
              "MB/s", "optimal", "MB/s", "mscompress", "MB/s", "fast/optimal vs mscompress");
  Rule();
  Packed packed;
  for (const Group& g : groups) {
    size_t in = 0, fast = 0, optimal = 0;
    double fastSeconds = 0, optimalSeconds = 0;
    long ms = 0;
    double msSeconds = 0;
    for (const Item& item : g.items) {
      Bytes f, o;
      fastSeconds += BestSeconds([&] { f = Compress(item.data, SzddLevel::Fast); });
      optimalSeconds += BestSeconds([&] { o = Compress(item.data, SzddLevel::Optimal); });
      in += item.data.size();
      fast += f.size();
      optimal += o.size();
      packed.fast.push_back(std::move(f));
      packed.optimal.push_back(std::move(o));
      // mscompress writes NAME_ beside NAME.
      const std::string plain = work + "/ms_" + item.name;
      Save(plain, item.data);
      double cpu = 0;
      if (RunProgram({"mscompress", plain}, nullptr, &cpu) != 0) {
        ms = -1;
      } else if (ms >= 0) {
        ms += FileSize(plain + "_");
      }
      msSeconds += cpu;
      unlink(plain.c_str());
      unlink((plain + "_").c_str());
    }
    char msText[48] = "not run";
    char verdict[48] = "";
    if (ms > 0) {
      std::snprintf(msText, sizeof msText, "%10ld %7.1f", ms, in / msSeconds / 1e6);
      std::snprintf(verdict, sizeof verdict, "%+.2f%% / %+.2f%%", 100.0 * (double(fast) / ms - 1),
                    100.0 * (double(optimal) / ms - 1));
    }
    std::printf("%-13s %10zu | %10zu %7.1f | %10zu %7.1f | %s | %s\n", g.name.c_str(), in, fast,
                in / fastSeconds / 1e6, optimal, in / optimalSeconds / 1e6, msText, verdict);
  }
  return packed;
}

void MemoryTable(const std::vector<Group>& groups, const Packed& packed) {
  std::printf("\nExpansion in memory: GB/s of output (optimal-level files, CPU time)\n");
  std::printf("%-13s %10s | %10s %10s | %10s | %s\n", "group", "output", "one-shot", "streamed",
              "libmspack", "one-shot / libmspack");
  Rule();
  size_t k = 0;
  std::unique_ptr<SzddDecoder> decoder(new SzddDecoder);
  for (const Group& g : groups) {
    double oneShot = 0, streamed = 0, mspack = 0;
    size_t out = 0;
    for (const Item& item : g.items) {
      const Bytes& file = packed.optimal[k++];
      Bytes result(item.data.size());
      oneShot += BestSeconds([&] {
        size_t produced = 0;
        if (SzddDecodeBuffer(file.data(), file.size(), result.data(), result.size(), &produced) !=
            SzddStatus::Ok) {
          Die("expansion failed");
        }
      });
      if (result != item.data) Die("%s: one-shot expansion differs", item.name.c_str());
      // Streamed: 64 KiB of input and of output at a time, as from files.
      streamed += BestSeconds([&] {
        SzddDecoderInit(decoder.get());
        size_t fed = 0;
        size_t given = 0;
        SzddStatus status;
        do {
          if (decoder->availIn == 0 && fed < file.size()) {
            decoder->nextIn = file.data() + fed;
            decoder->availIn = std::min(SZDD_FILE_BUFFER, file.size() - fed);
            fed += decoder->availIn;
          }
          decoder->nextOut = result.data() + given;
          decoder->availOut = std::min(SZDD_FILE_BUFFER, result.size() - given);
          status = SzddDecode(decoder.get(), fed == file.size());
          given = static_cast<size_t>(decoder->nextOut - result.data());
        } while (status == SzddStatus::NeedInput || status == SzddStatus::OutputFull);
        if (status != SzddStatus::Ok) Die("streamed expansion failed");
      });
      if (result != item.data) Die("%s: streamed expansion differs", item.name.c_str());
#ifdef QV_HAVE_MSPACK
      msszdd_decompressor* d = mspack_create_szdd_decompressor(&memorySystem);
      MemFile in{const_cast<uint8_t*>(file.data()), file.size(), 0, 0};
      MemFile outFile{result.data(), result.size(), 0, 0};
      std::fill(result.begin(), result.end(), 0);
      mspack += BestSeconds([&] {
        if (d->decompress(d, reinterpret_cast<const char*>(&in), reinterpret_cast<const char*>(&outFile)) !=
            MSPACK_ERR_OK) {
          Die("libmspack failed");
        }
      });
      mspack_destroy_szdd_decompressor(d);
      if (result != item.data) Die("%s: libmspack expansion differs", item.name.c_str());
#endif
      out += item.data.size();
    }
    char ms[32] = "n/a";
    char ratio[32] = "";
    if (mspack > 0) {
      std::snprintf(ms, sizeof ms, "%10.2f", out / mspack / 1e9);
      std::snprintf(ratio, sizeof ratio, "%.1fx", mspack / oneShot);
    }
    std::printf("%-13s %10zu | %10.2f %10.2f | %s | %s\n", g.name.c_str(), out, out / oneShot / 1e9,
                out / streamed / 1e9, ms, ratio);
  }
}

void FileTable(const std::vector<Group>& groups, const Packed& packed, const std::string& work) {
  std::printf("\nExpansion file to file: GB/s of output (page cache, CPU time incl. system)\n");
  std::printf("%-13s %10s | %10s | %10s | %s\n", "group", "output", "szdd path", "libmspack",
              "szdd / libmspack");
  Rule();
  size_t k = 0;
  for (const Group& g : groups) {
    double ours = 0, mspack = 0;
    size_t out = 0;
    for (const Item& item : g.items) {
      const std::string packedPath = work + "/" + item.name + ".sz";
      const std::string outPath = work + "/" + item.name + ".out";
      Save(packedPath, packed.optimal[k++]);
      ours += BestSeconds([&] {
        std::string error;
        if (!ExpandFile(packedPath, outPath, &error)) Die("%s", error.c_str());
      });
      if (Load(outPath) != item.data) Die("%s: file expansion differs", item.name.c_str());
#ifdef QV_HAVE_MSPACK
      msszdd_decompressor* d = mspack_create_szdd_decompressor(nullptr);
      mspack += BestSeconds([&] {
        if (d->decompress(d, packedPath.c_str(), outPath.c_str()) != MSPACK_ERR_OK) {
          Die("libmspack failed on %s", packedPath.c_str());
        }
      });
      mspack_destroy_szdd_decompressor(d);
#endif
      unlink(packedPath.c_str());
      unlink(outPath.c_str());
      out += item.data.size();
    }
    char ms[32] = "n/a";
    char ratio[32] = "";
    if (mspack > 0) {
      std::snprintf(ms, sizeof ms, "%10.2f", out / mspack / 1e9);
      std::snprintf(ratio, sizeof ratio, "%.1fx", mspack / ours);
    }
    std::printf("%-13s %10zu | %10.2f | %s | %s\n", g.name.c_str(), out, out / ours / 1e9, ms, ratio);
  }
}

void MemoryUse(const Group& pe, const std::string& tool, const std::string& work) {
  std::printf("\nPeak memory of `szdd expand` (whole process, VmHWM at exit)\n");
  Rule();
  Bytes small(pe.items[0].data.begin(), pe.items[0].data.begin() + std::min<size_t>(16384, pe.items[0].data.size()));
  Bytes large;
  while (large.size() < (size_t{96} << 20)) {
    for (const Item& i : pe.items) large.insert(large.end(), i.data.begin(), i.data.end());
  }
  for (const Bytes* data : {&small, &large}) {
    const std::string packedPath = work + "/memory.sz";
    const std::string outPath = work + "/memory.out";
    Save(packedPath, Compress(*data, SzddLevel::Fast));
    long peak = 0;
    if (RunProgram({tool, "expand", packedPath, outPath}, &peak) != 0) Die("szdd expand failed");
    if (FileSize(outPath) != static_cast<long>(data->size())) Die("szdd expand gave the wrong size");
    std::printf("expanding %10zu bytes (%8ld stored): peak resident %6ld KiB\n", data->size(),
                FileSize(packedPath), peak);
    unlink(packedPath.c_str());
    unlink(outPath.c_str());
  }
  std::printf("(the expander's own buffers: decoder %zu bytes + 2 x %zu bytes of I/O)\n",
              sizeof(SzddDecoder), SZDD_FILE_BUFFER);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) Die("usage: szdd_bench CORPUS_DIR SZDD_TOOL");
  const std::string corpus = argv[1];
  const std::string tool = argv[2];
  const std::string work = corpus + "/work";
  mkdir(work.c_str(), 0777);

  std::vector<Group> groups;
  groups.push_back(LoadGroup("pe", corpus + "/pe"));
  groups.push_back(LoadGroup("text", corpus + "/text"));
  groups.push_back(PayloadLike(groups[0]));
  groups.push_back(Generated());

  std::printf("Corpus\n");
  Rule();
  for (const Group& g : groups) {
    std::printf("%-13s %10zu bytes:", g.name.c_str(), g.TotalBytes());
    for (const Item& i : g.items) std::printf(" %s", i.name.c_str());
    std::printf("\n");
  }

  const Packed packed = CompressionTable(groups, work);
  MemoryTable(groups, packed);
  FileTable(groups, packed, work);
  MemoryUse(groups[0], tool, work);
  return 0;
}
