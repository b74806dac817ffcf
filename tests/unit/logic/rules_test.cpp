// The installer's pure rules: texts, paths, installed state, dialog decisions.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "common/text.h"
#include "companions/source_drive.h"
#include "control/command_tail.h"
#include "control/dll_search.h"
#include "product/installed_state_rules.h"
#include "dialogs/cdrom_menu_choice.h"
#include "dialogs/dialog_frame_table.h"
#include "dialogs/install_dialog_texts.h"
#include "dialogs/progress_state.h"
#include "engine/file_table.h"
#include "engine/install_journal.h"
#include "registry/product_records.h"
#include "registry/value_path.h"

namespace {

// Runs rule(block, capacity, args...) on a heap block of exactly capacity bytes of 'z' (AddressSanitizer
// sees any byte past it) that first holds before and its terminator, as much as fits: "yes " or "no " and the text.
template <typename... Params, typename... Args>
std::string Written(bool (*rule)(char*, size_t, Params...), size_t capacity, const std::string& before, Args... args) {
  const std::unique_ptr<char[]> block(new char[capacity]);
  std::memset(block.get(), 'z', capacity);
  std::memcpy(block.get(), before.c_str(), std::min(capacity, before.size() + 1));
  return (rule(block.get(), capacity, args...) ? "yes " : "no ") + std::string(block.get());
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

// Shift-JIS lead bytes, as code page 932 has them.
bool ShiftJisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

}  // namespace

TEST(Text, FindsWithAsciiLettersFoldedOnlyAndCopiesOnlyWhatFits) {
  EXPECT_TRUE(FindSubstringNoCase("x/AutoRUNx", "/autorun"));
  EXPECT_TRUE(FindSubstringNoCase("anything", ""));
  EXPECT_FALSE(FindSubstringNoCase("", "/autorun"));
  EXPECT_FALSE(FindSubstringNoCase("/autoru", "/autorun"));
  EXPECT_FALSE(FindSubstringNoCase("\xE9t\xE9", "\xC9T\xC9"));  // accented letters of the code page are not folded
  EXPECT_FALSE(FindSubstringNoCase("@", "`"));  // next to the letters, but not letters
  EXPECT_FALSE(FindSubstringNoCase("[", "{"));

  EXPECT_EQ(Written(AppendText, 11, "C:\\a\\bcdef", "g"), "no C:\\a\\bcdef");
  EXPECT_EQ(Written(CopyText, 4, "x", "abcd"), "no ");
  EXPECT_EQ(Written(CopyText, 5, "x", "abcd"), "yes abcd");
}

TEST(CommandLine, TailSkipsTheProgramNameAndSourceDriveIsBeforeTheFirstColon) {
  EXPECT_STREQ(CommandTail("\"E:\\setup.exe\" /autorun", nullptr), "/autorun");
  EXPECT_STREQ(CommandTail("\"C:\\My Files\\setup.exe\"/x", nullptr), "/x");
  EXPECT_STREQ(CommandTail("setup.exe  \t /autorun x", nullptr), "/autorun x");
  EXPECT_STREQ(CommandTail("\"setup.exe", nullptr), "");  // no closing quote
  EXPECT_STREQ(CommandTail("", nullptr), "");
  EXPECT_STREQ(CommandTail("\"\"  a", nullptr), "a");
  EXPECT_STREQ(CommandTail("\"C:\\x/autorunx\\setup.exe\"", nullptr), "");  // a switch in the own path
  EXPECT_STREQ(CommandTail("C:\\x/autorunx\\setup.exe", nullptr), "");  // unquoted, with nothing after it
  // 0x94 0x22 is one character; without the lead-byte rule its '"' ends the name.
  EXPECT_STREQ(CommandTail("\"C:\\\x94\"\\setup.exe\" /autorun", ShiftJisLead), "/autorun");
  EXPECT_STREQ(CommandTail("\"C:\\\x94\"\\setup.exe\" /autorun", nullptr), "\\setup.exe\" /autorun");
  EXPECT_STREQ(CommandTail("\"C:\\\x94", ShiftJisLead), "");  // a lead byte must not step over the end

  EXPECT_EQ(SourceDrive("\"E:\\SETUP.EXE\" /autorun"), 'E');
  EXPECT_EQ(SourceDrive("setup.exe C:\\x D:\\y"), 'C');  // the first ':' wins, even in the tail
  EXPECT_EQ(SourceDrive("setup.exe /autorun"), '\0');
  EXPECT_EQ(SourceDrive(""), '\0');
  EXPECT_EQ(SourceDrive(":odd"), '\0');  // nothing before it
  EXPECT_EQ(Written(CdRomPath, 32, "", 'E', "directx\\dxsetup.exe"), "yes E:\\directx\\dxsetup.exe");
  EXPECT_EQ(Written(CdRomPath, 4, "", 'E', ""), "yes E:\\");
  EXPECT_EQ(Written(CdRomPath, 32, "", '\0', "bladeenc.exe").substr(0, 3), "no ");
  EXPECT_EQ(Written(CdRomPath, 8, "", 'E', "bladeenc.exe").substr(0, 3), "no ");
}

TEST(CommandLine, UnattendedSwitchesAreWordsBeforeTheFolderThatEndsTheTail) {
  const auto read = [](const std::string& tail) {
    CommandSwitches got;
    ReadCommandSwitches(tail.c_str(), &got);
    return std::string(got.autorun ? "A" : "-") + (got.silent ? "S" : "-") + (got.folderGiven ? "|" + std::string(got.folder) : "");
  };
  EXPECT_EQ(read(""), "--");
  EXPECT_EQ(read("/autorun /S /D=C:\\Program Files\\Quavertone"), "AS|C:\\Program Files\\Quavertone");
  EXPECT_EQ(read("/S/AUTORUN"), "A-");  // not a word of its own
  EXPECT_EQ(read("\t/S\t"), "-S");
  EXPECT_EQ(read("/s /Sx x/S"), "--");
  // The folder is the rest of the tail, switches included, blanks at its end dropped.
  EXPECT_EQ(read("/D=C:\\x /S /autorun \t "), "--|C:\\x /S /autorun");
  EXPECT_EQ(read("/S /D="), "-S|");  // empty: no destination
  EXPECT_EQ(read("/S x/D=C:\\y /d=C:\\z"), "-S");  // neither begins the folder
  EXPECT_EQ(read("/D=" + std::string(255, 'f')), "--|" + std::string(255, 'f'));
  EXPECT_EQ(read("/D=" + std::string(256, 'f')), "--|");  // longer than a folder may be

  EXPECT_TRUE(IsSameFolder("C:\\Program Files\\Q", "c:\\PROGRAM FILES\\q\\", nullptr));
  EXPECT_FALSE(IsSameFolder("C:\\Q", "C:\\Q2", nullptr));
  EXPECT_FALSE(IsSameFolder("C:\\Q\\\\", "C:\\Q", nullptr));  // one final backslash only
  EXPECT_FALSE(IsSameFolder("C:\\\x95" "a", "C:\\\x95" "A", ShiftJisLead));  // a trail byte is no letter
}

TEST(StartUp, DllSearchIsLimitedAsFarAsTheKernelOffers) {
  EXPECT_EQ(ChooseDllSearchLimit(true, true), DllSearchLimit::SystemFolderOnly);
  EXPECT_EQ(ChooseDllSearchLimit(true, false), DllSearchLimit::SystemFolderOnly);
  EXPECT_EQ(ChooseDllSearchLimit(false, true), DllSearchLimit::WithoutCurrentFolder);
  EXPECT_EQ(ChooseDllSearchLimit(false, false), DllSearchLimit::Unchanged);
}

TEST(Paths, ProgramAndShortcutNamesAndFolderLevelsOrARefusal) {
  const std::string longest = "C:\\" + std::string(252, 'd'), d241(241, 'd');  // the longest destination
  EXPECT_EQ(Written(ComposeUninstallString, 300, "", "D:\\Apps\\", nullptr), "yes \"D:\\Apps\\Quavertone.exe\" /uninstall");
  EXPECT_EQ(Written(ComposeUninstallString, UNINSTALL_STRING_SIZE, "", longest.c_str(), nullptr),
            "yes \"" + longest + "\\Quavertone.exe\" /uninstall");
  EXPECT_EQ(Written(ComposeUninstallString, 40, "", longest.c_str(), nullptr), "no ");
  EXPECT_EQ(Written(ComposeShortcutTarget, 260, "", "D:\\Apps\\", nullptr), "yes D:\\Apps\\Quavertone.exe");
  // 244 + "\Quavertone.exe" = 259 characters: the longest target that fits.
  EXPECT_EQ(Written(ComposeShortcutTarget, 260, "", ("C:\\" + d241).c_str(), nullptr), "yes C:\\" + d241 + "\\Quavertone.exe");
  EXPECT_EQ(Written(ComposeShortcutTarget, 260, "", ("C:\\d" + d241).c_str(), nullptr), "no ");
  EXPECT_EQ(Written(AppendShortcutFileName, 260, "C:\\Desktop", nullptr), "yes C:\\Desktop\\Quavertone.lnk");
  EXPECT_EQ(Written(AppendShortcutFileName, 260, "C:\\f" + d241, nullptr), "no C:\\f" + d241);  // 260: one too many

  const std::pair<std::string, std::string> levels[] = {
      {"C:\\New\\Deeper\\Quavertone", "C:\\New|C:\\New\\Deeper|C:\\New\\Deeper\\Quavertone|"},
      {"D:\\Apps\\", "D:\\Apps|"}, {"C:\\", ""}, {"C:", ""}, {longest, longest + "|"}, {longest + "d", ""},
  };
  for (const auto& [destination, expected] : levels) EXPECT_EQ(Levels(destination), expected) << destination;
}

// Under code page 932 the kanji 95 5C and 83 5C end in the byte of "\":
// every rule that walks or ends a path must see one character there.
TEST(Paths, DoubleByteCharactersEndingInTheByteOfABackslashAreNoSeparator) {
  const std::string hyo = "\x95\\", so = "\x83\\", folder = "C:\\" + hyo;  // one kanji each
  EXPECT_TRUE(EndsWithBackslash(folder.c_str(), nullptr));    // what a single-byte code page sees
  EXPECT_FALSE(EndsWithBackslash("C:\\\x95", ShiftJisLead));  // a lone lead byte at the end
  EXPECT_EQ(Levels(folder + "\\" + so, ShiftJisLead), folder + "|" + folder + "\\" + so + "|");
  EXPECT_EQ(Levels(folder + "\\" + so + "\\", ShiftJisLead), folder + "|" + folder + "\\" + so + "|");
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
  EXPECT_EQ(Split(PRODUCT_KEY_PATH, "Options\\Mode"), "yes Software\\QuavertoneOptions|Mode");  // nothing added
  EXPECT_EQ(Split(PRODUCT_KEY_PATH, ""), "yes Software|Quavertone");  // the prefix's own separator
  EXPECT_EQ(Split(nullptr, "A\\B\\\\"), "yes A\\B\\|");  // a trailing backslash names the default value; only one goes
  EXPECT_EQ(Split(nullptr, PROGRAM_FILES_DIR_RECORD),
            "yes SOFTWARE\\Microsoft\\Windows\\CurrentVersion|ProgramFilesDir");
  EXPECT_EQ(Split(nullptr, "\\Value"), "yes |Value");  // the root itself
  EXPECT_EQ(Split(nullptr, ""), "no |");
  EXPECT_EQ(Split(nullptr, "ProgramFilesDir"), "no |");  // root-given paths need a separator
  const std::string a235(235, 'a');  // 19 + 236 = 255 characters fit; one more does not
  EXPECT_EQ(Split(PRODUCT_KEY_PATH, "\\" + a235), "yes Software\\Quavertone|" + a235);
  EXPECT_EQ(Split(PRODUCT_KEY_PATH, "\\" + a235 + "b"), "no |");
}

TEST(InstalledState, VersionClassAndWordingFollowTheInstalledFlagAndThePlainUnsignedNumber) {
  const std::pair<uint32_t, VersionClass> classes[] = {
      {0, VersionClass::Legacy},  {301, VersionClass::Legacy}, {302, VersionClass::Older},   {999, VersionClass::Older},
      {1000, VersionClass::Same}, {1001, VersionClass::Newer}, {0xFFFFFFFFu, VersionClass::Newer},
  };
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
      {true, 999, "", UPDATE_STATUS_TEXT, UPDATE_BUTTON_TEXT, false, UPDATED_TEXT},
      {true, 301, "\\\\server\\share\\Q", UPDATE_STATUS_TEXT, UPDATE_BUTTON_TEXT, false, UPDATED_TEXT},
      {true, 1001, "D:Q", NEWER_STATUS_TEXT, INSTALL_BUTTON_TEXT, false, INSTALLED_TEXT},
  };
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
  const std::pair<const char*, bool> rows[] = {  // "Q:\\" passes: nothing more is checked
      {"C:\\x", true}, {"Q:\\\\", true}, {"", false}, {"C", false}, {"C:", false}, {"C:\\", false}, {"C:x", false},
      {"CC:\\x", false}, {"\\\\server\\share", false}, {"\\Quavertone", false},
  };
  for (const auto& [text, valid] : rows) {
    const std::vector<char> copy(text, text + std::strlen(text) + 1);  // ASan sees a read past the end
    EXPECT_EQ(IsValidDestinationForm(copy.data()), valid) << text;
  }
  // The proposal is the program folder, else on the Windows drive.
  const std::string p241(241, 'p');  // "C:\" + 241 + "\Quavertone" = 255: fits
  EXPECT_EQ(Written(ComposeDefaultFolder, 256, "", "D:\\Apps\\", "C:\\WINDOWS", nullptr), "yes D:\\Apps\\Quavertone");
  EXPECT_EQ(Written(ComposeDefaultFolder, 256, "", "", "F:\\WINNT", nullptr), "yes F:\\Program Files\\Quavertone");
  EXPECT_EQ(Written(ComposeDefaultFolder, 256, "", "", "\\\\server\\windows", nullptr), "yes \\Quavertone");  // no drive
  EXPECT_EQ(Written(ComposeDefaultFolder, 256, "", "", "", nullptr), "yes \\Quavertone");
  EXPECT_EQ(Written(ComposeDefaultFolder, 256, "", "", "C", nullptr), "yes \\Quavertone");
  EXPECT_EQ(Written(ComposeDefaultFolder, 256, "", ("C:\\" + p241).c_str(), "", nullptr), "yes C:\\" + p241 + "\\Quavertone");
  EXPECT_EQ(Written(ComposeDefaultFolder, 256, "", ("C:\\p" + p241).c_str(), "C:\\WINDOWS", nullptr), "no ");
  // A browsed folder gets the product's folder if the destination holds it: "\Quavertone" is 11
  // characters, so a folder of 244 gives exactly 255, the most it holds; ending in a backslash saves one.
  EXPECT_EQ(Written(DestinationFromBrowsedPath, 260, "", nullptr), "no ");
  EXPECT_EQ(Written(DestinationFromBrowsedPath, 14, "C:\\", nullptr), "yes C:\\Quavertone");
  EXPECT_EQ(Written(DestinationFromBrowsedPath, 13, "C:\\", nullptr), "no C:\\");
  const std::string fits = "C:\\" + std::string(241, 'a'), tooLong = fits + "a";
  EXPECT_EQ(Written(DestinationFromBrowsedPath, 260, fits, nullptr), "yes " + fits + "\\Quavertone");
  EXPECT_EQ(Written(DestinationFromBrowsedPath, 260, fits + "\\", nullptr), "yes " + fits + "\\Quavertone");
  EXPECT_EQ(Written(DestinationFromBrowsedPath, 260, tooLong, nullptr), "no " + tooLong);  // stays as it was
}

TEST(InstalledState, ReadTextIsTerminatedOrRefused) {
  EXPECT_EQ(Written(TerminateReadText, 8, "abc", 4u), "yes abc");
  EXPECT_EQ(Written(TerminateReadText, 8, "abczzzzz", 3u), "yes abc");  // stored without its terminator
  EXPECT_EQ(Written(TerminateReadText, 8, "zzzzzzzz", 0u), "yes ");
  EXPECT_EQ(Written(TerminateReadText, 8, "zzzzzzz", 8u), "yes zzzzzzz");  // a terminator anywhere will do
  EXPECT_EQ(Written(TerminateReadText, 8, "zzzzzzzz", 8u), "no ");  // a whole buffer without one
  EXPECT_EQ(Written(TerminateReadText, 8, "zzzzzzzz", 0xFFFFFFFFu), "no ");
}

TEST(Dialogs, CdRomMenuReportsTheFirstCheckedChoiceOrCancel) {
  const std::pair<std::vector<INT_PTR>, INT_PTR> rows[] = {  // indeterminate (2) is not checked; none: Cancel (2)
      {{1, 0, 0, 0, 0}, IDC_RUN_PRODUCT}, {{0, 0, 0, 1, 0}, IDC_SOUND_FX},    {{0, 0, 0, 0, 1}, IDC_EXPLORE_CD},
      {{1, 1, 1, 1, 1}, IDC_RUN_PRODUCT}, {{0, 1, 0, 1, 1}, IDC_RUN_SETUP},   {{2, 0, 1, 0, 0}, IDC_RUN_DIRECTX},
      {{0, 0, 0, 0, 0}, CDROM_CANCELLED}, {{2, 0, 2, 0, 0}, CDROM_CANCELLED},
  };
  for (const auto& [states, expected] : rows) EXPECT_EQ(ChooseCdRomAction(states.data()), expected) << &states;
}

static std::vector<std::vector<uint64_t>> calls;  // window, message, wParam, lParam

TEST(Dialogs, FrameForwardsTheTableRowsUnchangedAndAnswersAsTheTableSays) {
  ActiveDialogProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    calls.push_back({reinterpret_cast<uintptr_t>(window), message, wParam, static_cast<uint64_t>(lParam)});
    return INT_PTR{77};
  };
  // Message, forwarded, answer: WM_INITDIALOG gets TRUE whatever the dialog says, WM_DRAWITEM
  // the dialog's own answer; WM_DESTROY and messages outside the table never reach the dialog.
  const std::tuple<UINT, bool, INT_PTR> rows[] = {
      {0x0110, true, 1}, {0x0002, false, 1}, {0x0111, true, 0},  {0x002B, true, 77},  {0x0114, true, 0},
      {0x0115, true, 0}, {0x0010, false, 0}, {0x0030, false, 0}, {0x0001, false, 0},
  };
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

TEST(Dialogs, ProgressTitleIsCaptionSeparatorTextCutAtTheEndOfTheBuffer) {
  const std::string c200(200, 'c'), t48(48, 't'), t49(49, 't');
  EXPECT_EQ(Written(ComposeProgressTitle, 256, "", "Installing", "Working"), "yes Installing  ---  Working");
  EXPECT_EQ(Written(ComposeProgressTitle, 256, "", "", ""), "yes   ---  ");
  EXPECT_EQ(Written(ComposeProgressTitle, 256, "", "Caption", nullptr), "yes Caption  ---  ");
  // Callers keep caption and text within 248 characters together; more is cut at the end of the buffer.
  EXPECT_EQ(Written(ComposeProgressTitle, 256, "", c200.c_str(), t48.c_str()), "yes " + c200 + "  ---  " + t48);
  EXPECT_EQ(Written(ComposeProgressTitle, 256, "", c200.c_str(), t49.c_str()), "no " + c200 + "  ---  " + t48);
  EXPECT_EQ(Written(ComposeProgressTitle, 4, "", "Installing", "x"), "no Ins");

  EXPECT_EQ(ProgressRangeParam(3, 70000), static_cast<LPARAM>((70000 & 0xFFFF) << 16 | 3));
  EXPECT_EQ(ProgressRangeParam(65536 + 7, 8), static_cast<LPARAM>(0x00080007));  // uncut, it would set bit 16
  EXPECT_EQ(ProgressRangeParam(-1, -1), static_cast<LPARAM>(0xFFFFFFFFu));  // no sign extension
}

namespace {

// A destination folder as a map of name to content; "/" marks a folder.
using Folder = std::map<std::string, std::string>;

// Runs the file steps on folder as the installer does, failing the step at
// failAt (the user's abort when abortAfterStage), then undoes with the plan.
// Records in journal what was done; answers whether every step succeeded.
bool InstallFilesInto(Folder& folder, InstallJournal& journal, unsigned failAt, bool abortAfterStage) {
  const bool update = folder.count(FileTable[0].Name) > 0;
  ClearJournal(&journal);
  FileStep step;
  for (unsigned index = 0; FileStepAt(index, &step); ++index) {
    const std::string own = FileTable[step.row - 1].Name, staged = StagedFileName(step.row),
                      kept = KeptFileName(step.row);
    if (index == failAt && !FilesCommitted(step) && !abortAfterStage) return false;
    bool acted = true;
    if (step.kind == FileStepKind::Stage) folder[staged] = "new " + own;
    if (step.kind == FileStepKind::KeepAside && (acted = folder.count(own) > 0)) {
      folder[kept] = folder[own];
      folder.erase(own);
    }
    if (step.kind == FileStepKind::Place) folder[own] = folder[staged], folder.erase(staged);
    if (step.kind == FileStepKind::DropKept && journal.kept[step.row - 1]) folder.erase(kept);
    RecordFileStep(&journal, step, acted);
    // Until the moves begin, an earlier installation is untouched; during them one file at most is away.
    unsigned away = 0;
    for (const FileTableEntry& entry : FileTable) away += !folder.count(entry.Name);
    if (update) EXPECT_LE(away, index < FILE_TABLE_ROWS ? 0u : 1u) << index;
    if (index == failAt && abortAfterStage && step.kind == FileStepKind::Stage) return false;
  }
  return true;
}

void Undo(Folder& folder, const InstallJournal& journal) {
  UndoStep steps[MAX_UNDO_STEPS];
  const std::string destination = "C:\\A\\B";
  for (size_t i = 0, count = PlanUndo(journal, steps); i < count; ++i) {
    if (steps[i].kind == UndoKind::DeleteFile) folder.erase(steps[i].from);
    if (steps[i].kind == UndoKind::MoveFile) folder[steps[i].to] = folder[steps[i].from], folder.erase(steps[i].from);
    if (steps[i].kind == UndoKind::RemoveFolder) folder.erase(destination.substr(0, steps[i].folderLength) + "/");
  }
}

}  // namespace

TEST(AllOrNothing, EveryFailurePointAndEveryAbortUndoesToTheFolderAsItWas) {
  Folder earlier;
  for (const FileTableEntry& entry : FileTable) earlier[entry.Name] = std::string("old ") + entry.Name;
  for (const Folder& before : {Folder{}, earlier}) {
    unsigned steps = 0;
    for (FileStep step; FileStepAt(steps, &step);) ++steps;
    for (unsigned failAt = 0; failAt <= steps; ++failAt) {
      for (bool abort : {false, true}) {
        Folder folder = before;
        InstallJournal journal;
        // The run made both levels of C:\A\B.
        folder["C:\\A/"] = folder["C:\\A\\B/"] = "";
        RecordCreatedFolder(&journal, 0);
        ClearJournal(&journal);
        const bool done = InstallFilesInto(folder, journal, failAt, abort);
        RecordCreatedFolder(&journal, 4);
        RecordCreatedFolder(&journal, 6);
        if (done) {
          EXPECT_EQ(folder.size(), 7u) << "the five files and the two folders, nothing staged or kept: " << failAt;
          for (const FileTableEntry& entry : FileTable) EXPECT_EQ(folder[entry.Name], std::string("new ") + entry.Name);
          continue;
        }
        Undo(folder, journal);
        EXPECT_EQ(folder, before) << "failed at step " << failAt << (abort ? " (abort)" : "");
      }
    }
  }
}
