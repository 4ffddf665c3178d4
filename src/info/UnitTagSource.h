#pragma once
// Makes the tag source of a file: its ID3 tag as the engine read it when there is one,
// else the container's own tags.

#include <memory>

#include "info/TTagSource.h"

class TID3Engine;

// engine: the caller's engine, opened on the file (or left inactive when the file is missing;
// then every value is missing). The source reads through the engine, which must stay open and
// on the same file while the source is used.
std::unique_ptr<TTagSource> MakeTagSource(const TID3Engine& engine);
