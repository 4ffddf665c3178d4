// Times the recursive walk three ways on one tree, median of several rounds after a warm-up:
//   core   ListMatchingFilesRecursive with the .MP3 filter and no progress event
//   window the same walk run by the scanning window, with its own progress event
//   find   find DIR -iname '*.mp3', its output thrown away
// Usage: scan_bench generate DIR      make the tree (2,000 folders of 100 files)
//        scan_bench run DIR [ROUNDS]  measure and print a Markdown table

#include "core/UnitGlobals.h"
#include "scan/FormScanning.h"
#include "scan/UnitScan.h"

#include <QApplication>
#include <QWidget>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace {

using TClock = std::chrono::steady_clock;

constexpr int TopFolders = 20;
constexpr int FoldersPerTop = 100;
constexpr int FilesPerFolder = 100;

void MakeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) throw std::runtime_error("cannot create " + path);
}

void MakeEmptyFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) throw std::runtime_error("cannot create " + path);
  ::close(fd);
}

// One file in ten is a match (.mp3, every third of them .MP3); one in ten is a near miss
// (.mp3.bak); the rest are other media and text.
std::string FileName(int index) {
  const std::string stem = "track" + std::to_string(index);
  switch (index % 10) {
    case 0: return stem + ((index / 10) % 3 == 0 ? ".MP3" : ".mp3");
    case 5: return stem + ".mp3.bak";
    case 1: case 6: return stem + ".flac";
    case 2: case 7: return stem + ".jpg";
    case 3: return stem + ".mp3x";
    default: return stem + ".txt";
  }
}

void Generate(const std::string& root) {
  MakeFolder(root);
  for (int t = 0; t < TopFolders; ++t) {
    const std::string top = root + "/artist" + std::to_string(t);
    MakeFolder(top);
    for (int f = 0; f < FoldersPerTop; ++f) {
      const std::string folder = top + "/album" + std::to_string(f);
      MakeFolder(folder);
      for (int i = 0; i < FilesPerFolder; ++i) MakeEmptyFile(folder + "/" + FileName(i));
    }
  }
  MakeEmptyFile(root + "/.complete");
}

double Seconds(TClock::duration d) { return std::chrono::duration<double>(d).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::size_t CoreWalk(const std::string& root) {
  TFoundFileList found;
  ListMatchingFilesRecursive(found, root, ScanFilter, nullptr);
  return found.size();
}

std::size_t WindowWalk(QWidget& owner, const std::string& root) {
  TFoundFileList found;
  TfrmScanning frm(&owner);
  frm.SetFolder(root);
  frm.SetRecursive(true);
  frm.SetResultList(&found);
  frm.exec();
  return found.size();
}

// Runs find with its output going to `outFd`; returns the exit status.
int RunFind(const std::string& root, int outFd) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
  std::string program = "find", pattern = "-iname", glob = "*.mp3";
  std::string dir = root;
  char* argv[] = {program.data(), dir.data(), pattern.data(), glob.data(), nullptr};
  pid_t pid = 0;
  const int rc = ::posix_spawnp(&pid, "find", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("cannot start find");
  int status = 0;
  ::waitpid(pid, &status, 0);
  return status;
}

std::size_t FindCount(const std::string& root) {
  char name[] = "/tmp/scan-bench-find-XXXXXX";
  const int fd = ::mkstemp(name);
  if (fd < 0) throw std::runtime_error("cannot make a temporary file");
  ::unlink(name);
  RunFind(root, fd);
  ::lseek(fd, 0, SEEK_SET);
  std::size_t lines = 0;
  char buffer[65536];
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
    lines += static_cast<std::size_t>(std::count(buffer, buffer + n, '\n'));
  ::close(fd);
  return lines;
}

double TimeOnce(const std::function<void()>& work) {
  const auto start = TClock::now();
  work();
  return Seconds(TClock::now() - start);
}

int Run(const std::string& root, int rounds, int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget owner;
  owner.resize(708, 506);
  owner.show();
  ScanFilter = std::string(DefaultScanFilter);
  const int devNull = ::open("/dev/null", O_WRONLY);

  const std::size_t coreCount = CoreWalk(root);
  const std::size_t windowCount = WindowWalk(owner, root);
  const std::size_t findCount = FindCount(root);
  if (coreCount != windowCount || coreCount != findCount) {
    std::fprintf(stderr, "counts differ: core %zu, window %zu, find %zu\n", coreCount, windowCount, findCount);
    return 1;
  }

  std::vector<double> core, window, find;
  for (int r = 0; r < rounds; ++r) {  // interleaved, so drift hits all three alike
    core.push_back(TimeOnce([&] { CoreWalk(root); }));
    window.push_back(TimeOnce([&] { WindowWalk(owner, root); }));
    find.push_back(TimeOnce([&] { RunFind(root, devNull); }));
  }
  ::close(devNull);

  const double a = Median(core), b = Median(window), c = Median(find);
  std::printf("Tree: %s, %zu matching files; median of %d rounds after one warm-up.\n\n", root.c_str(),
              coreCount, rounds);
  std::printf("| Measure | Median (ms) | Ratio to find | Goal |\n|---|---:|---:|---:|\n");
  std::printf("| (a) core walk, no progress event | %.1f | %.2f | <= 1.5 |\n", a * 1000, a / c);
  std::printf("| (b) walk under the scanning window | %.1f | %.2f | <= 2.0 |\n", b * 1000, b / c);
  std::printf("| (c) find -iname '*.mp3' | %.1f | 1.00 | |\n", c * 1000);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc >= 3 && std::string(argv[1]) == "generate") {
      Generate(argv[2]);
      return 0;
    }
    if (argc >= 3 && std::string(argv[1]) == "run") {
      const int rounds = argc >= 4 ? std::max(1, std::atoi(argv[3])) : 5;
      return Run(argv[2], rounds, argc, argv);
    }
    std::fprintf(stderr, "usage: scan_bench generate DIR | run DIR [ROUNDS]\n");
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "scan_bench: %s\n", e.what());
    return 1;
  }
}
