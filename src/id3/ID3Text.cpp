#include "id3/ID3Text.h"

#include <cstdint>

namespace {

constexpr char32_t ReplacementCharacter = 0xFFFD;

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

unsigned char Byte(std::string_view bytes, std::size_t i) { return static_cast<unsigned char>(bytes[i]); }

// One code point of UTF-8 at i; an invalid or cut sequence yields U+FFFD for its first byte.
char32_t NextUtf8(std::string_view bytes, std::size_t& i) {
  const unsigned char lead = Byte(bytes, i);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  std::size_t length = 0;
  char32_t cp = 0;
  char32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, cp = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, cp = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, cp = lead & 0x07, minimum = 0x10000;
  } else {
    ++i;
    return ReplacementCharacter;
  }
  if (i + length > bytes.size()) {
    ++i;
    return ReplacementCharacter;
  }
  for (std::size_t k = 1; k < length; ++k) {
    const unsigned char next = Byte(bytes, i + k);
    if ((next & 0xC0) != 0x80) {
      ++i;
      return ReplacementCharacter;
    }
    cp = (cp << 6) | (next & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return ReplacementCharacter;
  }
  i += length;
  return cp;
}

std::string DecodeLatin1(std::string_view bytes, std::size_t* consumed) {
  const std::size_t end = bytes.find('\0');
  const std::size_t length = end == std::string_view::npos ? bytes.size() : end;
  if (consumed) *consumed = end == std::string_view::npos ? bytes.size() : end + 1;
  return Latin1ToUtf8(bytes.substr(0, length));
}

std::string DecodeUtf8(std::string_view bytes, std::size_t* consumed) {
  const std::size_t end = bytes.find('\0');
  const std::string_view text = bytes.substr(0, end == std::string_view::npos ? bytes.size() : end);
  if (consumed) *consumed = end == std::string_view::npos ? bytes.size() : end + 1;
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) AppendUtf8(out, NextUtf8(text, i));
  return out;
}

std::string DecodeUtf16(std::string_view bytes, bool bigEndian, bool byteOrderMark, std::size_t* consumed) {
  std::size_t i = 0;
  if (byteOrderMark && bytes.size() >= 2) {
    if (Byte(bytes, 0) == 0xFF && Byte(bytes, 1) == 0xFE) {
      bigEndian = false, i = 2;
    } else if (Byte(bytes, 0) == 0xFE && Byte(bytes, 1) == 0xFF) {
      bigEndian = true, i = 2;
    }
  }
  auto unitAt = [&](std::size_t at) -> char32_t {
    const unsigned a = Byte(bytes, at), b = Byte(bytes, at + 1);
    return bigEndian ? (a << 8 | b) : (b << 8 | a);
  };
  std::string out;
  while (i + 1 < bytes.size()) {
    const char32_t unit = unitAt(i);
    i += 2;
    if (unit == 0) {
      if (consumed) *consumed = i;
      return out;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < bytes.size()) {
      const char32_t low = unitAt(i);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        i += 2;
        AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        continue;
      }
    }
    AppendUtf8(out, (unit >= 0xD800 && unit <= 0xDFFF) ? ReplacementCharacter : unit);
  }
  if (i < bytes.size()) {  // a lone last byte: half a unit
    AppendUtf8(out, ReplacementCharacter);
    ++i;
  }
  if (consumed) *consumed = i;
  return out;
}

}  // namespace

TID3TextEncoding TextEncodingFromByte(unsigned char value) {
  return value <= 3 ? static_cast<TID3TextEncoding>(value) : TID3TextEncoding::Latin1;
}

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) AppendUtf8(out, static_cast<unsigned char>(c));
  return out;
}

std::string Utf8ToLatin1(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const char32_t cp = NextUtf8(text, i);
    out.push_back(cp <= 0xFF ? static_cast<char>(cp) : '?');
  }
  return out;
}

std::string DecodeTerminatedText(std::string_view bytes, TID3TextEncoding encoding, std::size_t* consumed) {
  switch (encoding) {
    case TID3TextEncoding::Utf16:
      return DecodeUtf16(bytes, false, true, consumed);
    case TID3TextEncoding::Utf16BE:
      return DecodeUtf16(bytes, true, false, consumed);
    case TID3TextEncoding::Utf8:
      return DecodeUtf8(bytes, consumed);
    case TID3TextEncoding::Latin1:
      break;
  }
  return DecodeLatin1(bytes, consumed);
}

std::string TrimControl(std::string_view text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  return std::string(text.substr(begin, end - begin));
}

bool HasHighByte(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

std::string ValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) AppendUtf8(out, NextUtf8(text, i));
  return out;
}

std::optional<std::string> YearOfRecordingTime(const std::optional<std::string>& recorded) {
  if (!recorded || recorded->size() < 4) return std::nullopt;
  for (std::size_t i = 0; i < 4; ++i) {
    if ((*recorded)[i] < '0' || (*recorded)[i] > '9') return std::nullopt;
  }
  return recorded->substr(0, 4);
}
