#include "app/TFontConfigWarmUp.h"

#include <dlfcn.h>

#include <system_error>

TFontConfigWarmUp::TFontConfigWarmUp() {
#ifdef RTLD_NOLOAD
  // Only a library the toolkit already brought in: loading one it does not use would be waste.
  library_ = ::dlopen("libfontconfig.so.1", RTLD_LAZY | RTLD_NOLOAD);
#endif
  if (library_ == nullptr) return;
  using TInit = int (*)();
  const auto init = reinterpret_cast<TInit>(::dlsym(library_, "FcInit"));
  if (init == nullptr) return;
  try {
    worker_ = std::thread([init] { init(); });
  } catch (const std::system_error&) {
    // No thread to be had: Qt reads the configuration itself, as it always could.
  }
}

TFontConfigWarmUp::~TFontConfigWarmUp() {
  if (worker_.joinable()) worker_.join();
  if (library_ != nullptr) ::dlclose(library_);
}
