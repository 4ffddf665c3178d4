#include "core/UnitGlobals.h"

#include <climits>
#include <unistd.h>

TFoundFileList FoundFileList;
std::string ScanFilter;
std::string CurrentScanPath;
bool ScanCancelRequested = false;
TStringList UsedInfoTypes;
TStringList UnusedInfoTypes;
TStringList DestroyLog;
bool MainWindowCreating = true;

namespace {

constexpr std::array<std::string_view, InfoTypeCatalogueSize> Catalogue = {
    "0NAM=Name",
    "0TYP=Type",
    "0LOC=Location",
    "0SIZ=Size",
    "0CRE=Created",
    "0MOD=Modified",
    "0ACC=Accessed",
    "0ATT=Attributes",
    "1TIT=Song Title",
    "1ART=Artist",
    "1ALB=Album",
    "1YEA=Year",
    "1GEN=Genre",
    "COMM=Comments",
    "EQU2=Equalisation (2)",
    "ETCO=Event timing codes",
    "GEOB=General encapsulated object",
    "LINK=Linked information",
    "MCDI=Music CD identifier",
    "MLLT=MPEG location lookup table",
    "PCNT=Play counter",
    "POPM=Popularimeter",
    "PRIV=Private frame",
    "RBUF=Recommended buffer size",
    "RVA2=Relative volume adjustment (2)",
    "RVRB=Reverb",
    "SIGN=Signature frame",
    "SYLT=Synchronised lyric/text",
    "SYTC=Synchronised tempo codes",
    "TALB=Album",
    "TBPM=BPM (beats per minute)",
    "TCOM=Composer",
    "TCON=Content type",
    "TCOP=Copyright message",
    "TDEN=Encoding time",
    "TDLY=Playlist delay",
    "TDOR=Original release time",
    "TDRC=Recording time",
    "TDRL=Release time",
    "TDTG=Tagging time",
    "TENC=Encoded by",
    "TEXT=Lyricist/Text writer",
    "TFLT=File type",
    "TIPL=Involved people list",
    "TIT1=Content group description",
    "TIT2=Title",
    "TIT3=Subtitle",
    "TKEY=Initial key",
    "TLAN=Language(s)",
    "TLEN=Length",
    "TMCL=Musician credits list",
    "TMED=Media type",
    "TMOO=Mood",
    "TOAL=Original album",
    "TOFN=Original filename",
    "TOLY=Original lyricist(s)/text writer(s)",
    "TOPE=Original artist(s)/performer(s)",
    "TOWN=File owner/licensee",
    "TPE1=Lead performer(s)/Soloist(s)",
    "TPE2=Band",
    "TPE3=Conductor/performer refinement",
    "TPE4=Interpreted, remixed, or otherwise modified by",
    "TPOS=Part of a set",
    "TPRO=Produced notice",
    "TPUB=Publisher",
    "TRCK=Track number/Position in set",
    "TRSN=Internet radio station name",
    "TRSO=Internet radio station owner",
    "TSOA=Album sort order",
    "TSOP=Performer sort order",
    "TSOT=Title sort order",
    "TSRC=ISRC (international standard recording code)",
    "TSSE=Software/Hardware and settings used for encoding",
    "TSST=Set subtitle",
    "TXXX=User defined text information frame",
    "TYER=Year",
    "UFID=Unique file identifier",
    "USER=Terms of use",
    "USLT=Unsynchronised lyric/text transcription",
    "WCOM=Commercial information",
    "WCOP=Copyright/Legal information",
    "WOAF=Official audio file webpage",
    "WOAR=Official artist/performer webpage",
    "WOAS=Official audio source webpage",
    "WORS=Official Internet radio station homepage",
    "WPAY=Payment",
    "WPUB=Publishers official webpage",
    "WXXX=User defined URL link frame",
    "0FUL=Full file name and location",};

constexpr char PathSeparator = '/';

std::string ExecutableFolder() {
  std::string buffer(PATH_MAX, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0) return ".";
  buffer.resize(static_cast<std::size_t>(n));
  const auto slash = buffer.rfind(PathSeparator);
  if (slash == std::string::npos) return ".";
  return slash == 0 ? std::string(1, PathSeparator) : buffer.substr(0, slash);
}

std::string& ProgramFolderStorage() {
  static std::string folder = ExecutableFolder();
  return folder;
}

}  // namespace

const std::array<std::string_view, InfoTypeCatalogueSize>& InfoTypeCatalogue() { return Catalogue; }

void FillDefaultCatalogue(TStringList& used, TStringList& unused) {
  used.assign(Catalogue.begin(), Catalogue.end() - 1);
  unused.assign(Catalogue.end() - 1, Catalogue.end());
}

std::string WithTrailingBackslash(const std::string& path) {
  if (path.empty() || path.back() == PathSeparator) return path;
  return path + PathSeparator;
}

std::string UpperCaseAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return result;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

const std::string& ProgramFolder() { return ProgramFolderStorage(); }

void SetProgramFolder(const std::string& folder) { ProgramFolderStorage() = folder; }

std::string ProgramFile(std::string_view name) {
  return WithTrailingBackslash(ProgramFolder()) + std::string(name);
}
