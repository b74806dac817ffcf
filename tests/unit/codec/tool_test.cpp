// The szdd tool, run as a program on files in a scratch folder.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "reference_codec.h"

namespace fs = std::filesystem;

namespace {

class SzddTool : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/szdd_tool_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // Exit status of the tool run with args inside the scratch folder.
  int Run(const std::string& args) const {
    const std::string command =
        "cd '" + dir_.string() + "' && '" SZDD_TOOL "' " + args + " >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  void Put(const std::string& name, const Bytes& data) const {
    std::ofstream(Path(name), std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                                      static_cast<std::streamsize>(data.size()));
  }
  Bytes Get(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }
  std::string Text(const std::string& name) const {
    const Bytes b = Get(name);
    return std::string(b.begin(), b.end());
  }
  std::set<std::string> Files() const {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.insert(e.path().filename().string());
    names.erase("out.txt");
    names.erase("err.txt");
    return names;
  }

  fs::path dir_;
};

Bytes Sample() {
  std::mt19937 rng(3);
  return RepetitiveInput(rng, 50000);
}

void StateSize(Bytes* file, uint32_t size) {
  for (size_t k = 0; k < 4; ++k) {
    (*file)[SZDD_OFFSET_SIZE + k] = static_cast<uint8_t>(size >> (8 * k));
  }
}

TEST_F(SzddTool, DefaultNamesRoundTrip) {
  Put("setup.exe", Sample());
  ASSERT_EQ(Run("compress setup.exe"), 0) << Text("err.txt");
  ASSERT_EQ(Files(), (std::set<std::string>{"setup.exe", "setup.ex_"}));
  EXPECT_EQ(Run("info setup.ex_"), 0);
  EXPECT_NE(Text("out.txt").find("setup.ex_: signature ok, mode 'A', last character 'e', "
                                 "expanded 50000 bytes"),
            std::string::npos)
      << Text("out.txt");
  EXPECT_NE(Text("out.txt").find("stream ok"), std::string::npos);

  fs::rename(Path("setup.exe"), Path("original"));
  ASSERT_EQ(Run("expand setup.ex_"), 0) << Text("err.txt");
  EXPECT_EQ(Get("setup.exe"), Sample());
  EXPECT_EQ(Text("err.txt"), "");

  // A name without an extension loses its last letter in the same way.
  Put("readme", FromText("hello hello hello"));
  ASSERT_EQ(Run("compress readme"), 0);
  fs::remove(Path("readme"));
  ASSERT_EQ(Run("expand readm_"), 0);
  EXPECT_EQ(Get("readme"), FromText("hello hello hello"));
}

TEST_F(SzddTool, ExplicitNamesLevelsAndReplacement) {
  Put("in.bin", Sample());
  ASSERT_EQ(Run("compress -l fast in.bin fast.sz"), 0);
  ASSERT_EQ(Run("compress --level optimal in.bin best.sz"), 0);
  EXPECT_LE(Get("best.sz").size(), Get("fast.sz").size());
  EXPECT_EQ(Get("best.sz")[9], 'n');  // last character of the input's name

  Put("out.bin", Bytes(200000, 'x'));  // a longer file is replaced, not overwritten in part
  ASSERT_EQ(Run("expand fast.sz out.bin"), 0);
  EXPECT_EQ(Get("out.bin"), Sample());
  Put("empty", {});
  ASSERT_EQ(Run("compress empty e.sz && '" SZDD_TOOL "' expand e.sz e.out"), 0);
  EXPECT_TRUE(Get("e.out").empty());
}

TEST_F(SzddTool, FailuresLeaveNothingBehind) {
  Put("data.ex_", Sample());  // not SZDD
  Put("good.bin", Sample());
  ASSERT_EQ(Run("compress good.bin good.sz"), 0);
  // A stream may end after any item, so the cut that fails goes inside a
  // reference.
  Bytes cut = Get("good.sz");
  size_t keep = cut.size() / 2;
  while (!ReferenceExpand(cut.data() + SZDD_HEADER_SIZE, keep - SZDD_HEADER_SIZE)
              .endsInsideReference) {
    ++keep;
  }
  cut.resize(keep);
  Put("cut.ex_", cut);
  Bytes modeB = Get("good.sz");
  modeB[SZDD_OFFSET_MODE] = 'B';
  Put("mode.ex_", modeB);
  const std::set<std::string> before = Files();

  EXPECT_EQ(Run("expand data.ex_"), 1);
  EXPECT_NE(Text("err.txt").find("data.ex_: not an SZDD file"), std::string::npos);
  EXPECT_EQ(Run("expand cut.ex_ cut.exe"), 1);
  EXPECT_EQ(Text("err.txt"), "szdd: cut.ex_: data ends inside a reference\n");
  EXPECT_EQ(Run("expand mode.ex_ mode.exe"), 1);
  EXPECT_EQ(Text("err.txt"), "szdd: mode.ex_: unsupported compression mode (not 'A')\n");
  EXPECT_EQ(Run("expand good.sz no/such/folder/x"), 1);
  EXPECT_EQ(Run("compress missing.txt"), 1);
  EXPECT_EQ(Run("compress good.bin no/such/folder/x"), 1);
  EXPECT_EQ(Run("compress data.ex_"), 1);  // default name would be the input's own
  EXPECT_EQ(Run("expand good.sz"), 1);     // no '_' to restore
  EXPECT_EQ(Run("info good.sz cut.ex_"), 1);
  EXPECT_EQ(Files(), before) << "no output and no temporary file may remain";

  EXPECT_EQ(Run(""), 2);
  EXPECT_EQ(Run("shrink good.bin"), 2);
  EXPECT_EQ(Run("compress -l tiny good.bin"), 2);
  EXPECT_EQ(Run("expand a_ b c"), 2);
  EXPECT_EQ(Run("--help"), 0);
  EXPECT_NE(Text("out.txt").find("usage: szdd compress"), std::string::npos);
}

// Expansion ends where the data ends, whatever size the header states.
TEST_F(SzddTool, ExpandWritesTheDataOfAHeaderStatingMore) {
  const Bytes text = FromText("Hello, hello world!\n");
  Put("note.txt", text);
  ASSERT_EQ(Run("compress note.txt"), 0);
  Bytes file = Get("note.tx_");
  StateSize(&file, 5237);
  Put("note.tx_", file);
  fs::remove(Path("note.txt"));

  ASSERT_EQ(Run("expand note.tx_"), 0) << Text("err.txt");
  EXPECT_EQ(Get("note.txt"), text);
  EXPECT_EQ(Text("err.txt"), "szdd: note.tx_: expanded 20 bytes where the header states 5237\n");
  EXPECT_EQ(Run("info note.tx_"), 1);
  EXPECT_NE(Text("out.txt").find("stream data ends before the stated size"), std::string::npos)
      << Text("out.txt");
}

TEST_F(SzddTool, ExpandWritesTheDataOfAHeaderStatingLess) {
  // Long enough for the decoder to slide its window several times.
  std::mt19937 rng(5);
  const Bytes data = RepetitiveInput(rng, 300000);
  Put("big.bin", data);
  ASSERT_EQ(Run("compress big.bin big.sz"), 0);
  Bytes file = Get("big.sz");
  StateSize(&file, 1000);
  Put("big.sz", file);

  ASSERT_EQ(Run("expand big.sz big.out"), 0) << Text("err.txt");
  EXPECT_EQ(Get("big.out"), data);
  EXPECT_EQ(Text("err.txt"), "szdd: big.sz: expanded 300000 bytes where the header states 1000\n");
  EXPECT_EQ(Run("info big.sz"), 1);
  EXPECT_NE(Text("out.txt").find("stream data runs past the stated size"), std::string::npos)
      << Text("out.txt");
}

}  // namespace
