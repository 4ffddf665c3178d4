// The peer reader of the tag benchmarks: for each file, title, artist and album as TagLib
// reads them from the MPEG file's tags (no audio properties), one TAB-separated line.
#include <taglib/mpegfile.h>
#include <taglib/tag.h>

#include <cstdio>

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    TagLib::MPEG::File file(argv[i], false);
    const TagLib::Tag* tag = file.isValid() ? file.tag() : nullptr;
    if (!tag) {
      std::printf("%s\t-\t-\t-\n", argv[i]);
      continue;
    }
    std::printf("%s\t%s\t%s\t%s\n", argv[i], tag->title().toCString(true), tag->artist().toCString(true),
                tag->album().toCString(true));
  }
  return 0;
}
