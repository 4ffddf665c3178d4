#include "id3/ID3Version2.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

using TIdPair = std::pair<std::string_view, std::string_view>;

// The frames of version 2 that later versions kept, by their version 2 identifier.
constexpr std::array<TIdPair, 68> IdentifierTable = {{
    {"BUF", "RBUF"}, {"CNT", "PCNT"}, {"COM", "COMM"}, {"CRA", "AENC"}, {"EQU", "EQUA"}, {"ETC", "ETCO"},
    {"GEO", "GEOB"}, {"IPL", "IPLS"}, {"LNK", "LINK"}, {"MCI", "MCDI"}, {"MLL", "MLLT"}, {"PIC", "APIC"},
    {"POP", "POPM"}, {"REV", "RVRB"}, {"RVA", "RVAD"}, {"SLT", "SYLT"}, {"STC", "SYTC"}, {"TAL", "TALB"},
    {"TBP", "TBPM"}, {"TCM", "TCOM"}, {"TCO", "TCON"}, {"TCR", "TCOP"}, {"TDA", "TDAT"}, {"TDY", "TDLY"},
    {"TEN", "TENC"}, {"TFT", "TFLT"}, {"TIM", "TIME"}, {"TKE", "TKEY"}, {"TLA", "TLAN"}, {"TLE", "TLEN"},
    {"TMT", "TMED"}, {"TOA", "TOPE"}, {"TOF", "TOFN"}, {"TOL", "TOLY"}, {"TOR", "TORY"}, {"TOT", "TOAL"},
    {"TP1", "TPE1"}, {"TP2", "TPE2"}, {"TP3", "TPE3"}, {"TP4", "TPE4"}, {"TPA", "TPOS"}, {"TPB", "TPUB"},
    {"TRC", "TSRC"}, {"TRD", "TRDA"}, {"TRK", "TRCK"}, {"TSI", "TSIZ"}, {"TSS", "TSSE"}, {"TT1", "TIT1"},
    {"TT2", "TIT2"}, {"TT3", "TIT3"}, {"TXT", "TEXT"}, {"TXX", "TXXX"}, {"TYE", "TYER"}, {"UFI", "UFID"},
    {"ULT", "USLT"}, {"WAF", "WOAF"}, {"WAR", "WOAR"}, {"WAS", "WOAS"}, {"WCM", "WCOM"}, {"WCP", "WCOP"},
    {"WPB", "WPUB"}, {"WXX", "WXXX"},
    // Sort-order and compilation frames that taggers wrote into version 2 tags long before a
    // standard named them; later versions carry them under these identifiers.
    {"TCP", "TCMP"}, {"TS2", "TSO2"}, {"TSA", "TSOA"}, {"TSC", "TSOC"}, {"TSP", "TSOP"}, {"TST", "TSOT"},
}};

// Image formats of version 2 pictures and the MIME types that name them in later versions.
std::string MimeTypeOf(std::string_view format) {
  std::string lower;
  for (char c : format) {
    if (c == '\0' || c == ' ') break;
    lower.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  }
  // "-->": the picture is a URL, in every version alike.
  if (lower == "-->") return lower;
  if (lower == "jpg") return "image/jpeg";
  return "image/" + lower;
}

}  // namespace

std::string Version3Identifier(std::string_view version2Id) {
  const auto found = std::find_if(IdentifierTable.begin(), IdentifierTable.end(),
                                  [&](const TIdPair& pair) { return pair.first == version2Id; });
  if (found != IdentifierTable.end()) return std::string(found->second);
  return std::string(version2Id) + ' ';
}

std::ptrdiff_t UpgradeVersion2Data(std::string_view name, std::string& data) {
  const std::size_t before = data.size();
  if (name == "APIC" && data.size() >= 4) {
    // Encoding byte, image format (3 bytes) -> encoding byte, MIME type, terminator.
    data.replace(1, 3, MimeTypeOf(std::string_view(data).substr(1, 3)) + '\0');
  } else if (name == "LINK" && data.size() >= 3) {
    data.replace(0, 3, Version3Identifier(std::string_view(data).substr(0, 3)));
  }
  return static_cast<std::ptrdiff_t>(data.size()) - static_cast<std::ptrdiff_t>(before);
}
