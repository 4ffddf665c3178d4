// Random and hostile bytes through every settings reader: each must come back with a result
// (or EFileError where that is its contract), never crash, hang or read out of bounds. The seed
// is fixed so that a failure repeats.
#include "app/UnitMainIni.h"
#include "info/UnitColumnConfig.h"
#include "reports/UnitCustomHistory.h"
#include "scan/UnitCustomLocations.h"
#include "scan/UnitFileTypes.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "SettingsTestSupport.h"

namespace {

using namespace std::string_literals;

constexpr int Rounds = 600;

// Bytes weighted towards the characters the readers care about.
std::string RandomText(std::mt19937& random) {
  static const std::string interesting = "=\"\r\n,[];01x-+ \t\0\xff\xc3USEDNOT0FUL"s;
  std::uniform_int_distribution<int> length(0, 600), pick(0, 3), byte(0, 255);
  std::uniform_int_distribution<std::size_t> special(0, interesting.size() - 1);
  std::string text(static_cast<std::size_t>(length(random)), '\0');
  for (char& c : text) {
    c = pick(random) == 0 ? static_cast<char>(byte(random)) : interesting[special(random)];
  }
  return text;
}

// Inputs that every reader must survive besides the random ones.
std::vector<std::string> HostileInputs() {
  return {"",
          std::string(3u * 1024u * 1024u, 'A'),          // one enormous line
          std::string(200000, '\n'),                      // very many empty lines
          std::string(100000, '='),
          "[MAINWINDOW]\r\n" + std::string(100000, '[') + "\r\nLEFT=" + std::string(5000, '9'),
          std::string("\0\0\0\xff\xfe", 5),
          "\xef\xbb\xbf" "1MP3=\".MP3\"\r\n"};
}

void RunReader(const std::string& name, const std::function<void(const std::string&)>& reader) {
  TScratchProgramFolder dir;
  std::mt19937 random(20261208u);
  auto feed = [&](const std::string& content) {
    dir.Put(name, content);
    try {
      reader(dir.File(name));
    } catch (const EFileError&) {
      // Allowed: the reader's contract for a file it cannot use.
    }
  };
  for (const auto& input : HostileInputs()) feed(input);
  for (int i = 0; i < Rounds; ++i) feed(RandomText(random));
}

TEST(ReaderFuzz, FileTypes) {
  RunReader("EXTENSIO.CFG", [](const std::string& path) {
    const auto groups = LoadFileTypes(path);
    for (const auto& g : groups) {
      EXPECT_FALSE(g.Name.empty());
      EXPECT_EQ(g.Name.find('='), std::string::npos);
      SplitExtensionsText(g.Extensions);
    }
    if (groups.empty()) {
      EXPECT_EQ(BuildScanFilter(groups), std::string(DefaultScanFilter));
    }
  });
}

TEST(ReaderFuzz, ExtensionsTextRoundTrip) {
  std::mt19937 random(7u);
  for (int i = 0; i < Rounds * 4; ++i) {
    const auto lines = SplitExtensionsText(RandomText(random));
    for (const auto& line : lines) EXPECT_FALSE(line.empty());
    JoinExtensionLines(lines);
  }
}

TEST(ReaderFuzz, CustomLocations) {
  RunReader("CUSTTARG.CFG", [](const std::string& path) {
    for (const auto& location : LoadCustomLocationsOrEmpty(path)) EXPECT_FALSE(location.empty());
  });
}

TEST(ReaderFuzz, CustomHistory) {
  RunReader("CUSTHIST.CFG", [](const std::string& path) {
    const auto entries = LoadCustomHistory(path);
    for (std::size_t i = 0; i < entries.size() && i < 50; ++i) {
      EXPECT_FALSE(entries[i].empty());
      for (std::size_t j = 0; j < i; ++j) EXPECT_FALSE(SameTextAscii(entries[i], entries[j]));
    }
  });
}

TEST(ReaderFuzz, MainIni) {
  RunReader("MAIN.INI", [](const std::string& path) {
    const auto s = LoadMainWindowSettings(path);
    EXPECT_LT(s.Left.value_or(0), MissingIniValue);
    EXPECT_LE(static_cast<int>(s.ListViewStyle), 3);
    // A save on top of whatever was there must still read back.
    TMainWindowSettings normal;
    normal.WindowState = TWindowState::Normal;
    normal.Left = 1;
    SaveMainWindowSettings(path, normal);
    EXPECT_EQ(LoadMainWindowSettings(path).Left, 1);
  });
}

TEST(ReaderFuzz, ColumnConfiguration) {
  RunReader("Default.itc", [](const std::string& path) {
    TStringList used, unused;
    LoadColumnConfiguration(path, used, unused);
    for (const auto& line : used) EXPECT_FALSE(line.empty());
  });
}

}  // namespace
