#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <vector>

#include "settings/error_log.h"
#include "settings/file_layout.h"
#include "settings/number_text.h"
#include "settings/program_dir.h"
#include "settings/runtime_error.h"
#include "settings/settings_file.h"
#include "tests/support/test_files.h"

namespace zorvane {
namespace {

using test::TempDir;

PlayerTexts Texts(std::initializer_list<const char*> texts) {
  PlayerTexts out;
  size_t i = 0;
  for (const char* t : texts) out[i++] = t;
  return out;
}

// Errors a program goes on after are said on standard error, named by the program and the
// topic; a flood of one topic is held to a few lines a second and does not hold back another.
TEST(ErrorLog, PrefixesEachLineAndHoldsBackAFloodOfOneTopic) {
  ::testing::internal::CaptureStderr();
  for (int i = 0; i < 10; ++i) LogError("flood", "line " + std::to_string(i));
  LogError("other", "still heard");
  const std::string said = ::testing::internal::GetCapturedStderr();
  const std::string program = program_invocation_short_name;
  std::string expected;
  for (int i = 0; i < kLogBurst; ++i)
    expected += program + ": flood: line " + std::to_string(i) + "\n";
  EXPECT_EQ(said, expected + program + ": other: still heard\n");
}

TEST(SettingsLine, DefaultsGiveTheKnownFile) {
  const PlayerTexts defaults = Texts({"5", "0.5", "30", "15", "10", "100"});
  const std::string line = FormatSettingsLine(defaults);
  EXPECT_EQ(line.size(), 75u);
  EXPECT_EQ(line + line, test::DefaultSettingsText());
  // Values start at the zone columns 1, 15, 29, 43, 57, 71.
  for (size_t column : {0, 14, 28, 42, 56, 70}) EXPECT_NE(line[column], ' ') << column;
}

TEST(SettingsLine, ZonesLeaveAtLeastOneSpace) {
  const std::string thirteen(13, '1'), fourteen(14, '2'), twentyEight(28, '3');
  struct Case {
    std::string first;
    size_t secondStart;
  } cases[] = {{"", 14}, {"7", 14}, {thirteen, 14}, {fourteen, 28}, {twentyEight, 42}};
  for (const Case& c : cases) {
    PlayerTexts texts = Texts({"", "x", "1", "1", "1", "1"});
    texts[0] = c.first;
    const std::string line = FormatSettingsLine(texts);
    EXPECT_EQ(line.find('x'), c.secondStart) << c.first.size() << " characters";
    EXPECT_EQ(line.substr(c.first.size(), c.secondStart - c.first.size()),
              std::string(c.secondStart - c.first.size(), ' '));
  }
}

TEST(SettingsLine, SixthTextIsFollowedByTheLineEndOnly) {
  const std::string line = FormatSettingsLine(Texts({"1", "2", "3", "4", "5", "abc  "}));
  EXPECT_EQ(line.substr(70), "abc  \r\n");
}

struct ReadCase {
  const char* name;
  std::string text;
  PlayerSettings blue;
  PlayerSettings red;
};

TEST(SettingsRead, TokenRules) {
  const PlayerSettings d = kDefaultSettings;
  const ReadCase cases[] = {
      {"defaults", test::DefaultSettingsText(), d, d},
      {"one line, single spaces", "5 0.5 30 15 10 100 5 0.5 30 15 10 100", d, d},
      {"commas", "5,0.5,30,15,10,100,5,0.5,30,15,10,100", d, d},
      {"third line ignored", test::DefaultSettingsText() + "1 2 3 4 5 6\r\n", d, d},
      {"seven on line one",
       "1 2 3 4 5 6 7\r\n8 9 10 11 12\r\n",
       {1, 2, 3, 4, 5, 6},
       {7, 8, 9, 10, 11, 12}},
      {"letters read as 0", "abc 2 3 4 5 6 1 2 3 4 5 6", {0, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}},
      {"space then comma gives an empty value",
       "1 , 2 3 4 5 6 7 8 9 10 11",
       {1, 0, 2, 3, 4, 5},
       {6, 7, 8, 9, 10, 11}},
      {"prefix of letters",
       "12abc -3.5e1x +.5 5. 1e 0.50 1 1 1 1 1 1",
       {12, -35, 0.5f, 5, 1, 0.5f},
       {1, 1, 1, 1, 1, 1}},
      {"LF only",
       "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12",
       {1, 2, 3, 4, 5, 6},
       {7, 8, 9, 10, 11, 12}},
      {"tiny value reads as a subnormal or 0",
       "1e-45 1e-50 0 0 0 0 0 0 0 0 0 0",
       {std::numeric_limits<float>::denorm_min(), 0, 0, 0, 0, 0},
       {0, 0, 0, 0, 0, 0}},
  };
  for (const ReadCase& c : cases) {
    const Settings s = ParseSettings(c.text, "zorvane.ini");
    EXPECT_EQ(s.blue, c.blue) << c.name;
    EXPECT_EQ(s.red, c.red) << c.name;
  }
}

TEST(SettingsRead, ErrorsNameTheirKind) {
  struct Case {
    std::string text;
    ErrorKind kind;
  } cases[] = {
      {"", ErrorKind::InputPastEnd},
      {"1 2 3 4 5 6 7 8 9 10 11", ErrorKind::InputPastEnd},
      {"1 2 3 4 5 6 7 8 9 10 11,", ErrorKind::InputPastEnd},
      {"1 2 3 4 5 6 7 8 9 10 11 \r\n  ", ErrorKind::InputPastEnd},
      {"1e39 2 3 4 5 6 7 8 9 10 11 12", ErrorKind::Overflow},
      {"1 2 3 4 5 6 7 8 9 10 11 -4e38", ErrorKind::Overflow},
  };
  for (const Case& c : cases) {
    try {
      ParseSettings(c.text, "/x/zorvane.ini");
      ADD_FAILURE() << "no error for '" << c.text << "'";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.kind(), c.kind) << c.text;
      EXPECT_NE(std::string(e.what()).find("/x/zorvane.ini"), std::string::npos) << e.what();
    }
  }
}

TEST(SettingsRead, EmptyBoxLeavesElevenNumbers) {
  const PlayerTexts blue = Texts({"5", "", "30", "15", "10", "100"});
  const PlayerTexts red = Texts({"5", "0.5", "30", "15", "10", "100"});
  const std::string file = FormatSettingsLine(blue) + FormatSettingsLine(red);
  try {
    ParseSettings(file, "zorvane.ini");
    ADD_FAILURE() << "eleven numbers read";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::InputPastEnd);
    EXPECT_NE(std::string(e.what()).find("zorvane.ini"), std::string::npos);
  }
}

TEST(SettingsRead, BoxWithTwoNumbersShiftsTheRest) {
  const PlayerTexts blue = Texts({"5", "0.5 7", "30", "15", "10", "100"});
  const PlayerTexts red = Texts({"1", "2", "3", "4", "5", "6"});
  const Settings s = ParseSettings(FormatSettingsLine(blue) + FormatSettingsLine(red), "f");
  EXPECT_EQ(s.blue, (PlayerSettings{5, 0.5f, 7, 30, 15, 10}));
  EXPECT_EQ(s.red, (PlayerSettings{100, 1, 2, 3, 4, 5}));
}

TEST(SettingsRead, FilesThatCannotBeReadNameTheCause) {
  TempDir dir;
  struct Case {
    std::string path;
    ErrorKind kind;
    const char* cause;
  } cases[] = {{dir / "absent.ini", ErrorKind::FileNotFound, "File not found"},
               {dir.path(), ErrorKind::Other, "Is a directory"}};
  for (const Case& c : cases) {
    try {
      ReadSettingsFile(c.path);
      ADD_FAILURE() << c.path;
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.kind(), c.kind);
      EXPECT_NE(std::string(e.what()).find(c.path), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.cause), std::string::npos) << e.what();
    }
  }
}

TEST(NumberText, ShowsPlainDecimalWithSevenDigits) {
  // Where seven digits would read back as another single, the shortest exact digits are shown.
  struct Case {
    float value;
    const char* text;
  } cases[] = {
      {5, "5"},
      {0.5f, "0.5"},
      {100, "100"},
      {-0.25f, "-0.25"},
      {0, "0"},
      {-0.0f, "0"},
      {1e7f, "10000000"},
      {123456789.0f, "123456790"},
      {0.1f, "0.1"},
      {1.0f / 3, "0.33333334"},
      {2.5e-5f, "0.000025"},
      {16777217.0f, "16777216"},
      {1e30f, "1000000000000000000000000000000"},
      {1234567.0f, "1234567"},
      {0.1234567f, "0.1234567"},
  };
  for (const Case& c : cases) EXPECT_EQ(NumberToText(c.value), c.text) << c.value;
}

TEST(NumberText, EveryTextReadsBackAsTheSameSingle) {
  // Seven digits are not always enough; the shortest text that reads back is used instead.
  const float values[] = {16777217.0f,
                          0.1f,
                          1.0f / 3,
                          3.4028235e38f,
                          -1.17549435e-38f,
                          1e-45f,
                          8388609.0f,
                          0.30000001f,
                          std::nextafter(1.0f, 2.0f)};
  for (float v : values) {
    const std::string text = NumberToText(v);
    EXPECT_EQ(ParseNumber(text), v) << text;
    EXPECT_TRUE(IsWholeNumber(text)) << text;
    EXPECT_EQ(text.find('e'), std::string::npos) << text;
  }
  uint32_t bits = 0x3f800000;  // walk many singles across the range
  for (int i = 0; i < 20000; ++i, bits = bits * 1664525u + 1013904223u) {
    float v;
    std::memcpy(&v, &bits, sizeof v);
    if (!std::isfinite(v)) continue;
    EXPECT_EQ(ParseNumber(NumberToText(v)), v == 0 ? 0.0f : v) << NumberToText(v);
  }
}

TEST(NumberText, WholeNumberCheck) {
  struct Case {
    const char* text;
    bool whole;
  } cases[] = {{"5", true},      {"-0.5", true},  {"+3", true},   {"1e3", true},  {".5", true},
               {"5.", true},     {"", false},     {"abc", false}, {"1 2", false}, {"1,2", false},
               {"12abc", false}, {"1e39", false}, {"-", false},   {" 5", false},  {"1e", false},
               {"1e-50", false}, {"0e-50", true}, {"1e-45", true}};
  for (const Case& c : cases) EXPECT_EQ(IsWholeNumber(c.text), c.whole) << c.text;
}

TEST(NumberText, ShortestTextForReports) {
  EXPECT_EQ(ShortestText(609), "609");
  EXPECT_EQ(ShortestText(-17.5f), "-17.5");
  EXPECT_EQ(ShortestText(0.1f), "0.1");
  EXPECT_EQ(ParseNumber(ShortestText(1e30f)), 1e30f);
}

TEST(SettingsWrite, WritesBothLinesAndReplacesTheOldFile) {
  TempDir dir;
  const std::string path = dir / "zorvane.ini";
  test::WriteFile(path, "old content that is longer than the new one ....................");
  const PlayerTexts d = Texts({"5", "0.5", "30", "15", "10", "100"});
  WriteSettingsFile(path, d, d);
  EXPECT_EQ(test::ReadFile(path), test::DefaultSettingsText());
}

TEST(SettingsWrite, ReadOnlyFileIsLeftAlone) {
  TempDir dir;
  const std::string path = dir / "zorvane.ini";
  test::WriteFile(path, "1 2 3 4 5 6 7 8 9 10 11 12");
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  const PlayerTexts d = Texts({"5", "0.5", "30", "15", "10", "100"});
  EXPECT_THROW(WriteSettingsFile(path, d, d), RuntimeError);
  EXPECT_EQ(test::ReadFile(path), "1 2 3 4 5 6 7 8 9 10 11 12");
}

TEST(SettingsWrite, FailureLeavesNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir / "missing-dir/zorvane.ini";
  const PlayerTexts d = Texts({"5", "0.5", "30", "15", "10", "100"});
  EXPECT_THROW(WriteSettingsFile(path, d, d), RuntimeError);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

// A save killed between naming its new file and renaming it leaves
// ".<file>.zorvane-save-<pid>-<16 hex digits>" behind. The next save removes those of processes
// that are gone, and nothing else: no name a person or another program would choose.
TEST(SettingsWrite, NextSaveRemovesWhatKilledSavesLeft) {
  const std::string ours = ".zorvane.ini.zorvane-save-";
  const std::string gone = std::to_string(test::GonePid());
  const std::string running = std::to_string(getppid());
  struct Case {
    std::string name;
    bool removed;
  } cases[] = {{ours + gone + "-0123456789abcdef", true},
               {ours + gone + "-fedcba9876543210", true},
               {ours + running + "-0123456789abcdef", false},  // perhaps saving right now
               {"zorvane.ini.2024-05", false},
               {"zorvane.ini.20231231-1", false},
               {"zorvane.ini." + gone + "-0", false},
               {"zorvane.ini.backup", false},
               {ours + gone, false},
               {ours + gone + "-0123456789abcde", false},
               {ours + gone + "-0123456789abcdef0", false},
               {ours + gone + "-0123456789ABCDEF", false},
               {ours + gone + "-0123456789abcdef.bak", false},
               {ours + "-0123456789abcdef", false},
               {ours.substr(1) + gone + "-0123456789abcdef", false},
               {".other.ini.zorvane-save-" + gone + "-0123456789abcdef", false}};
  TempDir dir;
  for (const Case& c : cases) test::WriteFile(dir / c.name, "left");
  std::filesystem::create_directory(dir / (ours + gone + "-00000000000000aa"));
  const PlayerTexts d = Texts({"5", "0.5", "30", "15", "10", "100"});
  WriteSettingsFile(dir / "zorvane.ini", d, d);
  for (const Case& c : cases)
    EXPECT_EQ(!std::filesystem::exists(dir / c.name), c.removed) << c.name;
  EXPECT_TRUE(std::filesystem::is_directory(dir / (ours + gone + "-00000000000000aa")));
  EXPECT_EQ(test::ReadFile(dir / "zorvane.ini"), test::DefaultSettingsText());
}

TEST(ProgramDirectory, NamesAreAppendedWithNativeSeparators) {
  EXPECT_EQ(InDirectory("/opt/zorvane", "\\bg.bmp"), "/opt/zorvane/bg.bmp");
  EXPECT_EQ(InDirectory("/opt/zorvane", "/bang.wav"), "/opt/zorvane/bang.wav");
  const std::string dir = ProgramDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_NE(dir.back(), '/');
}

// The layout rule and where each layout keeps the settings, in a temporary tree standing for
// the file system: "usr/games" has "usr/share/games/zorvane" beside it, "app" has nothing.
// Where a system install finds no settings file, the first start copies the packaged one, and
// nothing else in the tree changes.
TEST(FileLayout, RuleAndSettingsPath) {
  const std::optional<std::string> kUnset;
  const struct {
    const char* name;
    const char* programDirectory;
    std::optional<std::string> home;
    std::optional<std::string> configHome;
    const char* dataDirectory;  // nullptr: the layout cannot be found
    const char* settingsPath;
  } kCases[] = {
      {"portable", "app", "home", kUnset, "app", "app/zorvane.ini"},
      {"portable needs no home", "app", kUnset, kUnset, "app", "app/zorvane.ini"},
      {"system, XDG_CONFIG_HOME unset", "usr/games", "home", kUnset, "usr/share/games/zorvane",
       "home/.config/zorvane/zorvane.ini"},
      {"system, XDG_CONFIG_HOME set", "usr/games", "home", "/xdg", "usr/share/games/zorvane",
       "xdg/zorvane/zorvane.ini"},
      {"system, XDG_CONFIG_HOME relative", "usr/games", "home", "xdg", "usr/share/games/zorvane",
       "home/.config/zorvane/zorvane.ini"},
      {"system, XDG_CONFIG_HOME empty", "usr/games", "home", "", "usr/share/games/zorvane",
       "home/.config/zorvane/zorvane.ini"},
      {"system, XDG_CONFIG_HOME without HOME", "usr/games", kUnset, "/xdg",
       "usr/share/games/zorvane", "xdg/zorvane/zorvane.ini"},
      {"system, no HOME", "usr/games", kUnset, kUnset, nullptr, nullptr},
      {"system, empty HOME", "usr/games", "", "xdg", nullptr, nullptr},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDir root;
    const std::string packaged = root / "usr/share/games/zorvane/zorvane.ini";
    std::filesystem::create_directories(root / "app");
    std::filesystem::create_directories(root / "usr/games");
    std::filesystem::create_directories(root / "usr/share/games/zorvane");
    test::WriteFile(packaged, test::DefaultSettingsText());
    test::WriteFile(root / "app/zorvane.ini", "portable");
    const auto inRoot = [&](const std::optional<std::string>& path) -> std::optional<std::string> {
      if (!path || path->empty() || path->front() != '/') return path;
      return root.path() + *path;
    };
    UserEnvironment user{c.home ? std::optional(root / *c.home) : c.home, inRoot(c.configHome)};
    if (c.home && c.home->empty()) user.home = "";

    const std::string program = root / c.programDirectory;
    if (c.dataDirectory == nullptr) {
      try {
        FindFileLayout(program, user);
        ADD_FAILURE() << "no error without a home";
      } catch (const RuntimeError& e) {
        EXPECT_NE(std::string(e.what()).find("HOME is not set"), std::string::npos) << e.what();
      }
      continue;
    }
    const FileLayout layout = FindFileLayout(program, user);
    EXPECT_EQ(layout.programDirectory, program);
    EXPECT_EQ(layout.dataDirectory, root / c.dataDirectory);
    EXPECT_EQ(layout.settingsPath, root / c.settingsPath);
    const bool system = std::string(c.programDirectory) != "app";
    EXPECT_EQ(layout.defaultSettingsPath, system ? packaged : "");

    CreateMissingSettings(layout);
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root.path())) {
      if (entry.is_regular_file()) files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    std::vector<std::string> expected = {root / "app/zorvane.ini", packaged};
    if (system) expected.push_back(layout.settingsPath);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(files, expected);
    EXPECT_EQ(test::ReadFile(layout.settingsPath),
              system ? test::DefaultSettingsText() : "portable");
  }
}

// A user's own file is never replaced by the default, and a place where none can be made is
// named in the error.
TEST(FileLayout, UserSettingsAreKeptAndFailuresNameThePath) {
  TempDir root;
  std::filesystem::create_directories(root / "usr/games");
  std::filesystem::create_directories(root / "usr/share/games/zorvane");
  test::WriteFile(root / "usr/share/games/zorvane/zorvane.ini", test::DefaultSettingsText());

  const FileLayout kept = FindFileLayout(root / "usr/games", {root / "home", std::nullopt});
  std::filesystem::create_directories(root / "home/.config/zorvane");
  test::WriteFile(kept.settingsPath, "1 2 3 4 5 6 7 8 9 10 11 12");
  CreateMissingSettings(kept);
  EXPECT_EQ(test::ReadFile(kept.settingsPath), "1 2 3 4 5 6 7 8 9 10 11 12");

  // A file where the configuration directory should be: no permission bits stop root too.
  test::WriteFile(root / "blocked", "");
  const FileLayout blocked = FindFileLayout(root / "usr/games", {root / "home", root / "blocked"});
  try {
    CreateMissingSettings(blocked);
    ADD_FAILURE() << "no error";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot create directory " + root / "blocked/zorvane" + ": Not a directory");
  }

  std::filesystem::remove(root / "usr/share/games/zorvane/zorvane.ini");
  const FileLayout noDefault = FindFileLayout(root / "usr/games", {root / "other", std::nullopt});
  try {
    CreateMissingSettings(noDefault);
    ADD_FAILURE() << "no error";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::FileNotFound);
    EXPECT_EQ(std::string(e.what()),
              "File not found: " + root / "usr/share/games/zorvane/zorvane.ini");
  }
}

}  // namespace
}  // namespace zorvane
