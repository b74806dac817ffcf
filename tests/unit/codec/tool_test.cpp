// The szdd tool, run as a program on files in a scratch folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

namespace {

class SzddTool : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/szdd_tool_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    // Lines of numbers and words: compressible, but not trivially.
    ASSERT_EQ(Sh("seq 100000 | sed 's/7/ tone /' | head -c 300000 >big && head -c 50000 big >sample"), 0);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Exit status of script run in the scratch folder, its output in out and err.
  int Sh(const std::string& script) const {
    const int status = std::system(("cd " + dir_ + " && szdd() { '" SZDD_TOOL "' \"$@\"; } && { " + script +
                                    "; } >out 2>err").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void Put(const std::string& name, const std::string& data) const { std::ofstream(dir_ + "/" + name) << data; }
  std::string Files() const { return Sh("LC_ALL=C ls -A") == 0 ? Get("out") : "?"; }
  std::string Get(const std::string& name) const {
    std::ifstream in(dir_ + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::string dir_;
};

TEST_F(SzddTool, NamesLevelsAndReplacement) {
  ASSERT_EQ(Sh("cp sample setup.exe && szdd compress setup.exe"), 0) << Get("err");
  EXPECT_EQ(Files(), "big\nerr\nout\nsample\nsetup.ex_\nsetup.exe\n") << "no temporary file may remain";
  EXPECT_EQ(Sh("szdd info setup.ex_"), 0);
  EXPECT_NE(Get("out").find("setup.ex_: signature ok, mode 'A', last character 'e', expanded 50000 bytes"),
            std::string::npos) << Get("out");
  EXPECT_NE(Get("out").find("stream ok"), std::string::npos);
  EXPECT_EQ(Sh("rm setup.exe && szdd expand setup.ex_ && cmp setup.exe sample"), 0) << Get("err");
  EXPECT_EQ(Get("err"), "");
  // A name without an extension loses its last letter in the same way.
  EXPECT_EQ(Sh("echo hi hi >note && szdd compress note && mv note n && szdd expand not_ && cmp n note"), 0);

  ASSERT_EQ(Sh("szdd compress -l fast sample f.sz && szdd compress --level optimal sample b.sz"), 0);
  EXPECT_LT(Get("b.sz").size(), Get("f.sz").size());
  EXPECT_EQ(Sh("szdd expand f.sz big && cmp big sample"), 0);  // a longer file is replaced, not overwritten in part
  EXPECT_EQ(Sh(": >empty && szdd compress empty e.sz && szdd expand e.sz e.out && cmp empty e.out"), 0);
}

TEST_F(SzddTool, FailuresLeaveNothingBehind) {
  ASSERT_EQ(Sh("cp sample data.ex_ && szdd compress sample good.sz"), 0);  // data.ex_ is no SZDD file
  // Three literals and the first byte of a reference; the same in mode 'B'.
  Put("cut.ex_", std::string("SZDD\x88\xF0\x27\x33" "A_\x09\0\0\0\x07" "abc\xF0", 19));
  Put("mode.ex_", std::string("SZDD\x88\xF0\x27\x33" "B_\x09\0\0\0\x07" "abc\xF0\xF3", 20));
  for (size_t k = 0; k < 4; ++k) Put("r" + std::to_string(k) + "_", "SZDD\x88\xF0\x27\x33" "A" + std::string(1, "./\\:"[k]) + "1234");
  const std::string before = Files();
  const std::tuple<const char*, int, const char*> rows[] = {  // arguments, exit status, the whole of stderr if given
      {"expand data.ex_", 1, "szdd: data.ex_: not an SZDD file (bad signature)\n"},
      {"expand cut.ex_ cut.exe", 1, "szdd: cut.ex_: data ends inside a reference\n"},
      {"expand mode.ex_ mode.exe", 1, "szdd: mode.ex_: unsupported compression mode (not 'A')\n"},
      {"expand good.sz no/such/folder/x", 1, nullptr}, {"compress missing.txt", 1, nullptr},
      {"compress sample no/such/folder/x", 1, nullptr}, {"info good.sz cut.ex_", 1, nullptr},
      {"compress data.ex_", 1, nullptr},  // default name would be the input's own
      {"expand good.sz", 1, nullptr},     // no '_' to restore
      {"expand r0_", 1, "szdd: r0_: header stores no usable last character ('.'); give the output name\n"},
      {"expand r1_", 1, nullptr}, {"expand r2_", 1, nullptr}, {"expand r3_", 1, nullptr},  // nor '/', '\\', ':'
      {"", 2, nullptr}, {"shrink sample", 2, nullptr}, {"compress -l tiny sample", 2, nullptr},
      {"expand a_ b c", 2, nullptr}, {"--help", 0, nullptr}};
  for (const auto& [args, status, err] : rows) {
    EXPECT_EQ(Sh(std::string("szdd ") + args), status) << args;
    if (err != nullptr) EXPECT_EQ(Get("err"), err);
  }
  EXPECT_NE(Get("out").find("usage: szdd compress"), std::string::npos);
  EXPECT_EQ(Files(), before) << "no output and no temporary file may remain";
}

// Expansion ends where the data ends, whatever size the header states: all
// of it is written, one note goes to stderr, and info flags the file.
TEST_F(SzddTool, ExpandWritesAllTheDataWhateverSizeTheHeaderStates) {
  Put("hello", "Hello, hello world!\n");
  // 300000 bytes are enough to slide the decoder's window several times.
  const std::tuple<const char*, const char*, const char*, const char*> rows[] = {  // input, stated size, note, info
      {"hello", "\x75\x14\0\0", "expanded 20 bytes where the header states 5237", "ends before the stated size"},
      {"big", "\xE8\x03\0\0", "expanded 300000 bytes where the header states 1000", "runs past the stated size"}};
  for (const auto& [in, stated, note, info] : rows) {
    ASSERT_EQ(Sh(std::string("szdd compress ") + in + " x.sz"), 0);
    Put("x.sz", Get("x.sz").replace(10, 4, stated, 4));
    EXPECT_EQ(Sh(std::string("szdd expand x.sz x.out && cmp x.out ") + in), 0) << Get("err");
    EXPECT_EQ(Get("err"), std::string("szdd: x.sz: ") + note + "\n");
    EXPECT_EQ(Sh("szdd info x.sz"), 1);
    EXPECT_NE(Get("out").find(std::string("stream data ") + info), std::string::npos) << Get("out");
  }
}

}  // namespace
