// The installer's pure rules: texts, paths, installed state, dialog decisions.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "common/log_text.h"
#include "common/text.h"
#include "companions/source_drive.h"
#include "control/command_tail.h"
#include "control/instance_mutex.h"
#include "product/installed_state_rules.h"
#include "dialogs/cdrom_menu_choice.h"
#include "dialogs/dialog_frame_table.h"
#include "dialogs/install_dialog_texts.h"
#include "engine/file_table.h"
#include "registry/product_records.h"
#include "registry/value_path.h"

namespace {

// Runs rule(block, capacity, args...) on a heap block of exactly capacity bytes of 'z' (AddressSanitizer
// sees any byte past it) that first holds before and its terminator, as much as fits: "yes " or "no " and the text.
template <typename... Params, typename... Args>
std::string Written(bool (*rule)(char*, size_t, Params...), size_t capacity, const std::string& before, Args... args) {
  std::vector<char> block(capacity, 'z');
  std::memcpy(block.data(), before.c_str(), std::min(capacity, before.size() + 1));
  return (rule(block.data(), capacity, args...) ? "yes " : "no ") + std::string(block.data());
}

// "yes key|value", split in a work buffer of exactly its size.
std::string Split(const char* prefix, const std::string& path) {
  std::vector<char> work(VALUE_PATH_BUFFER_SIZE), copy(path.c_str(), path.c_str() + path.size() + 1);
  const char* value = nullptr;
  const bool answer = SplitValuePath(work.data(), work.size(), prefix, copy.data(), &value);
  EXPECT_EQ(copy.data(), path) << "the caller's text is never changed";
  EXPECT_TRUE(value >= work.data() && value < work.data() + work.size());
  return (answer ? "yes " : "no ") + std::string(work.data()) + "|" + value;
}

std::string Levels(const std::string& destination, LeadBytePredicate lead = nullptr) {
  std::string levels;
  const auto add = [](const char* folder, void* to) { *static_cast<std::string*>(to) += std::string(folder) + "|"; };
  ForEachFolderLevel(destination.c_str(), add, &levels, lead);
  return levels;
}

bool ShiftJisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

}  // namespace

TEST(Text, CopiesOnlyWhatFits) {
  EXPECT_EQ(Written(AppendText, 11, "C:\\a\\bcdef", "g"), "no C:\\a\\bcdef");
  EXPECT_EQ(Written(CopyText, 4, "x", "abcd"), "no ");
  EXPECT_EQ(Written(CopyText, 5, "x", "abcd"), "yes abcd");
}

TEST(CommandLine, TailSkipsTheProgramNameAndSourceDriveIsBeforeTheFirstColon) {
  // No closing quote, a switch in the own path (quoted or not, nothing after it); 0x94 0x22 is one character,
  // without the lead-byte rule its '"' ends the name; a lead byte must not step over the end.
  const std::tuple<const char*, LeadBytePredicate, const char*> tails[] = {
      {"\"E:\\setup.exe\" /autorun", nullptr, "/autorun"}, {"\"C:\\My Files\\setup.exe\"/x", nullptr, "/x"},
      {"setup.exe  \t /autorun x", nullptr, "/autorun x"}, {"\"setup.exe", nullptr, ""}, {"", nullptr, ""},
      {"\"\"  a", nullptr, "a"}, {"\"C:\\x/autorunx\\setup.exe\"", nullptr, ""}, {"C:\\x/autorunx\\setup.exe", nullptr, ""},
      {"\"C:\\\x94\"\\setup.exe\" /autorun", ShiftJisLead, "/autorun"}, {"\"C:\\\x94", ShiftJisLead, ""},
      {"\"C:\\\x94\"\\setup.exe\" /autorun", nullptr, "\\setup.exe\" /autorun"}};
  for (const auto& [line, lead, tail] : tails) EXPECT_STREQ(CommandTail(line, lead), tail) << line;

  // The first ':' of the program's own path, never one of the tail; with nothing before it there is no drive.
  const std::pair<const char*, char> drives[] = {{"\"E:\\SETUP.EXE\" /S /D=D:\\Q", 'E'}, {"setup.exe /S /D=D:\\Q", 0},
                                                 {"E:setup.exe C:\\x", 'E'}, {"", 0}, {":odd", 0}};
  for (const auto& [line, drive] : drives) EXPECT_EQ(SourceDrive(line, nullptr), drive) << line;
  EXPECT_EQ(Written(CdRomPath, 32, "", 'E', "directx\\dxsetup.exe"), "yes E:\\directx\\dxsetup.exe");
  EXPECT_EQ(Written(CdRomPath, 4, "", 'E', ""), "yes E:\\");
  EXPECT_EQ(Written(CdRomPath, 32, "", '\0', "bladeenc.exe").substr(0, 3), "no ");
}

TEST(CommandLine, UnattendedSwitchesAreWordsBeforeTheFolderThatEndsTheTail) {
  const auto read = [](const std::string& tail) {
    CommandSwitches got;
    ReadCommandSwitches(tail.c_str(), &got);
    return std::string(got.autorun ? "A" : "-") + (got.silent ? "S" : "-") + (got.log[0] ? "<" + std::string(got.log) + ">" : "") +
           (got.folderGiven ? "|" + std::string(got.folder) : "");
  };
  // "/S" or "/s" must be a word of its own; the folder is the rest of the tail, switches included, blanks at its end
  // and one pair of quotes around it dropped; "/D=" alone gives an empty folder, neither "x/D=" nor "/d=" begins
  // one, 256 characters are too many; "/LOG=" before it, in any case, to a blank or in quotes.
  const std::pair<std::string, std::string> tails[] = {
      {"", "--"}, {"/autorun /S /D=C:\\Program Files\\Quavertone", "AS|C:\\Program Files\\Quavertone"},
      {"/S/AUTORUN", "A-"}, {"\t/s\t", "-S"}, {"/Sx x/S /sS", "--"}, {"/D=C:\\x /S /autorun \t ", "--|C:\\x /S /autorun"},
      {"/S /D=", "-S|"}, {"/S x/D=C:\\y /d=C:\\z", "-S"}, {"/D=" + std::string(255, 'f'), "--|" + std::string(255, 'f')},
      {"/D=" + std::string(256, 'f'), "--|"}, {"x/AutoRUNx", "A-"}, {"/autoru", "--"}, {"/D=\"C:\\a b\" ", "--|C:\\a b"},
      {"/D=\"", "--|\""}, {"/log=q.log /S /D=C:\\y /LOG=z", "-S<q.log>|C:\\y /LOG=z"}, {"x/LOG=a /LOG=\"C:\\a b.txt\"/s", "--<C:\\a b.txt>"},
      {"/LOG=\"C:\\a b", "--<\"C:\\a b>"}, {"/LOG=" + std::string(260, 'g'), "--"}};
  for (const auto& [tail, expected] : tails) EXPECT_EQ(read(tail), expected) << tail;

  EXPECT_TRUE(IsSameFolder("C:\\Program Files\\Q", "c:\\PROGRAM FILES\\q\\", nullptr));
  // Neither the code page's accented letters nor the neighbours of the ASCII letters fold; one final backslash goes.
  const std::pair<const char*, const char*> unlike[] = {
      {"C:\\Q", "C:\\Q2"}, {"C:\\@", "C:\\`"}, {"C:\\[", "C:\\{"}, {"C:\\\xE9", "C:\\\xC9"}, {"C:\\Q\\\\", "C:\\Q"}};
  for (const auto& [a, b] : unlike) EXPECT_FALSE(IsSameFolder(a, b, nullptr)) << a;
  EXPECT_FALSE(IsSameFolder("C:\\\x95" "a", "C:\\\x95" "A", ShiftJisLead));  // a trail byte is no letter
}

TEST(StartUp, OneInstallerOnTheWholeMachineWhereSessionsHaveTheirOwnNames) {
  // Windows 95 to ME, NT 4, 2000 and later; Win32s never gets this far.
  for (const auto& [platform, major, global] : {std::tuple{1u, 4u, false}, {2u, 4u, false}, {2u, 5u, true}, {2u, 10u, true}})
    EXPECT_EQ(InstallerMutexName(platform, major), std::string(global ? "Global\\" : "") + "Quavertone Setup Running");
}

TEST(Paths, ProgramAndShortcutNamesAndFolderLevelsOrARefusal) {
  const std::string longest = "C:\\" + std::string(252, 'd'), d241(241, 'd');  // the longest destination
  EXPECT_EQ(Written(ComposeUninstallString, 300, "", "D:\\Apps\\", nullptr), "yes \"D:\\Apps\\Quavertone.exe\" /uninstall");
  EXPECT_EQ(Written(ComposeUninstallString, UNINSTALL_STRING_SIZE, "", longest.c_str(), nullptr),
            "yes \"" + longest + "\\Quavertone.exe\" /uninstall");
  EXPECT_EQ(Written(ComposeShortcutTarget, 260, "", "D:\\Apps\\", nullptr), "yes D:\\Apps\\Quavertone.exe");
  // 244 + "\Quavertone.exe" = 259 characters: the longest target that fits.
  EXPECT_EQ(Written(ComposeShortcutTarget, 260, "", ("C:\\" + d241).c_str(), nullptr), "yes C:\\" + d241 + "\\Quavertone.exe");
  EXPECT_EQ(Written(ComposeShortcutTarget, 260, "", ("C:\\d" + d241).c_str(), nullptr), "no ");
  EXPECT_EQ(Written(AppendShortcutFileName, 260, "C:\\Desktop", nullptr), "yes C:\\Desktop\\Quavertone.lnk");
  EXPECT_EQ(Written(AppendShortcutFileName, 260, "C:\\f" + d241, nullptr), "no C:\\f" + d241);  // 260: one too many

  const std::pair<std::string, std::string> levels[] = {
      {"C:\\New\\Deeper\\Quavertone", "C:\\New|C:\\New\\Deeper|C:\\New\\Deeper\\Quavertone|"},
      {"D:\\Apps\\", "D:\\Apps|"}, {"C:\\", ""}, {"C:", ""}, {longest, longest + "|"}, {longest + "d", ""}};
  for (const auto& [destination, expected] : levels) EXPECT_EQ(Levels(destination), expected) << destination;
  for (const FileTableEntry& entry : FileTable) EXPECT_LE(std::strlen(entry.Name), LONGEST_FILE_NAME) << entry.Name;
}

TEST(Log, LinesAreStampedOneLineEachAndCutBeforeTheirBreak) {
  const char* const fields[] = {"staged", nullptr, "a\r\nb", "7"};
  for (const auto& [capacity, expected] : {std::pair<size_t, std::string>{64, "staged a  b 7\r\n"}, {32, "staged\r\n"}}) {
    std::vector<char> line(capacity);  // AddressSanitizer sees any byte past it
    const size_t length = ComposeLogLine(line.data(), capacity, {2026, 12, 8, 9, 5, 7, 42}, fields, 4);
    EXPECT_EQ(std::string(line.data(), length), "2026-12-08 09:05:07.042 " + expected);
  }
  char zero[DECIMAL_SIZE], most[DECIMAL_SIZE];
  EXPECT_EQ(DecimalText(zero, 0) + std::string("|") + DecimalText(most, 4294967295u), "0|4294967295");
}

// Under code page 932 the kanji 95 5C and 83 5C end in the byte of "\":
// every rule that walks or ends a path must see one character there.
TEST(Paths, DoubleByteCharactersEndingInTheByteOfABackslashAreNoSeparator) {
  const std::string hyo = "\x95\\", so = "\x83\\", folder = "C:\\" + hyo;  // one kanji each
  EXPECT_TRUE(EndsWithBackslash(folder.c_str(), nullptr));    // what a single-byte code page sees
  EXPECT_FALSE(EndsWithBackslash("C:\\\x95", ShiftJisLead));  // a lone lead byte at the end
  for (const char* end : {"", "\\"})  // a final backslash adds no level
    EXPECT_EQ(Levels(folder + "\\" + so + end, ShiftJisLead), folder + "|" + folder + "\\" + so + "|") << end;
  EXPECT_EQ(Written(ComposeUninstallString, 300, "", folder.c_str(), ShiftJisLead),
            "yes \"" + folder + "\\Quavertone.exe\" /uninstall");
  EXPECT_EQ(Written(ComposeShortcutTarget, 260, "", folder.c_str(), ShiftJisLead), "yes " + folder + "\\Quavertone.exe");
  EXPECT_EQ(Written(AppendShortcutFileName, 260, folder, ShiftJisLead), "yes " + folder + "\\Quavertone.lnk");
  EXPECT_EQ(Written(DestinationFromBrowsedPath, 260, folder, ShiftJisLead), "yes " + folder + "\\Quavertone");
  EXPECT_EQ(Written(ComposeDefaultFolder, 256, "", folder.c_str(), "C:\\WINDOWS", ShiftJisLead), "yes " + folder + "\\Quavertone");
  EXPECT_EQ(Written(ComposeDefaultFolder, 256, "", (folder + "\\").c_str(), "", ShiftJisLead), "yes " + folder + "\\Quavertone");
}

TEST(Paths, ValuePathSplitsAtTheLastBackslash) {
  EXPECT_EQ(Split(PRODUCT_KEY_PATH, PROGRAM_DIRECTORY_RECORD), "yes Software\\Quavertone|ProgramDirectory");
  EXPECT_EQ(Split(nullptr, PROGRAM_FILES_DIR_RECORD), "yes SOFTWARE\\Microsoft\\Windows\\CurrentVersion|ProgramFilesDir");
  const std::string a235(235, 'a');  // 19 + 236 = 255 characters fit; one more does not
  EXPECT_EQ(Split(PRODUCT_KEY_PATH, "\\" + a235), "yes Software\\Quavertone|" + a235);
  EXPECT_EQ(Split(PRODUCT_KEY_PATH, "\\" + a235 + "b"), "no |");
}

TEST(InstalledState, VersionClassAndWordingFollowTheInstalledFlagAndThePlainUnsignedNumber) {
  const std::pair<uint32_t, VersionClass> classes[] = {
      {0, VersionClass::Legacy},  {301, VersionClass::Legacy}, {302, VersionClass::Older},   {999, VersionClass::Older},
      {1000, VersionClass::Same}, {1001, VersionClass::Newer}, {0xFFFFFFFFu, VersionClass::Newer}};
  for (const auto& [version, expected] : classes) {
    EXPECT_EQ(ClassifyInstalledVersion(true, version), expected) << version;
    EXPECT_EQ(ClassifyInstalledVersion(false, version), VersionClass::Fresh) << version;  // the number means nothing
  }
  // Installed, version, folder: status, confirm, folder locked (never where no destination may be), closing message.
  const std::tuple<bool, uint32_t, const char*, const char*, const char*, bool, const char*> rows[] = {
      {false, 999, "", INSTALL_STATUS_TEXT, INSTALL_BUTTON_TEXT, false, INSTALLED_TEXT},
      {true, 1000, "C:\\q", INSTALL_STATUS_TEXT, INSTALL_BUTTON_TEXT, false, INSTALLED_TEXT},
      {true, 999, "C:\\q", UPDATE_STATUS_TEXT, UPDATE_BUTTON_TEXT, true, UPDATED_TEXT},
      {true, 301, "C:\\q", UPDATE_STATUS_TEXT, UPDATE_BUTTON_TEXT, true, UPDATED_TEXT},
      {true, 0x80000000u, "C:\\q", NEWER_STATUS_TEXT, INSTALL_BUTTON_TEXT, true, INSTALLED_TEXT},
      {true, 999, "", UPDATE_STATUS_TEXT, UPDATE_BUTTON_TEXT, false, UPDATED_TEXT}};
  for (const auto& [installedBefore, version, folder, status, confirm, locked, closing] : rows) {
    SCOPED_TRACE(std::to_string(installedBefore) + "/" + std::to_string(version) + "/" + folder);
    const InstallDialogWording wording = InstallDialogTexts(installedBefore, version, folder);
    EXPECT_STREQ(wording.status, status);
    EXPECT_STREQ(wording.confirm, confirm);
    EXPECT_EQ(wording.folderLocked, locked);
    EXPECT_STREQ(ClosingMessageText(ClassifyInstalledVersion(installedBefore, version)), closing);
  }
}

TEST(InstalledState, DestinationsNeedDriveColonBackslashAndMoreAndFitTheDestination) {
  // Every file's full name fits 259 characters ("C:\" + 241, a final "\" aside); no level is dots only.
  const std::string d241 = "C:\\" + std::string(241, 'd');
  const std::pair<std::string, bool> rows[] = {
      {"C:\\x", true}, {"Q:\\\\", true}, {"", false}, {"C", false}, {"C:", false}, {"C:\\", false}, {"C:x", false},
      {"CC:\\x", false}, {"\\\\server\\share", false}, {"\\Quavertone", false}, {d241, true}, {d241 + "\\", true},
      {d241 + "d", false}, {"C:\\..", false}, {"C:\\a\\.\\b", false}, {"C:\\a\\..\\", false}, {"C:\\..a\\b.", true}};
  for (const auto& [text, valid] : rows) {
    const std::vector<char> copy(text.c_str(), text.c_str() + text.size() + 1);  // ASan sees a read past the end
    EXPECT_EQ(IsValidDestinationForm(copy.data()), valid) << text;
  }
  // The proposal is the program folder, else on the Windows drive.  "C:\" + 241 + "\Quavertone" = 255: fits.
  const std::string fits = "C:\\" + std::string(241, 'a'), tooLong = fits + "a";
  EXPECT_EQ(Written(ComposeDefaultFolder, 256, "", "D:\\Apps\\", "C:\\WINDOWS", nullptr), "yes D:\\Apps\\Quavertone");
  EXPECT_EQ(Written(ComposeDefaultFolder, 256, "", "", "F:\\WINNT", nullptr), "yes F:\\Program Files\\Quavertone");
  for (const char* noDrive : {"\\\\server\\windows", "", "C"})
    EXPECT_EQ(Written(ComposeDefaultFolder, 256, "", "", noDrive, nullptr), "yes \\Quavertone") << noDrive;
  EXPECT_EQ(Written(ComposeDefaultFolder, 256, "", fits.c_str(), "", nullptr), "yes " + fits + "\\Quavertone");
  EXPECT_EQ(Written(ComposeDefaultFolder, 256, "", tooLong.c_str(), "C:\\WINDOWS", nullptr), "no ");
  // A browsed folder gets the product's folder if the destination (255 at most) holds it; a final backslash saves one.
  EXPECT_EQ(Written(DestinationFromBrowsedPath, 260, fits, nullptr), "yes " + fits + "\\Quavertone");
  EXPECT_EQ(Written(DestinationFromBrowsedPath, 260, fits + "\\", nullptr), "yes " + fits + "\\Quavertone");
  EXPECT_EQ(Written(DestinationFromBrowsedPath, 260, tooLong, nullptr), "no " + tooLong);  // stays as it was
}

TEST(InstalledState, ReadTextIsTerminatedOrRefused) {
  // Stored with or without its terminator, or with one anywhere; a whole buffer without one is refused.
  const std::tuple<const char*, uint32_t, const char*> rows[] = {
      {"abc", 4, "yes abc"}, {"abczzzzz", 3, "yes abc"}, {"zzzzzzzz", 0, "yes "}, {"zzzzzzz", 8, "yes zzzzzzz"},
      {"zzzzzzzz", 8, "no "}, {"zzzzzzzz", 0xFFFFFFFFu, "no "}};
  for (const auto& [stored, size, read] : rows) EXPECT_EQ(Written(TerminateReadText, 8, stored, size), read) << size;
}

TEST(Dialogs, CdRomMenuReportsTheFirstCheckedChoiceOrCancel) {
  const std::pair<std::vector<INT_PTR>, INT_PTR> rows[] = {  // indeterminate (2) is not checked; none: Cancel (2)
      {{1, 0, 0, 0, 0}, IDC_RUN_PRODUCT}, {{0, 0, 0, 1, 0}, IDC_SOUND_FX}, {{0, 0, 0, 0, 1}, IDC_EXPLORE_CD},
      {{0, 1, 0, 1, 1}, IDC_RUN_SETUP}, {{2, 0, 1, 0, 0}, IDC_RUN_DIRECTX}, {{2, 0, 2, 0, 0}, CDROM_CANCELLED}};
  for (const auto& [states, expected] : rows) EXPECT_EQ(ChooseCdRomAction(states.data()), expected) << &states;
}

static std::vector<std::vector<uint64_t>> calls;  // window, message, wParam, lParam

TEST(Dialogs, FrameForwardsParametersUnchangedAndAnswersTheDialogManagerAsEachMessageNeeds) {
  ActiveDialogProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    calls.push_back({reinterpret_cast<uintptr_t>(window), message, wParam, static_cast<uint64_t>(lParam)});
    return INT_PTR{77};
  };
  // Message, forwarded, answer: WM_INITDIALOG gets TRUE whatever the dialog says, WM_COMMAND FALSE,
  // WM_DRAWITEM the dialog's own answer; WM_DESTROY and WM_CLOSE (not in the table) never reach the dialog.
  const std::tuple<UINT, bool, INT_PTR> rows[] = {
      {0x0110, true, 1}, {0x0002, false, 1}, {0x0111, true, 0}, {0x002B, true, 77}, {0x0010, false, 0}};
  // Values that a 32-bit round trip would cut, if the frame ever narrowed them.
  const WPARAM wParam = ~static_cast<WPARAM>(0) - 5;
  const LPARAM lParam = -123456;
  for (const auto& [message, forwarded, frameAnswer] : rows) {
    calls.clear();
    EXPECT_EQ(DispatchFrameMessage(reinterpret_cast<HWND>(0x1234), message, wParam, lParam), frameAnswer) << message;
    const decltype(calls) call = {{0x1234, message, wParam, static_cast<uint64_t>(lParam)}};
    EXPECT_EQ(calls, forwarded ? call : decltype(calls)()) << message;
  }
}
