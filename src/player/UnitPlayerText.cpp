#include "player/UnitPlayerText.h"

#include <cstdio>

namespace {

constexpr std::int64_t MillisecondsPerDay = 86400000;

}  // namespace

std::string FormatPlayTime(std::int64_t milliseconds) {
  if (milliseconds < 0) milliseconds = 0;
  const std::int64_t seconds = (milliseconds % MillisecondsPerDay) / 1000;
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(seconds / 3600),
                static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  return text;
}

std::string FormatPlayPosition(std::int64_t position, std::int64_t length) {
  return FormatPlayTime(position) + " / " + FormatPlayTime(length) + "  ";
}

std::string NowPlayingText(const std::string& title, const std::string& artist, const std::string& firstColumn) {
  if (!title.empty() && !artist.empty()) return "  Now playing " + artist + " - " + title;
  return "  Now playing " + firstColumn;
}

std::string ShortenPath(const std::string& path, const std::function<bool(const std::string&)>& fits) {
  if (fits(path)) return path;
  const std::size_t nameStart = path.rfind('/');
  if (nameStart == std::string::npos) return path;
  // Drop one leading folder after the other: ".../b/c/name", ".../c/name", ".../name".
  std::size_t cut = path.find('/', path.front() == '/' ? 1 : 0);
  while (cut != std::string::npos && cut < nameStart) {
    std::string candidate = "..." + path.substr(cut);
    if (fits(candidate)) return candidate;
    cut = path.find('/', cut + 1);
  }
  return "..." + path.substr(nameStart);
}

std::string PlayerErrorText(const std::string& shortenedPath) {
  return "Error loading\r\n" + shortenedPath + "\r\nin media player.";
}
