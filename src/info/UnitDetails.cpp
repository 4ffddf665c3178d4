#include "info/UnitDetails.h"

#include <cstdint>
#include <exception>
#include <memory>

#include "id3/ID3Engine.h"
#include "info/UnitInfoValues.h"
#include "info/UnitTagSource.h"

namespace {

constexpr std::string_view PathCaption = " Full File Name and Path:  ";

// Blanks and control characters (every byte up to 32) off both ends.
std::string TrimBlanks(std::string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= 32) {
    ++first;
  }
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) {
    --last;
  }
  return std::string(text.substr(first, last - first));
}

std::string ErrorText(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "The file could not be read.";
  }
}

void AddTypeLine(TDetails& details, const TTagSource& source, const std::string& path,
                 const std::string& line, const TLocaleFormat& fmt) {
  const std::string value = TrimBlanks(GetInfoValue(source, path, InfoCodeOf(line), fmt));
  if (value == NotAvailableText) {
    return;
  }
  if (line.starts_with("1TIT")) {
    details.CurrentTitle = value;
  }
  if (line.starts_with("1ART")) {
    details.CurrentArtist = value;
  }
  std::string caption = " ";
  caption += InfoCaptionOf(line);
  caption += ":  ";
  details.Lines.push_back(TDetailsLine{{std::move(caption), true}, {value, false}});
}

// Next code point of UTF-8 text; a byte that starts no valid sequence gives U+FFFD.
std::uint32_t NextCodePoint(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos++]);
  if (lead < 0x80) {
    return lead;
  }
  int extra = 0;
  std::uint32_t cp = 0;
  if ((lead & 0xE0U) == 0xC0U) {
    extra = 1;
    cp = lead & 0x1FU;
  } else if ((lead & 0xF0U) == 0xE0U) {
    extra = 2;
    cp = lead & 0x0FU;
  } else if ((lead & 0xF8U) == 0xF0U) {
    extra = 3;
    cp = lead & 0x07U;
  } else {
    return 0xFFFD;
  }
  if (pos + static_cast<std::size_t>(extra) > text.size()) {
    return 0xFFFD;
  }
  for (int i = 0; i < extra; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(i)]);
    if ((next & 0xC0U) != 0x80U) {
      return 0xFFFD;
    }
    cp = (cp << 6) | (next & 0x3FU);
  }
  pos += static_cast<std::size_t>(extra);
  static constexpr std::uint32_t Minimum[] = {0, 0x80, 0x800, 0x10000};
  if (cp < Minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    return 0xFFFD;
  }
  return cp;
}

void AppendUnicodeEscape(std::uint32_t unit, std::string& out) {
  // RTF takes a signed 16-bit number; "?" is what a reader without Unicode shows instead.
  out += "\\u";
  out += std::to_string(static_cast<std::int16_t>(static_cast<std::uint16_t>(unit)));
  out += '?';
}

void AppendRtfText(std::string_view text, std::string& out) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::uint32_t cp = NextCodePoint(text, pos);
    if (cp == '\\' || cp == '{' || cp == '}') {
      out += '\\';
      out += static_cast<char>(cp);
    } else if (cp == '\t') {
      out += "\\tab ";
    } else if (cp == '\n') {
      out += "\\line ";
    } else if (cp == '\r') {
      if (pos < text.size() && text[pos] == '\n') {
        ++pos;
      }
      out += "\\line ";
    } else if (cp < 0x20) {
      continue;
    } else if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x10000) {
      AppendUnicodeEscape(cp, out);
    } else {
      const std::uint32_t v = cp - 0x10000;
      AppendUnicodeEscape(0xD800 + (v >> 10), out);
      AppendUnicodeEscape(0xDC00 + (v & 0x3FFU), out);
    }
  }
}

}  // namespace

TDetails BuildDetails(TID3Engine& engine, const std::string& path, const TStringList& used,
                      const TStringList& unused, const TLocaleFormat& fmt) {
  TDetails details;
  details.Lines.push_back(TDetailsLine{{std::string(PathCaption), true}, {path, false}});
  try {
    engine.SetActive(false);
    engine.SetFileName(path);
    engine.SetActive(true);
    // One source for all lines: the file's stream properties are read at most once.
    const std::unique_ptr<TTagSource> source = MakeTagSource(engine);
    for (const std::string& line : used) {
      AddTypeLine(details, *source, path, line, fmt);
    }
    for (const std::string& line : unused) {
      AddTypeLine(details, *source, path, line, fmt);
    }
  } catch (...) {
    details.Error = ErrorText(std::current_exception());
  }
  try {
    engine.SetActive(false);
  } catch (...) {
    // Closing only releases the stream.
  }
  return details;
}

std::string NowPlayingText(const TDetails& details, const std::string& rowCaption) {
  std::string text = "  Now playing ";
  if (!details.CurrentTitle.empty() && !details.CurrentArtist.empty()) {
    text += details.CurrentArtist;
    text += " - ";
    text += details.CurrentTitle;
  } else {
    text += rowCaption;
  }
  return text;
}

std::string DetailsToRtf(const std::vector<TDetailsLine>& lines) {
  // 13-pixel Arial is 10 points at 96 dots per inch; \fs counts half-points.
  std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}"
                    "\r\n\\viewkind4\\pard\\f0\\fs20 ";
  for (const TDetailsLine& line : lines) {
    for (const TDetailsRun& run : line) {
      if (run.Text.empty()) {
        continue;
      }
      out += run.Bold ? "{\\b " : "{";
      AppendRtfText(run.Text, out);
      out += '}';
    }
    out += "\\par\r\n";
  }
  out += "}\r\n";
  return out;
}

std::string DetailsToPlainText(const std::vector<TDetailsLine>& lines) {
  std::string out;
  for (const TDetailsLine& line : lines) {
    for (const TDetailsRun& run : line) {
      out += run.Text;
    }
    out += "\r\n";
  }
  return out;
}

bool IsRtfFileName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const std::string_view name =
      slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1);
  const auto dot = name.find_last_of('.');
  if (dot == std::string_view::npos) {
    return false;
  }
  return SameTextAscii(name.substr(dot), ".RTF");
}

std::string DetailsSaveFileName(const std::string& chosen, bool richTextChosen) {
  const auto slash = chosen.find_last_of('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  if (chosen.size() == nameStart || chosen.find('.', nameStart) != std::string::npos) {
    return chosen;
  }
  return chosen + (richTextChosen ? ".rtf" : ".txt");
}
