#pragma once
// Texts of the media player page: the time label, the "Now playing" line and the error text
// with the path shortened to the label.

#include <cstdint>
#include <functional>
#include <string>

// "hh:mm:ss" of a time in milliseconds, taken as a fraction of a day: hours run modulo 24,
// so 25 hours read 01:00:00. Negative times read 00:00:00.
std::string FormatPlayTime(std::int64_t milliseconds);
// Elapsed and total time: "00:01:05 / 00:03:42" and two spaces.
std::string FormatPlayPosition(std::int64_t position, std::int64_t length);

// "  Now playing Artist - Title" when both are known, else "  Now playing " + the row's first
// column text.
std::string NowPlayingText(const std::string& title, const std::string& artist, const std::string& firstColumn);

// Replaces leading folders by "..." until fits() accepts the text; the file name is always
// kept, even when ".../name" does not fit either. Separators are '/'.
std::string ShortenPath(const std::string& path, const std::function<bool(const std::string&)>& fits);

// "Error loading\r\n" + shortened path + "\r\nin media player."
std::string PlayerErrorText(const std::string& shortenedPath);
