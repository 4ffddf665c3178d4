#include "help/UnitInternetShortcut.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

TEST(InternetShortcut, FindsUrlInItsSectionWhateverTheLineEnds) {
  EXPECT_EQ(InternetShortcutUrl("[InternetShortcut]\r\nURL=https://a.example/x\r\n"), "https://a.example/x");
  EXPECT_EQ(InternetShortcutUrl("[InternetShortcut]\nURL=https://a.example/\n"), "https://a.example/");
  EXPECT_EQ(InternetShortcutUrl("[InternetShortcut]\rURL=https://a.example/\r"), "https://a.example/");
  // Case of section and key does not matter; blanks around key and value are dropped.
  EXPECT_EQ(InternetShortcutUrl("[internetshortcut]\n  url = http://b.example/p?q=1 \n"),
            "http://b.example/p?q=1");
}

TEST(InternetShortcut, IgnoresOtherSectionsAndTakesTheFirstUrl) {
  EXPECT_EQ(InternetShortcutUrl("[Other]\nURL=http://wrong.example/\n[InternetShortcut]\n"
                                "IconIndex=0\nURL=http://right.example/\nURL=http://later.example/\n"),
            "http://right.example/");
  EXPECT_EQ(InternetShortcutUrl("[InternetShortcut]\n[Other]\nURL=http://wrong.example/\n"), "");
  EXPECT_EQ(InternetShortcutUrl("URL=http://no-section.example/\n"), "");
  EXPECT_EQ(InternetShortcutUrl("[InternetShortcut]\nURLX=http://a.example/\nURL\n"), "");
  EXPECT_EQ(InternetShortcutUrl(""), "");
  EXPECT_EQ(InternetShortcutUrl(std::string("\0\xff[\n=\n", 6)), "");
}

TEST(InternetShortcut, OnlyWebAddressesAreOpened) {
  EXPECT_TRUE(IsWebAddress("https://www.corvantis.example/sonarvex"));
  EXPECT_TRUE(IsWebAddress("HTTP://a.example"));
  EXPECT_FALSE(IsWebAddress("https://"));
  EXPECT_FALSE(IsWebAddress("file:///etc/passwd"));
  EXPECT_FALSE(IsWebAddress("javascript:alert(1)"));
  EXPECT_FALSE(IsWebAddress("/usr/bin/xterm"));
  EXPECT_FALSE(IsWebAddress("http://a.example/ x"));
  EXPECT_FALSE(IsWebAddress(std::string("http://a.example/\n", 18)));
  EXPECT_FALSE(IsWebAddress(""));
}

TEST(InternetShortcut, FileThatIsMissingOrTooLargeGivesNothing) {
  const auto dir = std::filesystem::temp_directory_path() / ("sonarvex-url-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto file = dir / "INFO.URL";
  EXPECT_EQ(ReadInternetShortcutUrl(file.string()), "");
  {
    std::ofstream out(file, std::ios::binary);
    out << "[InternetShortcut]\r\nURL=https://www.corvantis.example/sonarvex\r\n";
  }
  EXPECT_EQ(ReadInternetShortcutUrl(file.string()), "https://www.corvantis.example/sonarvex");
  {
    std::ofstream out(file, std::ios::binary);
    out << "[InternetShortcut]\nURL=https://a.example/\n" << std::string(1 << 20, 'x');
  }
  EXPECT_EQ(ReadInternetShortcutUrl(file.string()), "");
  EXPECT_EQ(ReadInternetShortcutUrl(dir.string()), "");
  std::filesystem::remove_all(dir);
}

}  // namespace
