#pragma once
// Settings and list files that existed at start but could not be read (no permission, not a
// regular file, too large). The program runs on defaults then; writing those defaults over the
// file at close would destroy what the user had in it, so such a file is left as it is.

#include <functional>
#include <string>
#include <utility>
#include <vector>

class TUnreadableKeptFiles {
 public:
  // Runs load, which reads path and throws when it cannot. A failure is remembered when an
  // entry of that name exists; a missing file is no loss (it is created at close). True when
  // load succeeded.
  bool Load(const std::string& path, const std::function<void()>& load);
  bool Contains(const std::string& path) const;
  // The close-time line for a remembered file: why it could not be read, and that it was left
  // unchanged. Empty for any other path.
  std::string LeftUnchangedText(const std::string& path) const;

 private:
  std::vector<std::pair<std::string, std::string>> files_;  // path, reason
};
