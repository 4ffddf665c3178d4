#include "id3/ID3Dump.h"

#include <exception>
#include <optional>
#include <utility>

#include "id3/ID3Engine.h"
#include "id3/ID3Text.h"

namespace {

constexpr char HexDigits[] = "0123456789abcdef";

char Bit(bool value) { return value ? '1' : '0'; }

void AppendHex2(std::string& out, unsigned value) {
  out.push_back(HexDigits[(value >> 4) & 15]);
  out.push_back(HexDigits[value & 15]);
}

void AppendHeader(std::string& out, const TID3Engine& engine) {
  const TID3Header& header = engine.Header();
  out += "HEADER\t" + std::to_string(header.VersionNumber()) + '\t' + std::to_string(header.VersionRevision()) + '\t';
  out += {Bit(header.Unsynchronisation()), Bit(header.ExtendedHeaderPresent()), Bit(header.Experimental()),
          Bit(header.FooterPresent())};
  out += '\t' + std::to_string(header.TagSize()) + '\t' + std::to_string(engine.TagOffset()) + '\t' +
         std::to_string(engine.TagLength()) + '\t' + std::to_string(engine.Padding()) + '\n';
  if (!header.ExtendedHeaderPresent()) return;
  const TID3ExtendedHeader& ext = header.ExtendedHeader();
  out += "EXT\t";
  out += {Bit(ext.TagIsAnUpdate()), '\t', Bit(ext.CRCDataPresent()), '\t'};
  out += std::to_string(ext.CRCData()) + '\t' + Bit(ext.TagRestricted()) + '\t';
  AppendHex2(out, EncodeRestrictions(ext.TagRestrictions()));
  out += '\n';
}

void AppendFrames(std::string& out, const TID3Frames& frames) {
  for (std::size_t i = 0; i < frames.Count(); ++i) {
    const TID3Frames_Item& item = frames[i];
    out += "FRAME\t" + std::to_string(i) + '\t' + EscapeDumpField(item.Name()) + '\t';
    out += {Bit(item.TagAlterDiscardable()), Bit(item.FileAlterDiscardable()), Bit(item.ReadOnly()), '\t'};
    out += {Bit(item.Grouping()), Bit(item.Compress()), Bit(item.Encrypted()), Bit(item.UnSynchronisation()),
            Bit(item.DataLengthIndicator()), '\t'};
    out += std::to_string(item.GroupID()) + '\t' + std::to_string(item.EncryptionID()) + '\t' +
           std::to_string(item.DataSize()) + '\t' + EscapeDumpField(item.AsText()) + '\n';
  }
}

void AppendProperties(std::string& out, const TID3Engine& engine) {
  const std::pair<const char*, std::optional<std::string>> properties[] = {
      {"Title", engine.Title()}, {"SubTitle", engine.SubTitle()}, {"Artist", engine.Artist()},
      {"Album", engine.Album()}, {"Year", engine.Year()},         {"Track", engine.Track()},
      {"Genre", engine.Genre()}, {"EncodedBy", engine.EncodedBy()}};
  for (const auto& [name, value] : properties)
    out += std::string("PROP\t") + name + '\t' + (value ? EscapeDumpField(*value) : std::string("-")) + '\n';
}

}  // namespace

std::string EscapeDumpField(std::string_view raw) {
  const std::string text = ValidUtf8(raw);
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (byte < 0x20) {
      out += "\\x";
      AppendHex2(out, byte);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string DumpID3File(TID3Engine& engine, const std::string& path) {
  std::string body;
  try {
    engine.SetFileName(path);
    engine.SetActive(true);
    body = std::string("ACTIVE\t") + Bit(engine.Active()) + '\n';
    if (engine.Active()) {
      AppendHeader(body, engine);
      AppendFrames(body, engine.Frames());
      AppendProperties(body, engine);
    }
    engine.SetActive(false);
  } catch (const std::exception& error) {
    engine.SetActive(false);
    body = "ERROR\t" + EscapeDumpField(error.what()) + '\n';
  }
  return "FILE\t" + EscapeDumpField(path) + '\n' + body + "END\n";
}
