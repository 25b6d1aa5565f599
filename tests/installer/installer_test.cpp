// The installer's decisions on a fake system: what it asks, what it shows,
// what it leaves on disk and what it registers.
#include "installer/installer.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <set>

#include "installer/installer_texts.h"

namespace tervane::installer {
namespace {

const std::string kRoaming = "C:\\Users\\ユーザー\\AppData\\Roaming";
const std::string kTarget = kRoaming + "\\microsoft\\addins\\Tervane.dll";
const std::string kCarried = "the 1.3 library";
constexpr std::uint32_t kV13 = 0x00010003;

struct Entry {
  bool folder = false;
  std::optional<std::uint32_t> version;
  std::string bytes;
  bool loaded = false;  // by a program: it can be renamed, not replaced or deleted
  bool held = false;    // open without delete sharing: it cannot be moved at all
};

class FakeSystem : public InstallerPlatform {
 public:
  FakeSystem() {
    for (const char* folder :
         {"C:", "C:\\Users", "C:\\Users\\ユーザー", "C:\\Users\\ユーザー\\AppData"}) {
      entries[folder].folder = true;
    }
    entries[kRoaming].folder = true;
  }
  void Installed(std::optional<std::uint32_t> version) {
    entries[kRoaming + "\\microsoft"].folder = true;
    entries[kRoaming + "\\microsoft\\addins"].folder = true;
    entries[kTarget] = Entry{false, version, "old copy"};
  }

  bool ClaimSingleRun() override { return alone; }
  bool AcquireShellAllocator() override { return allocator; }
  std::optional<std::string> ApplicationDataFolder() override { return appData; }
  std::optional<PathAttributes> Attributes(std::string_view path) override {
    const auto found = entries.find(std::string(path));
    if (found == entries.end()) return std::nullopt;
    return PathAttributes{found->second.folder};
  }
  std::optional<std::uint32_t> FileVersionMajorMinor(std::string_view path) override {
    return entries.at(std::string(path)).version;
  }
  bool CreateFolder(std::string_view path) override {
    const std::string parent(path.substr(0, path.rfind('\\')));
    if (!entries.count(parent) || !entries[parent].folder || refuseFolders) return false;
    created.emplace_back(path);
    entries[std::string(path)].folder = true;
    return true;
  }
  std::optional<std::string> CarriedLibrary() override { return library; }
  std::optional<std::string> CreateTemporaryFile(std::string_view folder) override {
    const std::string path =
        std::string(folder) + "\\tvn" + std::to_string(entries.size()) + ".tmp";
    entries[path] = Entry{};
    return path;
  }
  bool WriteFile(std::string_view path, std::string_view bytes) override {
    entries[std::string(path)].bytes = bytes.substr(0, diskFull ? bytes.size() / 2 : bytes.size());
    return !diskFull;
  }
  MoveResult ReplaceFile(std::string_view source, std::string_view target) override {
    const auto existing = entries.find(std::string(target));
    if (existing == entries.end() && writeAfterMoveFails) return MoveResult::kFailed;
    if (existing != entries.end() && (existing->second.loaded || existing->second.held)) {
      return MoveResult::kInUse;
    }
    return RenameFile(source, target);
  }
  MoveResult RenameFile(std::string_view source, std::string_view target) override {
    Entry& moved = entries.at(std::string(source));
    if (moved.held) return MoveResult::kInUse;
    entries[std::string(target)] = moved;
    entries.erase(std::string(source));
    return MoveResult::kDone;
  }
  bool DeleteFile(std::string_view path) override {
    const auto found = entries.find(std::string(path));
    if (deleteRefused || found == entries.end() || found->second.loaded || found->second.held) {
      return false;
    }
    entries.erase(found);
    return true;
  }
  std::vector<std::string> FindFiles(std::string_view folder, std::string_view pattern) override {
    const std::size_t star = pattern.find('*');
    const std::string prefix = std::string(folder) + "\\" + std::string(pattern.substr(0, star));
    const std::string_view suffix = pattern.substr(star + 1);
    std::vector<std::string> found;
    for (const auto& [path, entry] : entries) {
      if (path.starts_with(prefix) && path.ends_with(suffix)) found.push_back(path);
    }
    return found;
  }
  bool DeleteKeys(const std::vector<std::string>& keys) override {
    deletedKeys = keys;
    return !keysStay;
  }
  std::uint32_t LastFailure() override { return cause; }
  std::string SystemFolder() override { return "C:\\windows\\system32"; }
  std::string CurrentFolder() override { return "C:\\Downloads"; }
  std::optional<std::uint32_t> RunAndWait(std::string_view program, std::string_view commandLine,
                                          std::string_view workingFolder) override {
    runs.push_back(std::string(program) + "|" + std::string(commandLine) + "|" +
                   std::string(workingFolder));
    return registrationResult;
  }
  MsgAnswer Show(std::string_view text, MsgButtons buttons, MsgIcon icon,
                 bool defaultSecond) override {
    shown.push_back({std::string(text), buttons, icon, defaultSecond});
    if (answers.empty()) return MsgAnswer::kOk;
    const MsgAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }

  struct Box {
    std::string text;
    MsgButtons buttons;
    MsgIcon icon;
    bool defaultSecond;
  };
  bool alone = true, allocator = true;
  std::optional<std::string> appData = kRoaming;
  std::optional<std::string> library = kCarried;
  bool refuseFolders = false, diskFull = false, targetInUse = false, deleteRefused = false;
  bool writeAfterMoveFails = false, keysStay = false;
  std::optional<std::uint32_t> registrationResult = 0;
  std::uint32_t cause = 0;  // the system's error code for what fails
  std::deque<MsgAnswer> answers;
  std::map<std::string, Entry> entries;
  std::vector<std::string> created, runs, deletedKeys;
  std::vector<Box> shown;
};

using Texts = std::vector<std::string_view>;
const std::string kM8 = std::string(texts::kM8NoFolder) + kTarget;

// Every path through the program: the situation, the user's answers, the
// boxes shown, the exit code, and what stands at the target afterwards.
TEST(InstallerTest, EveryPathThroughTheProgram) {
  struct Case {
    const char* what;
    std::function<void(FakeSystem&)> arrange;
    std::deque<MsgAnswer> answers;
    Texts boxes;
    int exitCode;
    std::optional<std::string> targetAfter;  // nullopt: nothing there
    std::vector<std::string> switches;       // registration runs
  };
  using A = MsgAnswer;
  using S = FakeSystem&;
  namespace t = texts;
  const std::string_view M[] = {{},
                                t::kM1NoShellAllocator,
                                t::kM2Install,
                                t::kM3Reinstall,
                                t::kM4Uninstall,
                                t::kM5Uninstalled,
                                t::kM6Installed,
                                t::kM7TargetBlocked,
                                kM8,
                                t::kM9Failed};
  const std::string restart =
      std::string(t::kM6Installed) + "\r\n\r\n" + std::string(t::kRestartEditor);
  const std::string left = std::string(t::kLeftBehind) + "\r\n" + kTarget;
  // The situations: a copy already installed, and what goes wrong.
  const auto none = [](S) {};
  const auto at11 = [](S s) { s.Installed(0x00010001); };
  const auto at12 = [](S s) { s.Installed(0x00010002); };
  const auto at13 = [](S s) { s.Installed(kV13); };
  const auto at20 = [](S s) { s.Installed(0x00020000); };
  const auto unversioned = [](S s) { s.Installed(std::nullopt); };
  const auto noDelete = [](S s) { s.Installed(kV13), s.deleteRefused = true; };
  const auto noUnregister = [](S s) { s.Installed(kV13), s.registrationResult = 5; };
  const auto keysStay = [&](S s) { noUnregister(s), s.keysStay = true, s.cause = 5; };
  const auto diskFull = [](S s) { s.Installed(kV13), s.diskFull = true, s.cause = 112; };
  const auto held = [](S s) { s.Installed(kV13), s.entries[kTarget].held = true; };
  const auto loaded = [](S s) { s.Installed(kV13), s.entries[kTarget].loaded = true; };
  const auto loadedNoWrite = [&](S s) { loaded(s), s.writeAfterMoveFails = true, s.cause = 1392; };
  // What a run ended from outside and an earlier run beside a loaded copy
  // left in the add-ins folder.
  const auto leftovers = [](S s) {
    s.Installed(kV13);
    for (const char* name : {"~Tervane-4242-0.tmp", "~Tervane-4242-1.tmp", "~Tervane-0.old"}) {
      s.entries[kRoaming + "\\microsoft\\addins\\" + name] = Entry{};
    }
  };
  const auto notAlone = [](S s) { s.Installed(kV13), s.alone = false; };
  const auto noAllocator = [](S s) { s.allocator = false; };
  const auto noAppData = [](S s) { s.appData.reset(); };
  const auto folderAtTarget = [](S s) { s.entries[kTarget].folder = true; };
  const auto noFolders = [](S s) { s.refuseFolders = true; };
  const auto fileForFolder = [](S s) { s.entries[kRoaming + "\\microsoft"] = Entry{}; };
  const auto noLibrary = [](S s) { s.library.reset(); };
  const auto noRegsvr = [](S s) { s.registrationResult.reset(), s.cause = 2; };
  const auto regFails = [](S s) { s.registrationResult = 3; };
  // kM9Failed and the reason on its second line.
  const auto failed = [](std::string_view reason, std::string_view cause) {
    return std::string(texts::kM9Failed) + "\r\n" + std::string(reason) + " (" +
           std::string(cause) + ")";
  };
  const std::string noAppDataFailed =
      std::string(t::kM9Failed) + "\r\n" + std::string(t::kNoApplicationData);
  const std::string noLibraryFailed =
      std::string(t::kM9Failed) + "\r\n" + std::string(t::kNoCarriedLibrary);
  const std::string keysFailed = failed(t::kKeysStay, "アクセスが拒否されました。");
  const std::string diskFullFailed = failed(t::kCannotWrite, "ディスクの空き容量が足りません。");
  const std::string unknownCauseFailed = failed(t::kCannotWrite, "Windows のエラー 1392");
  const std::string noRegsvrFailed = failed(t::kNoRegistrationTool, "ファイルが見つかりません。");
  const std::string regFailed = failed(t::kRegistrationFailed, "終了コード 3");
  const std::optional<std::string> gone, old = "old copy", ours = kCarried;
  const Case cases[] = {
      {"first install", none, {A::kYes}, {M[2], M[6]}, 0, ours, {"/s"}},
      {"first install declined", none, {A::kNo}, {M[2]}, 0, gone, {}},
      {"1.1 counts as not installed", at11, {A::kNo}, {M[2]}, 0, old, {}},
      {"no version information", unversioned, {A::kYes}, {M[2], M[6]}, 0, ours, {"/s"}},
      {"reinstall over 1.2", at12, {A::kYes}, {M[3], M[6]}, 0, ours, {"/s"}},
      {"reinstall over 1.3", at13, {A::kYes}, {M[3], M[6]}, 0, ours, {"/s"}},
      {"newer 2.0 present, cancelled", at20, {A::kCancel}, {M[3]}, 0, old, {}},
      {"uninstall", at13, {A::kNo, A::kYes}, {M[3], M[4], M[5]}, 0, gone, {"/u"}},
      {"uninstall declined", at13, {A::kNo, A::kNo}, {M[3], M[4]}, 0, old, {}},
      {"deletion refused", noDelete, {A::kNo, A::kYes}, {M[3], M[4], left}, -1, old, {"/u"}},
      {"uninstall while loaded", loaded, {A::kNo, A::kYes}, {M[3], M[4], left}, -1, old, {"/u"}},
      {"unregistering fails: removed anyway",
       noUnregister,
       {A::kNo, A::kYes, A::kYes},
       {M[3], M[4], t::kRemoveAnyway, M[5]},
       0,
       gone,
       {"/u"}},
      {"unregistering fails, the keys stay",
       keysStay,
       {A::kNo, A::kYes, A::kYes},
       {M[3], M[4], t::kRemoveAnyway, keysFailed},
       -1,
       old,
       {"/u"}},
      {"unregistering fails: kept",
       noUnregister,
       {A::kNo, A::kYes, A::kNo},
       {M[3], M[4], t::kRemoveAnyway},
       0,
       old,
       {"/u"}},
      {"another installer runs", notAlone, {}, {t::kAlreadyRunning}, 0, old, {}},
      {"no shell allocator", noAllocator, {}, {M[1]}, 0, gone, {}},
      {"no application-data folder", noAppData, {}, {noAppDataFailed}, -1, gone, {}},
      {"a folder at the target", folderAtTarget, {}, {M[7], M[9]}, -1, "", {}},
      {"folders cannot be made", noFolders, {A::kYes}, {M[2], M[8], M[9]}, -1, gone, {}},
      {"a file where a folder belongs", fileForFolder, {A::kYes}, {M[2], M[8], M[9]}, -1, gone, {}},
      {"no carried library", noLibrary, {A::kYes}, {M[2], noLibraryFailed}, -1, gone, {}},
      {"disk full: the old copy survives",
       diskFull,
       {A::kYes},
       {M[3], diskFullFailed},
       -1,
       old,
       {}},
      {"target held open: the old copy survives", held, {A::kYes}, {M[3], t::kInUse}, -1, old, {}},
      {"target loaded: moved aside", loaded, {A::kYes}, {M[3], restart}, 0, ours, {"/s"}},
      {"moved aside, writing fails: put back",
       loadedNoWrite,
       {A::kYes},
       {M[3], unknownCauseFailed},
       -1,
       old,
       {}},
      {"leftovers go at installation", leftovers, {A::kYes}, {M[3], M[6]}, 0, ours, {"/s"}},
      {"leftovers go at uninstallation",
       leftovers,
       {A::kNo, A::kYes},
       {M[3], M[4], M[5]},
       0,
       gone,
       {"/u"}},
      {"regsvr32 cannot start", noRegsvr, {A::kYes}, {M[2], noRegsvrFailed}, -1, ours, {"/s"}},
      {"registration fails: the copy stays",
       regFails,
       {A::kYes},
       {M[2], regFailed},
       -1,
       ours,
       {"/s"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeSystem system;
    c.arrange(system);
    system.answers = c.answers;
    EXPECT_EQ(InstallerMain(system), c.exitCode);

    Texts shown;
    for (const auto& box : system.shown) shown.push_back(box.text);
    EXPECT_EQ(shown, c.boxes);
    const auto target = system.entries.find(kTarget);
    EXPECT_EQ(target == system.entries.end() ? std::nullopt
                                             : std::optional<std::string>(target->second.bytes),
              c.targetAfter);
    std::vector<std::string> switches;
    for (const std::string& run : system.runs)
      switches.push_back(run.substr(run.find("\" /") + 2, 2));
    EXPECT_EQ(switches, c.switches);
    // Only a copy still loaded may stay beside the target.
    for (const auto& [path, entry] : system.entries) {
      EXPECT_EQ(path.find(".tmp"), std::string::npos) << "temporary file left: " << path;
      EXPECT_TRUE(path.find("~Tervane-") == std::string::npos || entry.loaded) << "left: " << path;
    }
  }
}

// A copy that the editor has loaded goes aside under a name of its own,
// stays while loaded, and goes at the next run after the editor let it go;
// an uninstallation names what it could not delete.
TEST(InstallerTest, ALoadedCopyMovedAsideIsDeletedOnceReleased) {
  const std::string addins = kRoaming + "\\microsoft\\addins";
  FakeSystem system;
  system.Installed(kV13);
  system.entries[addins + "\\~Tervane-0.old"] = Entry{false, kV13, "older", true};
  system.entries[kTarget].loaded = true;
  system.answers = {MsgAnswer::kYes};
  EXPECT_EQ(InstallerMain(system), 0);
  const std::string aside = addins + "\\~Tervane-1.old";
  ASSERT_TRUE(system.entries.count(aside));
  EXPECT_EQ(system.entries[aside].bytes, "old copy");
  EXPECT_EQ(system.entries[kTarget].bytes, kCarried);

  // Still loaded at uninstallation: both copies moved aside are named.
  system.entries[kTarget].version = kV13;
  system.shown.clear();
  system.answers = {MsgAnswer::kNo, MsgAnswer::kYes};
  EXPECT_EQ(InstallerMain(system), -1);
  ASSERT_EQ(system.shown.size(), 3u);
  EXPECT_EQ(system.shown[2].text,
            std::string(texts::kLeftBehind) + "\r\n" + addins + "\\~Tervane-0.old\r\n" + aside);
  EXPECT_EQ(system.shown[2].icon, MsgIcon::kStop);

  // The editor has ended: the next run deletes them.
  system.entries[aside].loaded = system.entries[addins + "\\~Tervane-0.old"].loaded = false;
  system.answers = {MsgAnswer::kYes};
  EXPECT_EQ(InstallerMain(system), 0);
  EXPECT_TRUE(system.FindFiles(addins, "~Tervane-*.old").empty());
}

// A copy that cannot unregister itself is removed with the add-in's own
// keys, never the shared IDTExtensibility2 key.
TEST(InstallerTest, ADamagedCopyIsRemovedWithItsOwnKeys) {
  FakeSystem system;
  system.Installed(kV13);
  system.registrationResult = 5;
  system.answers = {MsgAnswer::kNo, MsgAnswer::kYes, MsgAnswer::kYes};
  EXPECT_EQ(InstallerMain(system), 0);
  const std::string classes = "Software\\Classes\\";
  std::set<std::string> keys(system.deletedKeys.begin(), system.deletedKeys.end());
  EXPECT_EQ(keys, (std::set<std::string>{
                      classes + "CLSID\\{8A1BBF72-5C3E-49B1-B50E-064EEAFF4FAF}",
                      classes + "Tervane.AddInDesigner1",
                      classes + "TypeLib\\{F179B379-7382-4586-AAAC-5EA485932431}",
                      classes + "Interface\\{BC0A4F63-A2B4-4F3A-8F76-D37CDF301A85}",
                      "Software\\Microsoft\\Office\\FrontPage\\Addins\\Tervane.AddInDesigner1",
                  }));
}

TEST(InstallerTest, BoxesHaveTheirButtonsIconsAndDefaults) {
  FakeSystem system;
  system.Installed(0x00010003);
  system.answers = {MsgAnswer::kNo, MsgAnswer::kYes};
  InstallerMain(system);
  ASSERT_EQ(system.shown.size(), 3u);
  EXPECT_EQ(system.shown[0].buttons, MsgButtons::kYesNoCancel);
  EXPECT_EQ(system.shown[0].icon, MsgIcon::kQuestion);
  EXPECT_EQ(system.shown[1].buttons, MsgButtons::kYesNo);
  EXPECT_TRUE(system.shown[1].defaultSecond);
  EXPECT_EQ(system.shown[2].icon, MsgIcon::kInformation);

  FakeSystem blocked;
  blocked.entries[kTarget].folder = true;
  InstallerMain(blocked);
  for (const auto& box : blocked.shown) {
    EXPECT_EQ(box.buttons, MsgButtons::kOk);
    EXPECT_EQ(box.icon, MsgIcon::kStop);
  }
}

TEST(InstallerTest, MissingFoldersAreCreatedOneLevelAtATime) {
  struct Case {
    std::string path;
    bool created;
    std::vector<std::string> levels;
  } cases[] = {
      {kTarget, true, {kRoaming + "\\microsoft", kRoaming + "\\microsoft\\addins"}},
      {kRoaming + "\\表\\ソ\\Tervane.dll", true, {kRoaming + "\\表", kRoaming + "\\表\\ソ"}},
      {kRoaming + "\\Tervane.dll", true, {}},
      {"Q:\\none\\Tervane.dll", false, {}},
      {"Tervane.dll", false, {}},
      {"", false, {}},
      {kRoaming + "\\" + std::string(300, 'x') + "\\Tervane.dll",
       true,
       {kRoaming + "\\" + std::string(300, 'x')}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    FakeSystem system;
    EXPECT_EQ(CreateTargetFolder(system, c.path), c.created);
    EXPECT_EQ(system.created, c.levels);
  }
}

TEST(InstallerTest, RegistrationRunsTheSystemFoldersProgramOnTheQuotedPath) {
  FakeSystem system;
  EXPECT_TRUE(RunRegistrationTool(system, "/s", kTarget));
  EXPECT_EQ(system.runs, std::vector<std::string>{"C:\\windows\\system32\\regsvr32.exe|"
                                                  "\"C:\\windows\\system32\\regsvr32.exe\" /s \"" +
                                                  kTarget + "\"|C:\\Downloads"});
}

}  // namespace
}  // namespace tervane::installer
