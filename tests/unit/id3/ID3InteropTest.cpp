// Tags written by a widely used tagger (python3-mutagen, made at test time) read correctly, and
// tags this engine writes read correctly there. Skipped where mutagen is not installed.

#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "ID3TestSupport.h"
#include "id3/ID3Dump.h"

using namespace id3test;

namespace {

constexpr const char* Python = "/usr/bin/python3";

bool MutagenAvailable() {
  return std::system("/usr/bin/python3 -c 'import mutagen.id3' >/dev/null 2>&1") == 0;
}

std::string Capture(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  std::string out;
  char buffer[4096];
  std::size_t got;
  while (pipe && (got = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0) out.append(buffer, got);
  return out;
}

class ID3InteropTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    if (!MutagenAvailable()) GTEST_SKIP() << "python3-mutagen is not installed";
  }
  // Tags path with mutagen at the given version: UTF-8 / UTF-16 texts, a comment, lyrics,
  // user-defined text and URL, a recording time (a year for version 3), a 3000-byte picture, a
  // 300-character text and a URL.
  void TagWithMutagen(const std::string& path, int version) {
    const std::string script =
        "import sys\n"
        "from mutagen.id3 import ID3, TIT2, TPE1, TALB, TIT3, COMM, APIC, WOAR, TXXX, USLT, WXXX, TDRC, Encoding\n"
        "t = ID3()\n"
        "enc = Encoding.UTF8 if sys.argv[2] == '4' else Encoding.UTF16\n"
        "t.add(TIT2(encoding=enc, text='T\\u00eftle \\u266b'))\n"
        "t.add(TPE1(encoding=Encoding.LATIN1, text='Artist'))\n"
        "t.add(TALB(encoding=enc, text='A' * 300))\n"
        "t.add(TIT3(encoding=Encoding.UTF16, text='Sub'))\n"
        "t.add(COMM(encoding=enc, lang='eng', desc='d', text='Nice'))\n"
        "t.add(APIC(encoding=Encoding.LATIN1, mime='image/png', type=3, desc='c', data=bytes(range(256)) * 12))\n"
        "t.add(WOAR(url='http://example.org/a'))\n"
        "t.add(TXXX(encoding=enc, desc='Key', text='Value'))\n"
        "t.add(USLT(encoding=enc, lang='eng', desc='v', text='Line one\\nline tw\\u00f6'))\n"
        "t.add(WXXX(encoding=enc, desc='Home', url='http://example.org/w'))\n"
        "t.add(TDRC(encoding=enc, text='2004-05-06'))\n"
        "t.save(sys.argv[1], v2_version=int(sys.argv[2]))\n";
    const std::string scriptPath = Write("tag.py", script);
    ASSERT_EQ(std::system((std::string(Python) + " '" + scriptPath + "' '" + path + "' " + std::to_string(version)).c_str()), 0);
  }
  void ExpectMutagenTag() {
    EXPECT_EQ(engine.Title(), "T\xC3\xAFtle \xE2\x99\xAB");
    EXPECT_EQ(engine.Artist(), "Artist");
    EXPECT_EQ(engine.Album(), std::string(300, 'A'));
    EXPECT_EQ(engine.SubTitle(), "Sub");
    EXPECT_EQ(engine.Frames().FindFrame("WOAR")->AsText(), "http://example.org/a");
    ASSERT_NE(engine.Frames().FindFrame("APIC"), nullptr);
    EXPECT_EQ(engine.Frames().FindFrame("APIC")->DataSize(), 1 + 10 + 1 + 2 + 3072u);
  }
};

TEST_F(ID3InteropTest, ReadsVersion4AndVersion3TagsWrittenByMutagen) {
  for (int version : {4, 3}) {
    const std::string path = Write("v" + std::to_string(version) + ".mp3", Audio(2000));
    TagWithMutagen(path, version);
    engine.SetFileName(path);
    engine.SetActive(true);
    EXPECT_EQ(engine.Header().VersionNumber(), version);
    ExpectMutagenTag();
    engine.SetActive(false);
  }
}

// id3dump's records of the comment-like frames and of the year say what mutagen reads.
TEST_F(ID3InteropTest, DumpAgreesWithMutagenOnCommentsLyricsUserFramesAndYear) {
  for (int version : {4, 3}) {
    const std::string path = Write("d" + std::to_string(version) + ".mp3", Audio(500));
    TagWithMutagen(path, version);
    const std::string reader = Write("read.py",
        "import sys\n"
        "from mutagen.id3 import ID3\n"
        "t = ID3(sys.argv[1])\n"
        "year = t.get('TDRC') or t.get('TYER')\n"
        "values = [('COMM', t.getall('COMM')[0].text[0]), ('USLT', t.getall('USLT')[0].text),\n"
        "          ('TXXX', t.getall('TXXX')[0].text[0]), ('WXXX', t.getall('WXXX')[0].url),\n"
        "          ('Year', str(year.text[0])[:4])]\n"
        "for name, value in values:\n"
        "    print(name + '\\t' + value.replace('\\\\', '\\\\\\\\').replace('\\n', '\\\\n'))\n");
    const std::string theirs = Capture(std::string(Python) + " '" + reader + "' '" + path + "' 2>&1");
    std::map<std::string, std::string> ours;
    std::istringstream dump(DumpID3File(engine, path));
    for (std::string line; std::getline(dump, line);) {
      std::vector<std::string> fields;
      for (std::size_t start = 0, tab;; start = tab + 1) {
        tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) break;
      }
      if (fields[0] == "FRAME") ours.try_emplace(fields[2], fields.back());
      if (fields[0] == "PROP" && fields[1] == "Year") ours["Year"] = fields[2];
    }
    const std::string mine = "COMM\t" + ours["COMM"] + "\nUSLT\t" + ours["USLT"] + "\nTXXX\t" + ours["TXXX"] +
                             "\nWXXX\t" + ours["WXXX"] + "\nYear\t" + ours["Year"] + "\n";
    EXPECT_EQ(mine, theirs) << "version " << version;
    EXPECT_EQ(ours["Year"], "2004");
    EXPECT_EQ(ours["USLT"], "Line one\\nline tw\xC3\xB6");
  }
}

// A hand-built version 2 tag: mutagen, which maps version 2 frames to later ones itself, reads
// the same texts under the same identifiers.
TEST_F(ID3InteropTest, Version2FramesReadAsMutagenReadsThem) {
  const std::string body =
      Frame2("TT2", std::string("\1\xFF\xFET\0\xEF\0t\0l\0e\0", 13)) + Frame2("TP1", Text("Artist")) + Frame2("TAL", Text("Album")) +
      Frame2("TRK", Text("7")) + Frame2("TYE", Text("1997")) + Frame2("COM", std::string("\0engd\0Nice", 10)) +
      Frame2("ULT", std::string("\0engv\0Line one\nline two", 23)) + Frame2("TXX", std::string("\0Key\0Value", 10)) +
      Frame2("WXX", std::string("\0Home\0http://example.org/w", 27)) + Frame2("WAR", "http://example.org/a") +
      Frame2("PIC", std::string("\0JPG\3c\0", 7) + std::string(500, 'p')) + std::string(30, '\0');
  const std::string path = Write("v2.mp3", Tag(2, body) + Audio(400));
  const std::string reader = Write("read2.py",
      "import sys\n"
      "from mutagen.id3 import ID3\n"
      "t = ID3(sys.argv[1])\n"
      "p = t.getall('APIC')[0]\n"
      "for name, value in [('TIT2', t['TIT2'].text[0]), ('TPE1', t['TPE1'].text[0]), ('TALB', t['TALB'].text[0]),\n"
      "                    ('TRCK', t['TRCK'].text[0]), ('Year', str(t['TDRC'].text[0])[:4]),\n"
      "                    ('COMM', t.getall('COMM')[0].text[0]), ('USLT', t.getall('USLT')[0].text),\n"
      "                    ('TXXX', t.getall('TXXX')[0].text[0]), ('WXXX', t.getall('WXXX')[0].url),\n"
      "                    ('WOAR', t.getall('WOAR')[0].url), ('APIC', p.mime + ' ' + p.desc + ' ' + str(len(p.data)))]:\n"
      "    print(name + '\\t' + value)\n");
  const std::string theirs = Capture(std::string(Python) + " '" + reader + "' '" + path + "' 2>&1");

  engine.SetFileName(path);
  engine.SetActive(true);
  ASSERT_EQ(engine.Header().VersionNumber(), 2);
  std::string ours;
  for (const char* id : {"TIT2", "TPE1", "TALB", "TRCK"}) ours += std::string(id) + '\t' + *engine.TextFrame(id) + '\n';
  ours += "Year\t" + *engine.Year() + '\n';
  for (const char* id : {"COMM", "USLT", "TXXX", "WXXX", "WOAR"})
    ours += std::string(id) + '\t' + engine.Frames().FindFrame(id)->AsText() + '\n';
  // Picture: MIME type, description and image bytes after the version 4 head.
  const std::string& picture = engine.Frames().FindFrame("APIC")->Data();
  const std::size_t mimeEnd = picture.find('\0', 1);
  const std::size_t descriptionEnd = picture.find('\0', mimeEnd + 2);
  ours += "APIC\t" + picture.substr(1, mimeEnd - 1) + ' ' + picture.substr(mimeEnd + 2, descriptionEnd - mimeEnd - 2) +
          ' ' + std::to_string(picture.size() - descriptionEnd - 1) + '\n';
  EXPECT_EQ(ours, theirs);
  EXPECT_NE(ours.find("TIT2\tT\xC3\xAFtle\n"), std::string::npos);
  // Written back as version 4, the tag still reads the same there.
  engine.WriteTag();
  engine.SetActive(false);
  EXPECT_EQ(Capture(std::string(Python) + " '" + reader + "' '" + path + "' 2>&1"), theirs);
  EXPECT_EQ(Read(path).substr(0, 4), "ID3\4");
}

TEST_F(ID3InteropTest, MutagenReadsWhatThisEngineWrites) {
  const std::string audio = Audio(2000);
  const std::string path = Write("ours.mp3", audio);
  TagWithMutagen(path, 3);
  engine.SetFileName(path);
  engine.SetActive(true);
  engine.SetTitle("N\xC3\xA9w title");
  TID3Frames_Item* album = engine.Frames().FindFrame("TALB");
  album->SetCompress(true);
  engine.WriteTag();
  engine.SetActive(false);

  const std::string listing = Capture("/usr/bin/python3 -c \"import sys; from mutagen.id3 import ID3; t = ID3(sys.argv[1]); "
                                  "print(t.version); print(t['TIT2'].text[0]); print(t['TALB'].text[0]); "
                                  "print(t['TPE1'].text[0]); print(len(t.getall('APIC')[0].data))\" '" + path + "' 2>&1");
  EXPECT_EQ(listing, "(2, 4, 0)\nN\xC3\xA9w title\n" + std::string(300, 'A') + "\nArtist\n3072\n");
  const std::string bytes = Read(path);
  EXPECT_EQ(bytes.substr(bytes.size() - audio.size()), audio);
}

}  // namespace
