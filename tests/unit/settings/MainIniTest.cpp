#include "app/UnitMainIni.h"

#include <gtest/gtest.h>

#include "SettingsTestSupport.h"

namespace {

TEST(IniInteger, DecimalHexAndEverythingElseMissing) {
  EXPECT_EQ(ParseIniInteger("42"), 42);
  EXPECT_EQ(ParseIniInteger(" -7 "), -7);
  EXPECT_EQ(ParseIniInteger("+3"), 3);
  EXPECT_EQ(ParseIniInteger("0x1F"), 31);
  EXPECT_EQ(ParseIniInteger("0XfF"), 255);
  EXPECT_EQ(ParseIniInteger("-0x10"), -16);
  EXPECT_EQ(ParseIniInteger("2147483647"), 2147483647);
  EXPECT_EQ(ParseIniInteger("-2147483648"), -2147483647 - 1);
  for (const char* bad : {"", " ", "-", "0x", "12a", "1 2", "1.5", "abc", "2147483648", "-2147483649",
                          "0x80000000", "99999999999999999999999", "$10", "0b1"}) {
    EXPECT_FALSE(ParseIniInteger(bad)) << bad;
  }
}

TEST(IniFile, ReadsCaseInsensitiveFirstKeyAndKeepsEverythingOnWrite) {
  auto ini = TIniFile::Parse(
      "; comment\n[Other]\nLEFT=5\nUnknown=keep me\n\n[mainwindow]\n left = 0x10 \nLEFT=99\nCUSTOM=1\n\n[Last]\nx=y");
  EXPECT_EQ(ini.ReadInteger("MAINWINDOW", "LEFT"), 16);
  EXPECT_EQ(ini.ReadInteger("Other", "left"), 5);
  EXPECT_EQ(ini.ReadString("Other", "Unknown"), "keep me");
  EXPECT_FALSE(ini.ReadString("MAINWINDOW", "TOP"));
  EXPECT_FALSE(ini.ReadString("Missing", "LEFT"));
  ini.WriteInteger("MAINWINDOW", "LEFT", -3);
  ini.WriteInteger("MAINWINDOW", "TOP", 7);
  ini.WriteBool("New", "FLAG", true);
  EXPECT_EQ(ini.Text(),
            "; comment\r\n[Other]\r\nLEFT=5\r\nUnknown=keep me\r\n\r\n[mainwindow]\r\nLEFT=-3\r\nLEFT=99\r\n"
            "CUSTOM=1\r\nTOP=7\r\n\r\n[Last]\r\nx=y\r\n[New]\r\nFLAG=1\r\n");
}

TEST(IniFile, WrittenLineBreaksCannotStartNewKeys) {
  TIniFile ini;
  ini.WriteString("S", "K", "a\r\n[X]\nB=1");
  EXPECT_EQ(ini.Text(), "[S]\r\nK=a  [X] B=1\r\n");
  EXPECT_FALSE(ini.ReadString("X", "B"));
}

TEST(MainWindowSettings, FirstRunGivesEveryDefault) {
  TScratchProgramFolder dir;
  const auto s = LoadMainWindowSettings(MainIniFile());
  EXPECT_FALSE(s.Left || s.Top || s.Width || s.Height || s.ExplorerWidth || s.PagesHeight);
  EXPECT_FALSE(s.WindowState);
  EXPECT_TRUE(s.Toolbar && s.StatusBar && s.ExplorerBar);
  EXPECT_EQ(s.ListViewStyle, TListViewStyle::Details);
  EXPECT_FALSE(s.Subfolders);
}

TEST(MainWindowSettings, ReadRulesForEveryKey) {
  const auto s = ReadMainWindowSettings(TIniFile::Parse(
      "[MAINWINDOW]\r\nLEFT=-20\r\nTOP=2147483647\r\nWIDTH=wide\r\nHEIGHT=0x200\r\nWINDOWSTATE=5\r\n"
      "TOOLBAR=0\r\nSTATUSBAR=7\r\nEXPLORERBAR=yes\r\nLISTVIEWSTYLE=7\r\nEXPLORERWIDTH=150\r\n"
      "PAGESHEIGHT=0x7FFFFFFF\r\nSUBFOLDERS=-1\r\n"));
  EXPECT_EQ(s.Left, -20);
  EXPECT_FALSE(s.Top);     // the missing marker
  EXPECT_FALSE(s.Width);   // not a number
  EXPECT_EQ(s.Height, 512);
  EXPECT_FALSE(s.WindowState);  // 5 is no state
  EXPECT_FALSE(s.Toolbar);
  EXPECT_TRUE(s.StatusBar);    // any non-zero integer
  EXPECT_TRUE(s.ExplorerBar);  // not a number: the default
  EXPECT_EQ(s.ListViewStyle, TListViewStyle::Details);
  EXPECT_EQ(s.ExplorerWidth, 150);
  EXPECT_FALSE(s.PagesHeight);
  EXPECT_TRUE(s.Subfolders);

  const auto icons = ReadMainWindowSettings(TIniFile::Parse("[MAINWINDOW]\nLISTVIEWSTYLE=0\nWINDOWSTATE=2"));
  EXPECT_EQ(icons.ListViewStyle, TListViewStyle::Icons);
  EXPECT_EQ(icons.WindowState, TWindowState::Maximized);
  EXPECT_EQ(ReadMainWindowSettings(TIniFile::Parse("[MAINWINDOW]\nLISTVIEWSTYLE=-1")).ListViewStyle,
            TListViewStyle::Details);
}

TMainWindowSettings NormalWindow() {
  TMainWindowSettings s;
  s.Left = 10;
  s.Top = 20;
  s.Width = 708;
  s.Height = 506;
  s.WindowState = TWindowState::Normal;
  s.Toolbar = false;
  s.ListViewStyle = TListViewStyle::List;
  s.ExplorerWidth = 177;
  s.PagesHeight = 184;
  s.Subfolders = true;
  return s;
}

TEST(MainWindowSettings, SaveWritesEveryKeyInOrderWithCrLf) {
  TScratchProgramFolder dir;
  SaveMainWindowSettings(MainIniFile(), NormalWindow());
  EXPECT_EQ(dir.Get("MAIN.INI"),
            "[MAINWINDOW]\r\nLEFT=10\r\nTOP=20\r\nWIDTH=708\r\nHEIGHT=506\r\nWINDOWSTATE=0\r\nTOOLBAR=0\r\n"
            "STATUSBAR=1\r\nEXPLORERBAR=1\r\nLISTVIEWSTYLE=2\r\nEXPLORERWIDTH=177\r\nPAGESHEIGHT=184\r\n"
            "SUBFOLDERS=1\r\n");
  const auto back = LoadMainWindowSettings(MainIniFile());
  EXPECT_EQ(back.Left, 10);
  EXPECT_EQ(back.Height, 506);
  EXPECT_EQ(back.WindowState, TWindowState::Normal);
  EXPECT_FALSE(back.Toolbar);
  EXPECT_EQ(back.ListViewStyle, TListViewStyle::List);
  EXPECT_TRUE(back.Subfolders);
}

TEST(MainWindowSettings, MaximisedCloseKeepsLastNormalPlacementAndOtherSections) {
  TScratchProgramFolder dir;
  dir.Put("MAIN.INI", "[Tools]\r\nPATH=/usr/bin\r\n");
  SaveMainWindowSettings(MainIniFile(), NormalWindow());
  auto maximised = NormalWindow();
  maximised.WindowState = TWindowState::Maximized;
  maximised.Left = 0;
  maximised.Width = 1920;
  SaveMainWindowSettings(MainIniFile(), maximised);
  const auto text = dir.Get("MAIN.INI");
  EXPECT_NE(text.find("WINDOWSTATE=2\r\n"), std::string::npos);
  EXPECT_EQ(text.find("WIDTH=1920"), std::string::npos);
  EXPECT_EQ(text.rfind("[Tools]\r\nPATH=/usr/bin\r\n", 0), 0u);
  const auto back = LoadMainWindowSettings(MainIniFile());
  EXPECT_EQ(back.WindowState, TWindowState::Maximized);
  EXPECT_EQ(back.Left, 10);
  EXPECT_EQ(back.Width, 708);
}

TEST(MainWindowSettings, UnwritableFileThrowsAndKeepsOldContent) {
  TScratchProgramFolder dir;
  std::filesystem::create_directory(dir.File("MAIN.INI"));
  dir.Put("MAIN.INI/inside", "x");
  EXPECT_THROW(SaveMainWindowSettings(MainIniFile(), NormalWindow()), EFileError);
  EXPECT_EQ(dir.Get("MAIN.INI/inside"), "x");
}

}  // namespace
