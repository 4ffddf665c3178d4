#pragma once
// A scratch program folder for the settings tests.

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/UnitGlobals.h"
#include "core/UnitTextFiles.h"

class TScratchProgramFolder {
 public:
  TScratchProgramFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "svx-settings-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
    previous_ = ProgramFolder();
    SetProgramFolder(path_);
  }
  ~TScratchProgramFolder() {
    SetProgramFolder(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TScratchProgramFolder(const TScratchProgramFolder&) = delete;
  TScratchProgramFolder& operator=(const TScratchProgramFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  void Put(const std::string& name, const std::string& content) const {
    WriteFileAtomically(File(name), content);
  }
  std::string Get(const std::string& name) const { return ReadWholeFile(File(name)); }

 private:
  std::string path_;
  std::string previous_;
};
