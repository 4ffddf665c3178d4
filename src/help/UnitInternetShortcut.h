#pragma once
// Internet shortcut files ("[InternetShortcut]" section with a "URL=" line), as shipped in
// INFO.URL beside the program to name the product's web page.

#include <string>
#include <string_view>

// The URL= value of the [InternetShortcut] section, trimmed of blanks; section and key are
// matched without regard to case and the first URL= line of the section wins. Empty when the
// text holds no such line.
std::string InternetShortcutUrl(std::string_view text);

// The same for a file; empty when the file is missing, unreadable or implausibly large.
std::string ReadInternetShortcutUrl(const std::string& path);

// True for the addresses the program hands to a web browser: http:// and https:// followed by
// something, with no control characters or blanks inside. Anything else in a shortcut (local
// files, other programs' schemes) is not opened.
bool IsWebAddress(std::string_view url);
