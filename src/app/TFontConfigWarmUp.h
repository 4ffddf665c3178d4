#pragma once
// Reading the system's font configuration (dozens of XML files and the font caches) is the
// largest single piece of a start, and Qt does it on the main thread at the first text it
// measures. Started at once on another core, it is done by the time Qt asks for it: the font
// library builds its configuration once and hands every caller the same one.

#include <thread>

class TFontConfigWarmUp {
 public:
  // Does nothing when the process does not use the font configuration library. Make it after
  // the program's last change to its environment: the library reads the environment on its
  // thread, and a variable set meanwhile could move the table it is reading.
  TFontConfigWarmUp();
  ~TFontConfigWarmUp();

  TFontConfigWarmUp(const TFontConfigWarmUp&) = delete;
  TFontConfigWarmUp& operator=(const TFontConfigWarmUp&) = delete;

 private:
  void* library_ = nullptr;
  std::thread worker_;
};
