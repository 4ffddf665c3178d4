#include "help/UnitInternetShortcut.h"

#include "core/UnitGlobals.h"
#include "core/UnitTextFiles.h"

namespace {

// A shortcut is a few lines; anything bigger is not one.
constexpr std::size_t MaxShortcutSize = 64u * 1024u;

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool StartsWithText(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameTextAscii(text.substr(0, prefix.size()), prefix);
}

}  // namespace

std::string InternetShortcutUrl(std::string_view text) {
  bool inSection = false;
  for (const std::string& raw : SplitTextLines(text)) {
    const std::string_view line = Trimmed(raw);
    if (!line.empty() && line.front() == '[') {
      inSection = SameTextAscii(line, "[InternetShortcut]");
      continue;
    }
    if (!inSection) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || !SameTextAscii(Trimmed(line.substr(0, eq)), "URL")) continue;
    return std::string(Trimmed(line.substr(eq + 1)));
  }
  return {};
}

std::string ReadInternetShortcutUrl(const std::string& path) {
  try {
    return InternetShortcutUrl(ReadWholeFile(path, MaxShortcutSize));
  } catch (const EFileError&) {
    return {};
  }
}

bool IsWebAddress(std::string_view url) {
  std::size_t rest = 0;
  if (StartsWithText(url, "https://")) {
    rest = 8;
  } else if (StartsWithText(url, "http://")) {
    rest = 7;
  } else {
    return false;
  }
  if (url.size() <= rest) return false;
  for (const char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7f) return false;
  }
  return true;
}
