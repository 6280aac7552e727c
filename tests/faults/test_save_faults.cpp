// Saving where the disk refuses: a read-only program directory, a full disk, and Config killed
// in the middle of saving. The old file stays whole, or the new one is there whole; never a
// mixture or nothing. Read-only and full file systems are made in a private mount namespace
// (unshare), where even root is refused.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>
#include <random>
#include <thread>

#include "settings/settings_file.h"
#include "tests/faults/app_dir.h"
#include "tests/faults/child_process.h"
#include "tests/support/test_files.h"
#include "tests/support/test_seed.h"

namespace zorvane::test {
namespace {

const std::string kOldFile = "1 2 3 4 5 6\r\n7 8 9 10 11 12\r\n";
const EnvChanges kOffscreen = {{"QT_QPA_PLATFORM", "offscreen"}};

// Runs a shell script with its arguments in new user and mount namespaces, as root there.
ChildResult InPrivateMounts(const std::string& script, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {"unshare", "-rm", "sh", "-c", script, "sh"};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunChild(argv, kOffscreen, 30);
}

// Why no private mounts can be made here (user namespaces unavailable); nothing when they can.
std::optional<std::string> NoPrivateMounts() {
  static const std::optional<std::string> why = []() -> std::optional<std::string> {
    const ChildResult probe = RunChild({"unshare", "-rm", "true"}, {}, 10);
    if (probe.exitCode == 0) return std::nullopt;
    std::string said = probe.err.empty() ? HowItEnded(probe) : probe.err;
    if (said.back() == '\n') said.pop_back();
    return "no user namespaces here (unshare -rm: " + said + ")";
  }();
  return why;
}

std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(SaveFaults, ReadOnlyDirectoryKeepsTheOldFileAndSaysWhy) {
  if (const auto why = NoPrivateMounts()) GTEST_SKIP() << *why;
  AppDir app;
  WriteFile(app / "zorvane.ini", kOldFile);
  const ChildResult run = InPrivateMounts(
      R"(mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" && exec "$2" save "$1")",
      {app.path(), ZORVANE_CONFIG_HELPER});
  EXPECT_EQ(HowItEnded(run), "exit 3") << run.err;
  EXPECT_EQ(run.out, "warning: Settings not saved. Cannot write " + (app / "zorvane.ini") +
                         ": Read-only file system\n");
  EXPECT_EQ(ReadFile(app / "zorvane.ini"), kOldFile);
  EXPECT_EQ(Names(app.path()), std::vector<std::string>{"zorvane.ini"});
}

// The game only reads its directory: the replay tool runs its start-up, ticks, a new round and
// Escape from a read-only one.
TEST(SaveFaults, TheGamePlaysFromAReadOnlyDirectory) {
  if (const auto why = NoPrivateMounts()) GTEST_SKIP() << *why;
  AppDir app;
  WriteGameFiles(app.path(), "5 0 30 15 100 100\r\n5 0 30 15 100 100\r\n");
  TempDir outside;
  const std::string script = outside / "play.script";
  WriteFile(script,
            "set blue X 100\nkey 37\ntick 3\nset red Health 0\ntick\nkey 13\ntick\nkey 27\n");
  const ChildResult run = InPrivateMounts(
      R"(mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" && exec "$2" --dir "$1" --seed 1 "$3")",
      {app.path(), ZORVANE_REPLAY, script});
  EXPECT_EQ(HowItEnded(run), "exit 0") << run.err;
  EXPECT_NE(run.out.find("reddead.bmp"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"running\":false"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("{\"event\":\"end\"}"), std::string::npos) << run.out;
}

TEST(SaveFaults, FullDiskKeepsTheOldFileAndSaysWhy) {
  if (const auto why = NoPrivateMounts()) GTEST_SKIP() << *why;
  AppDir app;
  TempDir out;
  WriteFile(out / "old.ini", kOldFile);
  std::filesystem::create_directory(app / "disk");
  const ChildResult run = InPrivateMounts(
      R"(mount -t tmpfs -o size=64k tmpfs "$1" && cp "$3/old.ini" "$1/zorvane.ini" || exit 9
         dd if=/dev/zero of="$1/filler" bs=4096 2>/dev/null
         "$2" save "$1"; status=$?
         cp "$1/zorvane.ini" "$3/after.ini"; ls -A "$1" >"$3/names"; exit $status)",
      {app / "disk", ZORVANE_CONFIG_HELPER, out.path()});
  EXPECT_EQ(HowItEnded(run), "exit 3") << run.err;
  EXPECT_EQ(run.out, "warning: Settings not saved. Cannot write " + (app / "disk/zorvane.ini") +
                         ": No space left on device\n");
  EXPECT_EQ(ReadFile(out / "after.ini"), kOldFile);
  EXPECT_EQ(ReadFile(out / "names"), "filler\nzorvane.ini\n");
}

// Every path under `dir`, sorted; a link is followed by " -> " and what it holds.
std::vector<std::string> Tree(const std::string& dir) {
  std::vector<std::string> tree;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
    std::string line = entry.path().lexically_relative(dir).string();
    if (entry.is_symlink()) line += " -> " + std::filesystem::read_symlink(entry.path()).string();
    tree.push_back(line);
  }
  std::sort(tree.begin(), tree.end());
  return tree;
}

// The app directory: open, or closed to new files (mode 0555, the saver not root) with a settings
// file anyone may write; "no room" also limits the saver's file size to 0.
enum class Folder { Open, Closed, ClosedNoRoom };

struct SaveCase {
  std::string name;
  // Made before the save, beside the settings file: "a/b" a file, "a -> b" a symbolic link.
  std::vector<std::string> made;
  std::string settingsAt;  // where the settings file's bytes lie, through any link
  Folder folder;
  std::string said;  // what the helper prints after the path; nothing when it saved
};

// "Defaults", "&Save" writes the settings file, through any link, and adds or removes no other
// (which names a save removes: SettingsWrite.NextSaveRemovesWhatKilledSavesLeft).
TEST(SaveFaults, SavingTouchesOnlyTheSettingsFile) {
  const std::string gone = std::to_string(GonePid());
  const std::string running = std::to_string(getpid());
  const std::vector<SaveCase> cases = {
      {"dated backups and look-alikes of other programs stay",
       {"zorvane.ini.2024-05", "zorvane.ini.20231231-1", "zorvane.ini." + gone + "-0",
        "zorvane.ini." + running + "-0"},
       "zorvane.ini",
       Folder::Open,
       ""},
      {"links are followed and stay links",
       {"zorvane.ini -> store/link.ini", "store/link.ini -> ../real/settings.ini"},
       "real/settings.ini",
       Folder::Open,
       ""},
      {"a folder that takes no new file: written in place", {}, "zorvane.ini", Folder::Closed, ""},
      {"no new file, and no room in the old one",
       {},
       "zorvane.ini",
       Folder::ClosedNoRoom,
       ": cannot make a new file in DIR (Permission denied), nor write it in place: File too "
       "large"},
  };
  for (const SaveCase& c : cases) {
    SCOPED_TRACE(c.name);
    AppDir app;
    const std::string settings = app / c.settingsAt;
    std::filesystem::create_directories(std::filesystem::path(settings).parent_path());
    WriteFile(settings, kOldFile);
    for (const std::string& made : c.made) {
      const size_t arrow = made.find(" -> ");
      const std::string path = app / made.substr(0, arrow);
      std::filesystem::create_directories(std::filesystem::path(path).parent_path());
      if (arrow == std::string::npos) {
        WriteFile(path, made);
      } else {
        std::filesystem::create_symlink(made.substr(arrow + 4), path);
      }
    }
    const std::vector<std::string> before = Tree(app.path());
    std::vector<std::string> argv = {ZORVANE_CONFIG_HELPER, "save", app.path()};
    if (c.folder != Folder::Open) {
      chmod(settings.c_str(), 0666);
      chmod(app.path().c_str(), 0555);
      if (c.folder == Folder::ClosedNoRoom) {
        argv.insert(argv.begin(), {"sh", "-c", R"(trap '' XFSZ; ulimit -f 0; exec "$@")", "sh"});
      }
      argv = AsUnprivileged(argv);
    }
    const ChildResult run = RunChild(argv, kOffscreen, 30);
    chmod(app.path().c_str(), 0755);
    if (c.said.empty()) {
      EXPECT_EQ(HowItEnded(run), "exit 0") << run.out << run.err;
      EXPECT_EQ(ReadFile(settings), DefaultSettingsText());
    } else {
      std::string said = c.said;
      said.replace(said.find("DIR"), 3, app.path());
      EXPECT_EQ(HowItEnded(run), "exit 3") << run.err;
      EXPECT_EQ(run.out, "warning: Settings not saved. Cannot write " + settings + said + "\n");
      EXPECT_EQ(ReadFile(settings), kOldFile);
    }
    EXPECT_EQ(Tree(app.path()), before);
  }
}

// The helper saves the loaded texts and the defaults in turn until it is killed; wherever the
// kill lands, the file is one of the two, whole, with its mode.
TEST(SaveFaults, KilledMidSaveLeavesOneWholeFile) {
  constexpr int kRounds = 40;
  AppDir app;
  const std::string path = app / "zorvane.ini";
  const std::string defaults = DefaultSettingsText();
  const std::string loaded = FormatSettingsLine({"1", "2", "3", "4", "5", "6"}) +
                             FormatSettingsLine({"7", "8", "9", "10", "11", "12"});
  std::mt19937 random(TestSeed(std::random_device{}()));
  // A save takes a few milliseconds, most of them in fsync.
  std::uniform_int_distribution<int> delayMicros(0, 10000);
  int seenDefaults = 0, seenLoaded = 0;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    // Each round loads the old file, so that the loaded texts are not the defaults.
    WriteFile(path, kOldFile);
    chmod(path.c_str(), 0640);
    ChildProcess helper({ZORVANE_CONFIG_HELPER, "save-loop", app.path()}, kOffscreen);
    ASSERT_TRUE(helper.WaitForOutput("saving\n", 20)) << helper.Wait(0).err;
    std::this_thread::sleep_for(std::chrono::microseconds(delayMicros(random)));
    helper.Kill(SIGKILL);
    const ChildResult run = helper.Wait(10);
    ASSERT_EQ(HowItEnded(run), "signal 9") << run.out << run.err;
    const std::string now = ReadFile(path);
    ASSERT_TRUE(now == defaults || now == loaded) << "'" << now << "'";
    (now == defaults ? seenDefaults : seenLoaded)++;
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
  }
  // The new file gets a name only once it is whole, just before the rename: only a kill in
  // that instant leaves it behind, and the next save removes it.
  const size_t left = Names(app.path()).size() - 1;
  std::cout << kRounds << " kills: " << seenLoaded << " left the loaded texts, " << seenDefaults
            << " the defaults, " << left << " a stray temporary file" << std::endl;
  const ChildResult last = RunChild({ZORVANE_CONFIG_HELPER, "save", app.path()}, kOffscreen, 30);
  EXPECT_EQ(HowItEnded(last), "exit 0") << last.out << last.err;
  EXPECT_EQ(ReadFile(path), defaults);
  EXPECT_EQ(Names(app.path()), std::vector<std::string>{"zorvane.ini"});
}

}  // namespace
}  // namespace zorvane::test
