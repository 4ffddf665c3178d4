// id3dump [--full-seek] FILE...: prints what the tag engine reads from each file, one
// TAB-separated record per line (FILE, ACTIVE, HEADER, EXT, FRAME..., PROP..., END).

#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "id3/ID3Engine.h"
#include "id3/ID3Text.h"

namespace {

// Valid UTF-8 with backslash, TAB, LF, CR and other control bytes escaped.
std::string Field(std::string_view raw) {
  const std::string text = ValidUtf8(raw);
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default:
        if (byte < 0x20) {
          static const char digits[] = "0123456789abcdef";
          out += "\\x";
          out.push_back(digits[byte >> 4]);
          out.push_back(digits[byte & 15]);
        } else {
          out.push_back(c);
        }
    }
  }
  return out;
}

char Bit(bool value) { return value ? '1' : '0'; }

void AppendHex2(std::string& out, unsigned value) {
  static const char digits[] = "0123456789abcdef";
  out.push_back(digits[(value >> 4) & 15]);
  out.push_back(digits[value & 15]);
}

// The records of an active engine, from HEADER to the last PROP.
void AppendTag(std::string& out, const TID3Engine& engine) {
  const TID3Header& header = engine.Header();
  out += "HEADER\t" + std::to_string(header.VersionNumber()) + '\t' + std::to_string(header.VersionRevision()) + '\t';
  out += {Bit(header.Unsynchronisation()), Bit(header.ExtendedHeaderPresent()), Bit(header.Experimental()),
          Bit(header.FooterPresent())};
  out += '\t' + std::to_string(header.TagSize()) + '\t' + std::to_string(engine.TagOffset()) + '\t' +
         std::to_string(engine.TagLength()) + '\t' + std::to_string(engine.Padding()) + '\n';
  if (header.ExtendedHeaderPresent()) {
    const TID3ExtendedHeader& ext = header.ExtendedHeader();
    out += "EXT\t";
    out += {Bit(ext.TagIsAnUpdate()), '\t', Bit(ext.CRCDataPresent()), '\t'};
    out += std::to_string(ext.CRCData()) + '\t' + Bit(ext.TagRestricted()) + '\t';
    AppendHex2(out, EncodeRestrictions(ext.TagRestrictions()));
    out += '\n';
  }
  const TID3Frames& frames = engine.Frames();
  for (std::size_t i = 0; i < frames.Count(); ++i) {
    const TID3Frames_Item& item = frames[i];
    out += "FRAME\t" + std::to_string(i) + '\t' + Field(item.Name()) + '\t';
    out += {Bit(item.TagAlterDiscardable()), Bit(item.FileAlterDiscardable()), Bit(item.ReadOnly()), '\t'};
    out += {Bit(item.Grouping()), Bit(item.Compress()), Bit(item.Encrypted()), Bit(item.UnSynchronisation()),
            Bit(item.DataLengthIndicator()), '\t'};
    out += std::to_string(item.GroupID()) + '\t' + std::to_string(item.EncryptionID()) + '\t' +
           std::to_string(item.DataSize()) + '\t' + Field(item.AsText()) + '\n';
  }
  const std::pair<const char*, std::optional<std::string>> props[] = {
      {"Title", engine.Title()},   {"SubTitle", engine.SubTitle()}, {"Artist", engine.Artist()},
      {"Album", engine.Album()},   {"Year", engine.Year()},         {"Track", engine.Track()},
      {"Genre", engine.Genre()},   {"EncodedBy", engine.EncodedBy()}};
  for (const auto& [name, value] : props)
    out += std::string("PROP\t") + name + '\t' + (value ? Field(*value) : std::string("-")) + '\n';
}

std::string DumpFile(TID3Engine& engine, const std::string& path) {
  std::string out = "FILE\t" + Field(path) + '\n';
  std::string body;
  try {
    engine.SetFileName(path);
    engine.SetActive(true);
    body = std::string("ACTIVE\t") + Bit(engine.Active()) + '\n';
    if (engine.Active()) AppendTag(body, engine);
    engine.SetActive(false);
  } catch (const std::exception& error) {
    engine.SetActive(false);
    body = "ERROR\t" + Field(error.what()) + '\n';
  }
  return out + body + "END\n";
}

int Usage() {
  std::fputs("usage: id3dump [--full-seek] FILE...\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  bool fullSeek = false;
  int first = 1;
  for (; first < argc && argv[first][0] == '-' && argv[first][1] != '\0'; ++first) {
    if (std::strcmp(argv[first], "--") == 0) {
      ++first;
      break;
    }
    if (std::strcmp(argv[first], "--full-seek") != 0) return Usage();
    fullSeek = true;
  }
  if (first >= argc) return Usage();

  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  TID3Engine engine;
  engine.SetFullID3TagSeek(fullSeek);
  engine.SetWriteID3V1(false);
  for (int i = first; i < argc; ++i) {
    const std::string record = DumpFile(engine, argv[i]);
    std::fwrite(record.data(), 1, record.size(), stdout);
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
