#include "reports/UnitReports.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "core/UnitTextFiles.h"
#include "id3/ID3Engine.h"
#include "info/InfoTestSupport.h"

namespace {

const TLocaleFormat& En = TLocaleFormat::English();

TStringList Lines(const TReportJob& job) {
  const std::string text = BuildReportText(job);
  EXPECT_TRUE(text.empty() || text.ends_with("\r\n"));
  return SplitTextLines(text);
}

struct TJoinCase {
  TStringList Fields;
  char Delimiter;
  std::string Expected;
};

TEST(DelimitedText, QuotingRule) {
  const TJoinCase cases[] = {
      {{}, ',', ""},
      {{""}, ',', "\"\""},
      {{"", ""}, ',', ","},
      {{"a", "b c", "d"}, ',', "a,\"b c\",d"},
      {{"1,5", "x"}, ',', "\"1,5\",x"},
      {{"1,5", "x"}, '\t', "1,5\tx"},
      {{"a\tb", "c"}, '\t', "\"a\tb\"\tc"},
      {{"say \"hi\"", "q\"q"}, '\t', "\"say \"\"hi\"\"\"\t\"q\"\"q\""},
      {{std::string("a\x01" "b"), "\xC3\xA9t\xC3\xA9"}, ',', "\"a\x01" "b\",\xC3\xA9t\xC3\xA9"},
  };
  for (const auto& c : cases) EXPECT_EQ(DelimitedText(c.Fields, c.Delimiter), c.Expected);
}

TEST(ReportHeader, LinesInOrderWithLocaleDateAndTime) {
  TLocaleFormat fmt = En;
  fmt.ShortDateFormat = "%d.%m.%Y";
  fmt.LongTimeFormat = "%H-%M-%S";
  std::tm tm{};
  tm.tm_year = 2024 - 1900;
  tm.tm_mon = 1;
  tm.tm_mday = 29;
  tm.tm_hour = 7;
  tm.tm_min = 5;
  tm.tm_sec = 9;
  tm.tm_isdst = -1;
  const TStringList header = BuildReportHeader({"/srv/a", "/srv/b"}, std::mktime(&tm), fmt);
  const TStringList expected{"Sonarvex Report", "", "Produced by Corvantis Sonarvex", "",
                             "Generated on 29.02.2024 at 07-05-09", "", "Locations to audit:",
                             "/srv/a", "/srv/b"};
  EXPECT_EQ(header, expected);
}

class Reports : public ::testing::Test {
 protected:
  std::string Song(const std::string& name, const std::vector<std::string>& frames) {
    const std::string path = dir.File(name);
    infotest::WriteBytes(path, infotest::Tag(frames) + infotest::Audio());
    return path;
  }
  TReportJob Job(int type, TStringList columns) {
    TReportJob job;
    job.Type = type;
    job.Header = {"Head & <tail>"};
    job.Files = &files;
    job.Columns = std::move(columns);
    job.Engine = &engine;
    job.Format = En;
    return job;
  }
  infotest::TempFolder dir;
  TID3Engine engine;
  TFoundFileList files;
};

TEST_F(Reports, NoFilesForEveryType) {
  const TStringList columns{"0NAM=File Name"};
  EXPECT_EQ(Lines(Job(0, columns)), (TStringList{"Head & <tail>", ""}));
  EXPECT_EQ(Lines(Job(1, columns)), (TStringList{"Head & <tail>"}));
  EXPECT_EQ(Lines(Job(3, columns)), (TStringList{"\"File Name\""}));
  EXPECT_EQ(Lines(Job(4, columns)), (TStringList{"\"File Name\""}));
  const TStringList html = Lines(Job(2, columns));
  const TStringList expected{
      "<html>", "<head>", "<meta charset=\"utf-8\">", "<title>Report</title>", "</head>",
      "<body bgcolor=\"#FFFFFF\">", "<font size=\"2\" face=\"Arial\">",
      "Head &amp; &lt;tail&gt;<br>", "<br></font>",
      "<table border=\"1\" cellpadding=\"10\" cellspacing=\"0\" width=\"100%\">", "<tr>",
      "<td nowrap><font size=\"2\" face=\"Arial\"><strong>File Name</strong></font></td>", "</tr>",
      "</table>", "</body>", "</html>"};
  EXPECT_EQ(html, expected);
  EXPECT_TRUE(Lines(Job(5, columns)).empty());
}

TEST_F(Reports, EmptyColumnListGivesEmptyRows) {
  files = {{Song("a.mp3", {}), 0}, {Song("b.mp3", {}), 0}};
  EXPECT_EQ(Lines(Job(1, {})), (TStringList{"Head & <tail>", "", ""}));
  EXPECT_EQ(Lines(Job(3, {})), (TStringList{"", "", ""}));
  EXPECT_EQ(Lines(Job(4, {})), (TStringList{"", "", ""}));
  const TStringList html = Lines(Job(2, {}));
  const TStringList tail(html.end() - 9, html.end());
  EXPECT_EQ(tail, (TStringList{"<tr>", "</tr>", "<tr>", "</tr>", "<tr>", "</tr>", "</table>",
                               "</body>", "</html>"}));
}

TEST_F(Reports, ValuesQuotedEscapedOrLeftOut) {
  const std::string path = Song("x.mp3", {infotest::TextFrame("TIT2", "Hi, \"you\""),
                                          infotest::TextFrame("TPE1", "</td><script>x</script>")});
  files = {{path, 0}};
  const TStringList columns{"TIT2=Title", "TPE1=Lead", "TALB=Album", "1XYZ=Unknown"};
  EXPECT_EQ(Lines(Job(3, columns)).back(), "\"Hi, \"\"you\"\"\",</td><script>x</script>,");
  EXPECT_EQ(Lines(Job(4, columns)).back(), "\"Hi, \"\"you\"\"\"\t</td><script>x</script>\t");
  EXPECT_EQ(Lines(Job(1, columns)),
            (TStringList{"Head & <tail>", "", "Title: Hi, \"you\"", "Lead: </td><script>x</script>"}));
  const TStringList html = Lines(Job(2, columns));
  const TStringList row(html.end() - 8, html.end() - 3);
  EXPECT_EQ(row, (TStringList{
                     "<tr>", "<td nowrap><font size=\"2\" face=\"Arial\">Hi, &quot;you&quot;</font></td>",
                     "<td nowrap><font size=\"2\" face=\"Arial\">&lt;/td&gt;&lt;script&gt;x&lt;/script&gt;</font></td>",
                     "<td nowrap><font size=\"2\" face=\"Arial\">&nbsp;</font></td>", "</tr>"}));
}

TEST_F(Reports, FileThatCannotBeReadAddsNothingAndEventsRunPerFile) {
  // A compressed frame that is no zlib stream: the tag cannot be read.
  const std::string damaged =
      Song("bad.mp3", {infotest::Frame("TIT2", infotest::SyncSafe(100) + "not a zlib stream", '\x09')});
  files = {{damaged, 0}, {Song("ok.mp3", {}), 0}};
  TReportJob job = Job(3, {"0NAM=Name"});
  int calls = 0;
  job.LetEventsRun = [&calls] { ++calls; };
  const TStringList lines = Lines(job);
  EXPECT_EQ(calls, 2);
  ASSERT_EQ(lines.size(), 3U);
  EXPECT_EQ(lines[2], "ok.mp3");
}

// Long reports are read on several threads: the rows still come in the list's order, and every
// thread reads with the job engine's settings (here: a tag found after leading bytes).
TEST_F(Reports, RowsKeepTheListOrderWhateverThreadReadThem) {
  engine.SetFullID3TagSeek(true);
  TStringList expected{"Name,Title"};
  for (int i = 0; i < 300; ++i) {
    const std::string name = "song" + std::to_string(i) + ".dat";  // no container reader finds the tag
    const std::string path = dir.File(name);
    const std::string junk = i % 7 == 0 ? "junk!" : "";
    infotest::WriteBytes(path, junk + infotest::Tag({infotest::TextFrame("TIT2", "t" + std::to_string(i))}) + infotest::Audio());
    files.push_back({path, 0});
    expected.push_back(name + ",t" + std::to_string(i));
  }
  EXPECT_EQ(Lines(Job(3, {"0NAM=Name", "TIT2=Title"})), expected);
  // Written to a file, blocks handed on lend their room to later ones; the copy grows with it.
  const std::string out = dir.File("REPORT.TXT");
  const std::string copy = dir.File("copy.txt");
  std::string failure = "not yet";
  ASSERT_TRUE(WriteReportFile(Job(3, {"0NAM=Name", "TIT2=Title"}), out, copy, &failure));
  EXPECT_EQ(ReadTextLines(out), expected);
  EXPECT_EQ(failure, "");
  EXPECT_EQ(ReadWholeFile(copy), ReadWholeFile(out));

  // The file is written while the rows are read: a write failing then tells its own error and
  // keeps the file it would have replaced.
  infotest::WriteBytes(out, "older");
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  const sighandler_t oldSignal = ::signal(SIGXFSZ, SIG_IGN);
  rlimit lower = old;
  lower.rlim_cur = 3000;
  ::setrlimit(RLIMIT_FSIZE, &lower);
  std::string error;
  try {
    WriteReportFile(Job(3, {"0NAM=Name", "TIT2=Title"}), out);
  } catch (const EFileError& e) {
    error = e.what();
  }
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, oldSignal);
  EXPECT_NE(error.find(std::strerror(EFBIG)), std::string::npos) << error;
  EXPECT_EQ(ReadWholeFile(out), "older");
}

TEST_F(Reports, LargeFilesAndLinksAsInTheList) {
  const std::string big = dir.File("big.mp3");
  infotest::WriteBytes(big, "");
  ASSERT_EQ(::truncate(big.c_str(), 5LL * 1024 * 1024 * 1024), 0);
  const std::string link = dir.File(".link.mp3");
  ASSERT_EQ(::symlink(big.c_str(), link.c_str()), 0);
  files = {{big, 0}, {link, 0}};
  const TStringList lines = Lines(Job(4, {"0FUL=Path", "0SIZ=Size", "0ATT=Attributes"}));
  ASSERT_EQ(lines.size(), 3U);
  EXPECT_EQ(lines[1], big + "\t\"5.00 GB\"\t");
  EXPECT_EQ(lines[2], link + "\t\"5.00 GB\"\tHidden");
}

TEST_F(Reports, FileEndsEveryLineWithCrLfAndFailureKeepsTheOldFile) {
  files = {{Song("a.mp3", {}), 0}};
  const std::string out = dir.File("REPORT.TXT");
  ASSERT_TRUE(WriteReportFile(Job(0, {}), out));
  EXPECT_EQ(ReadWholeFile(out), "Head & <tail>\r\n\r\n" + files[0].Path + "\r\n");
  EXPECT_FALSE(WriteReportFile(Job(7, {}), out));
  EXPECT_THROW(WriteReportFile(Job(0, {}), dir.File("missing/REPORT.TXT")), EFileError);
  EXPECT_EQ(ReadWholeFile(out), "Head & <tail>\r\n\r\n" + files[0].Path + "\r\n");
  // The report is written while it is built: whatever stops the building leaves no temporary.
  TReportJob stopped = Job(3, {"0NAM=Name"});
  stopped.LetEventsRun = [] { throw std::runtime_error("stopped"); };
  EXPECT_THROW(WriteReportFile(stopped, out), std::runtime_error);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);  // a.mp3, REPORT.TXT

  // The copy for the user replaces an existing file, or leaves it alone when it cannot be made;
  // either way the report itself is written.
  const std::string copy = dir.File("copy.txt");
  infotest::WriteBytes(copy, "older and longer than the report itself, by far");
  ::chmod(copy.c_str(), 0600);
  std::string failure = "not yet";
  ASSERT_TRUE(WriteReportFile(Job(0, {}), out, copy, &failure));
  EXPECT_EQ(failure, "");
  EXPECT_EQ(ReadWholeFile(copy), ReadWholeFile(out));
  struct stat st {};
  ASSERT_EQ(::stat(copy.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600U);
  ::unlink(out.c_str());
  ASSERT_TRUE(WriteReportFile(Job(0, {}), out, dir.File("a.mp3/copy.txt"), &failure));
  EXPECT_NE(failure.find("Cannot create file"), std::string::npos) << failure;
  EXPECT_EQ(ReadWholeFile(copy), ReadWholeFile(out));
  // A report that cannot be written makes no copy either.
  EXPECT_THROW(WriteReportFile(Job(0, {}), dir.File("missing/REPORT.TXT"), copy, &failure), EFileError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3);  // a.mp3, REPORT.TXT, copy.txt
}

}  // namespace
