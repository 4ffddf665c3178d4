#include "info/UnitTagLibSource.h"

#include "info/UnitMPEGProperties.h"

#include <taglib/aifffile.h>
#include <taglib/apefile.h>
#include <taglib/asffile.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2frame.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpcfile.h>
#include <taglib/mpegfile.h>
#include <taglib/oggfile.h>
#include <taglib/oggflacfile.h>
#include <taglib/opusfile.h>
#include <taglib/speexfile.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/tdebuglistener.h>
#include <taglib/tfilestream.h>
#include <taglib/tpropertymap.h>
#include <taglib/trueaudiofile.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <taglib/wavpackfile.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <mutex>
#include <unordered_map>

namespace {

// Damaged files make the reader talk on stderr; the list shows such a file as tag-less instead.
class TQuietListener final : public TagLib::DebugListener {
 public:
  void printMessage(const TagLib::String&) override {}
};

void QuietenReader() {
  static TQuietListener listener;
  static const bool installed = (TagLib::setDebugListener(&listener), true);
  (void)installed;
}

std::string ID3v2Format(TagLib::ID3v2::Tag* tag) {
  return "ID3v2." + std::to_string(tag->header()->majorVersion());
}

// The extension of a file name in capitals; empty when the name has none.
std::string UpperExtensionOf(const std::string& path) {
  const auto dot = path.rfind('.');
  const auto slash = path.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
  std::string extension = path.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  return extension;
}

bool IsMPEGExtension(std::string_view upper) { return upper == "MP3" || upper == "MP2" || upper == "MPGA"; }

// The reader of a container, chosen by the file's extension as a type list does; no reader for
// an extension it does not know. Cheaper than the reader's general file factory, which converts
// and compares the name in wide strings for every file.
std::unique_ptr<TagLib::File> FileForExtension(TagLib::IOStream* stream, const std::string& extension, bool withProperties) {
  const auto style = TagLib::AudioProperties::Fast;
  TagLib::ID3v2::FrameFactory* frames = TagLib::ID3v2::FrameFactory::instance();
  if (IsMPEGExtension(extension)) {
    return std::make_unique<TagLib::MPEG::File>(stream, frames, withProperties, style);
  }
  if (extension == "FLAC") return std::make_unique<TagLib::FLAC::File>(stream, frames, withProperties, style);
  if (extension == "OGG") return std::make_unique<TagLib::Ogg::Vorbis::File>(stream, withProperties, style);
  if (extension == "OPUS") return std::make_unique<TagLib::Ogg::Opus::File>(stream, withProperties, style);
  if (extension == "SPX") return std::make_unique<TagLib::Ogg::Speex::File>(stream, withProperties, style);
  if (extension == "M4A" || extension == "M4B" || extension == "M4P" || extension == "MP4" || extension == "M4V") {
    return std::make_unique<TagLib::MP4::File>(stream, withProperties, style);
  }
  if (extension == "WAV") return std::make_unique<TagLib::RIFF::WAV::File>(stream, withProperties, style);
  if (extension == "AIF" || extension == "AIFF" || extension == "AIFC") {
    return std::make_unique<TagLib::RIFF::AIFF::File>(stream, withProperties, style);
  }
  if (extension == "APE") return std::make_unique<TagLib::APE::File>(stream, withProperties, style);
  if (extension == "WV") return std::make_unique<TagLib::WavPack::File>(stream, withProperties, style);
  if (extension == "MPC") return std::make_unique<TagLib::MPC::File>(stream, withProperties, style);
  if (extension == "TTA") return std::make_unique<TagLib::TrueAudio::File>(stream, frames, withProperties, style);
  if (extension == "WMA" || extension == "ASF") {
    return std::make_unique<TagLib::ASF::File>(stream, withProperties, style);
  }
  return nullptr;
}

// The file opened for reading when it is a regular file; a pipe, device or folder is not read
// (opening a pipe would wait for a writer). Null when it cannot be opened.
std::unique_ptr<TagLib::IOStream> OpenRegularFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  // The stream takes the descriptor over and closes it.
  auto stream = std::make_unique<TagLib::FileStream>(fd, true);
  if (!stream->isOpen()) return nullptr;
  return stream;
}


// Which of the container's tags its properties came from.
std::string TagFormatOf(TagLib::File& file) {
  if (dynamic_cast<TagLib::Ogg::File*>(&file) != nullptr) return "Vorbis comments";
  if (dynamic_cast<TagLib::MP4::File*>(&file) != nullptr) return "MP4";
  if (dynamic_cast<TagLib::ASF::File*>(&file) != nullptr) return "ASF";
  if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(&file)) {
    if (flac->hasXiphComment()) return "Vorbis comments";
    if (flac->hasID3v2Tag()) return ID3v2Format(flac->ID3v2Tag());
    return flac->hasID3v1Tag() ? "ID3v1" : "";
  }
  if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::File*>(&file)) {
    if (wav->hasID3v2Tag()) return ID3v2Format(wav->ID3v2Tag());
    return wav->hasInfoTag() ? "RIFF INFO" : "";
  }
  if (auto* aiff = dynamic_cast<TagLib::RIFF::AIFF::File*>(&file)) {
    return aiff->hasID3v2Tag() ? ID3v2Format(aiff->tag()) : "";
  }
  if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(&file)) {
    if (mpeg->hasID3v2Tag()) return ID3v2Format(mpeg->ID3v2Tag());
    if (mpeg->hasAPETag()) return "APE";
    return mpeg->hasID3v1Tag() ? "ID3v1" : "";
  }
  if (auto* ape = dynamic_cast<TagLib::APE::File*>(&file)) return ape->hasAPETag() ? "APE" : "ID3v1";
  if (auto* wv = dynamic_cast<TagLib::WavPack::File*>(&file)) return wv->hasAPETag() ? "APE" : "ID3v1";
  if (auto* mpc = dynamic_cast<TagLib::MPC::File*>(&file)) return mpc->hasAPETag() ? "APE" : "ID3v1";
  if (auto* tta = dynamic_cast<TagLib::TrueAudio::File*>(&file)) {
    return tta->hasID3v2Tag() ? ID3v2Format(tta->ID3v2Tag()) : "ID3v1";
  }
  return "";
}

std::string AiffCodec(const TagLib::RIFF::AIFF::Properties& props) {
  if (!props.isAiffC()) return "PCM";
  const TagLib::ByteVector type = props.compressionType();
  // Uncompressed AIFF-C: big- or little-endian integers, or floating point samples.
  for (const char* plain : {"NONE", "sowt", "twos", "fl32", "fl64"}) {
    if (type == TagLib::ByteVector(plain)) return "PCM";
  }
  return "";
}

// The codec's short name and its bits per sample, where the format has one.
void CodecOf(TagLib::File& file, TAudioProperties& out) {
  TagLib::AudioProperties* props = file.audioProperties();
  if (auto* mpeg = dynamic_cast<TagLib::MPEG::Properties*>(props)) {
    // Layer 0 means no valid frame header was found: no codec rather than "MP0".
    if (mpeg->layer() >= 1 && mpeg->layer() <= 3) out.Codec = "MP" + std::to_string(mpeg->layer());
  } else if (auto* flac = dynamic_cast<TagLib::FLAC::Properties*>(props)) {
    out.Codec = "FLAC";
    out.BitsPerSample = flac->bitsPerSample();
  } else if (dynamic_cast<TagLib::Ogg::Vorbis::File*>(&file) != nullptr) {
    out.Codec = "Vorbis";
  } else if (dynamic_cast<TagLib::Ogg::Opus::File*>(&file) != nullptr) {
    out.Codec = "Opus";
  } else if (dynamic_cast<TagLib::Ogg::Speex::File*>(&file) != nullptr) {
    out.Codec = "Speex";
  } else if (auto* mp4 = dynamic_cast<TagLib::MP4::Properties*>(props)) {
    if (mp4->codec() == TagLib::MP4::Properties::AAC) out.Codec = "AAC";
    if (mp4->codec() == TagLib::MP4::Properties::ALAC) {
      out.Codec = "ALAC";
      out.BitsPerSample = mp4->bitsPerSample();
    }
  } else if (auto* wav = dynamic_cast<TagLib::RIFF::WAV::Properties*>(props)) {
    // 1: integer PCM, 3: floating point, 0xFFFE: the extensible header of multichannel PCM.
    if (wav->format() == 1 || wav->format() == 3 || wav->format() == 0xFFFE) {
      out.Codec = "PCM";
      out.BitsPerSample = wav->bitsPerSample();
    }
  } else if (auto* aiff = dynamic_cast<TagLib::RIFF::AIFF::Properties*>(props)) {
    out.Codec = AiffCodec(*aiff);
    if (!out.Codec.empty()) out.BitsPerSample = aiff->bitsPerSample();
  } else if (dynamic_cast<TagLib::ASF::Properties*>(props) != nullptr) {
    out.Codec = "WMA";
  } else if (auto* ape = dynamic_cast<TagLib::APE::Properties*>(props)) {
    out.Codec = "APE";
    out.BitsPerSample = ape->bitsPerSample();
  } else if (auto* wv = dynamic_cast<TagLib::WavPack::Properties*>(props)) {
    out.Codec = "WavPack";
    out.BitsPerSample = wv->bitsPerSample();
  } else if (dynamic_cast<TagLib::MPC::Properties*>(props) != nullptr) {
    out.Codec = "Musepack";
  } else if (auto* tta = dynamic_cast<TagLib::TrueAudio::Properties*>(props)) {
    out.Codec = "TTA";
    out.BitsPerSample = tta->bitsPerSample();
  }
  if (out.BitsPerSample < 0) out.BitsPerSample = 0;
}

TAudioProperties PropertiesOf(TagLib::File& file) {
  TAudioProperties out;
  const TagLib::AudioProperties* props = file.audioProperties();
  if (props == nullptr) return out;
  out.LengthMs = std::max(0, props->lengthInMilliseconds());
  out.BitrateKbps = std::max(0, props->bitrate());
  out.SampleRate = std::max(0, props->sampleRate());
  out.Channels = std::max(0, props->channels());
  CodecOf(file, out);
  return out;
}

// The reader's table of property keys and ID3v2 frame identifiers, which it keeps to itself.
struct TID3v2KeyTable : TagLib::ID3v2::Frame {
  using TagLib::ID3v2::Frame::keyToFrameID;
};

// The frame identifier of a property key ("" for none). The table is searched key by key in
// wide strings, which costs more than reading a small file's tag; a library repeats the same
// few keys, so the answers are kept (up to a bound, since a file can make up any key).
std::string FrameIdOf(const TagLib::String& key) {
  static std::unordered_map<std::string, std::string> known;
  static std::mutex knownLock;  // reports read files on several threads
  constexpr std::size_t MaxKnownKeys = 512;
  std::string narrow = key.to8Bit(true);
  const std::lock_guard<std::mutex> lock(knownLock);
  if (const auto it = known.find(narrow); it != known.end()) return it->second;
  const TagLib::ByteVector id = TID3v2KeyTable::keyToFrameID(key);
  std::string frameId = id.size() == 4 ? std::string(id.data(), id.size()) : std::string();
  if (known.size() < MaxKnownKeys) known.emplace(std::move(narrow), frameId);
  return frameId;
}

// The unified properties as ID3v2.4 frames, by the reader's own key table for ID3v2; keys
// without a frame of their own are left out.
std::vector<std::pair<std::string, std::string>> FramesOf(const TagLib::PropertyMap& map) {
  std::vector<std::pair<std::string, std::string>> frames;
  for (const auto& [key, values] : map) {
    if (values.isEmpty()) continue;
    std::string id = FrameIdOf(key);
    if (id.empty()) continue;
    frames.emplace_back(std::move(id), values.front().to8Bit(true));
  }
  return frames;
}

}  // namespace

TTagLibSource::TTagLibSource(std::string path) : path_(std::move(path)) {}

TTagLibSource TTagLibSource::FromBytes(std::string bytes) {
  TTagLibSource source;
  source.bytes_ = std::move(bytes);
  return source;
}

void TTagLibSource::Read(bool withProperties) const {
  QuietenReader();
  tagsRead_ = true;
  propertiesRead_ = propertiesRead_ || withProperties;
  try {
    std::unique_ptr<TagLib::IOStream> stream;
    if (bytes_) {
      stream = std::make_unique<TagLib::ByteVectorStream>(
          TagLib::ByteVector(bytes_->data(), static_cast<unsigned int>(bytes_->size())));
    } else {
      stream = OpenRegularFile(path_);
    }
    if (!stream || !stream->isOpen()) return;
    // A file whose extension does not tell its container (or tells a wrong one) is told by its
    // content; the general factory does that.
    std::unique_ptr<TagLib::File> byName = FileForExtension(stream.get(), UpperExtensionOf(path_), withProperties);
    TagLib::FileRef ref;
    if (!byName || !byName->isValid()) {
      byName.reset();
      stream->seek(0);
      ref = TagLib::FileRef(stream.get(), withProperties, TagLib::AudioProperties::Fast);
    }
    TagLib::File* file = byName ? byName.get() : ref.file();
    if (file == nullptr || !file->isValid()) return;
    if (frames_.empty()) {
      frames_ = FramesOf(file->properties());
      tagFormat_ = frames_.empty() ? std::string() : TagFormatOf(*file);
    }
    if (withProperties) properties_ = PropertiesOf(*file);
  } catch (const std::exception&) {
    // Out of memory on a hostile file: what was read stays, the rest is missing.
  }
}

std::optional<std::string> TTagLibSource::FrameText(std::string_view id) const {
  for (const auto& [frameId, text] : Frames()) {
    if (frameId == id) return text;
  }
  return std::nullopt;
}

std::string TTagLibSource::TagFormat() const {
  Frames();
  return tagFormat_;
}

bool IsMPEGAudioName(const std::string& path) { return IsMPEGExtension(UpperExtensionOf(path)); }

const TAudioProperties& TTagLibSource::AudioProperties() const {
  if (!propertiesRead_ && !bytes_ && IsMPEGAudioName(path_)) {
    if (auto props = ReadMPEGFileProperties(path_)) {
      properties_ = std::move(*props);
      propertiesRead_ = true;
    }
  }
  if (!propertiesRead_) Read(true);
  return properties_;
}

const std::vector<std::pair<std::string, std::string>>& TTagLibSource::Frames() const {
  if (!tagsRead_) Read(false);
  return frames_;
}
