// fuzz-seconds: 60
// Writes a random tag into (or erases the tag of) a copy of arbitrary bytes, sometimes with the
// file size limited as a full disk would limit it, sometimes through a second name, and checks
// that every byte after the declared end of the old tag is still in the file, in order, and that
// a write that fails leaves the file exactly as it was, with no temporary file left behind.

#include <fuzzer/FuzzedDataProvider.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "id3/ID3Engine.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "ID3WriteFuzz: %s\n", what);
  std::abort();
}

// A private folder for the copy and, below it, the temporary folder, removed when the fuzzer
// ends.
struct TFolders {
  std::filesystem::path root;
  std::filesystem::path temp;
  TFolders() {
    std::string pattern = (std::filesystem::temp_directory_path() / "id3writefuzzXXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) Fail("no scratch folder");
    root = pattern;
    temp = root / "tmp";
    std::filesystem::create_directory(temp);
    ::setenv("TMPDIR", temp.c_str(), 1);
    ::signal(SIGXFSZ, SIG_IGN);  // a write past the size limit fails with EFBIG instead
  }
  ~TFolders() { std::filesystem::remove_all(root); }
};

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Where the tag at offset 0 ends by its header (never past the end of the file); 0 without one.
std::size_t DeclaredEnd(const std::string& file) {
  if (file.size() < 10 || file.compare(0, 3, "ID3") != 0 || static_cast<unsigned char>(file[3]) > 4) return 0;
  std::size_t size = 0;
  for (int i = 6; i < 10; ++i) size = (size << 7) | (static_cast<unsigned char>(file[i]) & 0x7F);
  // Version 2 tags have no footer, whatever their undefined flag bits say.
  const std::size_t footer = (file[5] & 0x10) != 0 && file[3] != 2 ? 10 : 0;
  return std::min(file.size(), 10 + size + footer);
}

std::size_t EntriesIn(const std::filesystem::path& folder) {
  std::size_t count = 0;
  for (auto it = std::filesystem::directory_iterator(folder); it != std::filesystem::directory_iterator(); ++it) ++count;
  return count;
}

void EditTag(TID3Engine& engine, FuzzedDataProvider& input) {
  static const char* const ids[] = {"TIT2", "TPE1", "TALB", "COMM", "TXXX", "APIC", "PRIV", "TCON"};
  if (input.ConsumeBool()) engine.Frames().Clear();
  const int frames = input.ConsumeIntegralInRange(0, 6);
  for (int i = 0; i < frames; ++i) {
    TID3Frames_Item& item = engine.Frames().Add();
    item.SetName(ids[input.ConsumeIntegralInRange<std::size_t>(0, 7)]);
    const auto length = input.ConsumeIntegralInRange<std::size_t>(0, 70000);
    item.SetData(std::string(1, '\0') + std::string(length, static_cast<char>('a' + i)));
    if (input.ConsumeBool()) item.SetCompress(true);
  }
  engine.SetPadding(input.ConsumeIntegralInRange(0, 5000));
  engine.Header().SetFooterPresent(input.ConsumeBool());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const TFolders folders;
  const std::string path = (folders.root / "file.mp3").string();
  const std::string link = (folders.root / "link.mp3").string();

  // The choices come from the end of the input; the rest is the file.
  FuzzedDataProvider input(data, size);
  const int operation = input.ConsumeIntegralInRange(0, 2);  // write, erase, write then erase
  const bool limited = input.ConsumeBool();
  const auto limitExtra = input.ConsumeIntegralInRange<rlim_t>(0, 100000);
  const bool secondName = input.ConsumeBool();
  std::vector<std::uint8_t> editBytes;
  for (int i = 0; i < 48; ++i) editBytes.push_back(input.ConsumeIntegral<std::uint8_t>());
  const std::string original = input.ConsumeRemainingBytesAsString();
  const std::string rest = original.substr(DeclaredEnd(original));
  FuzzedDataProvider edits(editBytes.data(), editBytes.size());

  WriteAll(path, original);
  if (secondName && ::link(path.c_str(), link.c_str()) != 0) Fail("no second name");
  TID3Engine engine;
  engine.SetFileName(path);
  try {
    engine.SetActive(true);
  } catch (const EID3Error&) {
    ::unlink(link.c_str());
    return 0;  // a damaged tag: nothing can be written from it
  }
  if (!engine.Active()) Fail("the copy did not open");
  EditTag(engine, edits);

  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  if (limited) {
    rlimit lower = old;
    lower.rlim_cur = original.size() + limitExtra;
    ::setrlimit(RLIMIT_FSIZE, &lower);
  }
  bool failed = false;
  try {
    if (operation != 1) engine.WriteTag();
    if (operation != 0) engine.EraseTag();
  } catch (const EID3Error&) {
    failed = true;
  }
  ::setrlimit(RLIMIT_FSIZE, &old);
  engine.SetActive(false);

  const std::string now = ReadAll(path);
  const bool restKept = now.size() >= rest.size() && now.compare(now.size() - rest.size(), rest.size(), rest) == 0;
  if (failed && operation != 2 && now != original) Fail("a failed write changed the file");
  if (!restKept) Fail("bytes after the declared tag were lost");
  if (!failed && operation != 0 && now != rest) Fail("erasing the tag changed the bytes after it");
  if (secondName && ReadAll(link) != now) Fail("the second name lost the file");
  if (EntriesIn(folders.temp) != 0 || EntriesIn(folders.root) != (secondName ? 3u : 2u))
    Fail("a temporary file was left behind");
  ::unlink(link.c_str());
  return 0;
}
