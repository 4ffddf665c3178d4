#pragma once
// Web addresses leave the program through here: the desktop's browser opens them, and tests
// put a recorder in its place.

#include <QUrl>
#include <functional>

// Returns whether the address was handed on.
using TOpenUrlHook = std::function<bool(const QUrl&)>;

// Replace the desktop's browser (tests); an empty function restores it.
void SetOpenUrlHook(TOpenUrlHook hook);

bool OpenExternalUrl(const QUrl& url);
