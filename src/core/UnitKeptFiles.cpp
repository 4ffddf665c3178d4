#include "core/UnitKeptFiles.h"

#include <algorithm>
#include <exception>

#include "core/UnitFileSystem.h"

bool TUnreadableKeptFiles::Load(const std::string& path, const std::function<void()>& load) {
  try {
    load();
    return true;
  } catch (const std::exception& error) {
    if (!FileIsMissing(path) && !Contains(path)) files_.emplace_back(path, error.what());
    return false;
  }
}

bool TUnreadableKeptFiles::Contains(const std::string& path) const {
  return std::any_of(files_.begin(), files_.end(), [&](const auto& file) { return file.first == path; });
}

std::string TUnreadableKeptFiles::LeftUnchangedText(const std::string& path) const {
  for (const auto& [file, reason] : files_) {
    if (file == path) return reason + " The file could not be read at start and was left unchanged.";
  }
  return {};
}
