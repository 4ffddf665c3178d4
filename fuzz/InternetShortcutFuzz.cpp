// fuzz-seconds: 5
// Reads arbitrary bytes as the product link file: any text gives an address or nothing, and only
// a plain web address is ever accepted for opening.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "help/UnitInternetShortcut.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string url = InternetShortcutUrl(text);
  if (url.size() > size) std::abort();
  if (IsWebAddress(url)) {
    for (const char c : url) {
      if (static_cast<unsigned char>(c) <= 0x20) std::abort();
    }
  }
  return 0;
}
