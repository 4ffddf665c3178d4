#include "info/UnitInfoValues.h"

#include <memory>
#include <optional>
#include <utility>

#include "id3/ID3Engine.h"
#include "info/UnitFileInfo.h"
#include "info/UnitTagLibSource.h"
#include "info/UnitTagSource.h"

namespace {

TShellTypeNameProvider& ShellTypeNameProvider() {
  static TShellTypeNameProvider provider;
  return provider;
}

constexpr std::size_t MaxTypeNameLength = 80;

// Cuts a UTF-8 text after `limit` characters without splitting one.
std::string CutCharacters(std::string text, std::size_t limit) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0U) != 0x80U) {
      if (count == limit) {
        text.resize(i);
        break;
      }
      ++count;
    }
  }
  return text;
}

enum class TValueStyle { List, Report };

TFileTime TimeFor(std::string_view code, const TFileInfo& info) {
  if (code == "0CRE") {
    return info.Created;
  }
  return code == "0MOD" ? info.Modified : info.Accessed;
}

// The value of a file-system code; no value for a "0" code nobody knows.
// `known` (optional) keeps the look-up between calls for one path: the report takes sizes, times
// and attributes from a single look-up per file.
std::optional<std::string> FileSystemValue(const std::string& path, std::string_view code,
                                           TValueStyle style, const TLocaleFormat& fmt,
                                           std::optional<TFileInfo>* known = nullptr) {
  if (code == "0NAM") {
    return FileNamePart(path);
  }
  if (code == "0LOC") {
    return FolderPart(path);
  }
  if (code == "0FUL") {
    return path;
  }
  if (code != "0TYP" && code != "0SIZ" && code != "0CRE" && code != "0MOD" && code != "0ACC" &&
      code != "0ATT") {
    return std::nullopt;
  }
  if (known != nullptr && !known->has_value()) *known = LookUpFile(path);
  const TFileInfo info = known != nullptr ? **known : LookUpFile(path);
  if (code == "0TYP") {
    // A file that is gone has no type, whatever its name suggests.
    return info.Found ? GetShellTypeName(path) : std::string();
  }
  if (code == "0SIZ") {
    return style == TValueStyle::List ? FormatSizeKB(ListSizePattern, info.Size, fmt)
                                      : FormatFileSize(info.Size, fmt);
  }
  if (code == "0ATT") {
    return FormatAttributes(info.Attributes);
  }
  const TFileTime time = TimeFor(code, info);
  return style == TValueStyle::List ? FormatFileTime(time, ListTimePattern, fmt)
                                    : FormatReportFileTime(time, fmt);
}

std::string AudioValue(const TTagSource& source, std::string_view code, const TLocaleFormat& fmt) {
  if (code == "2TAG") return source.TagFormat();
  const TAudioProperties& props = source.AudioProperties();
  if (code == "2DUR") return FormatDuration(props.LengthMs);
  if (code == "2BIT") return props.BitrateKbps > 0 ? std::to_string(props.BitrateKbps) + " kbps" : "";
  if (code == "2SMP") return props.SampleRate > 0 ? FormatNumber("%.0n Hz", props.SampleRate, fmt) : "";
  if (code == "2CHN") return FormatChannels(props.Channels);
  if (code == "2BPS") return props.BitsPerSample > 0 ? std::to_string(props.BitsPerSample) + "-bit" : "";
  return props.Codec;
}

// The value of a tag or audio code from the file's tag source; no value for a "1" code nobody
// knows. A missing frame or field gives the empty text.
std::optional<std::string> TagValue(const TTagSource& source, std::string_view code,
                                    const TLocaleFormat& fmt) {
  if (code.starts_with('1')) {
    const auto field = source.BasicField(code);
    if (!field) return std::nullopt;
    return field->value_or(std::string());
  }
  if (IsAudioInfoCode(code)) return AudioValue(source, code, fmt);
  return source.FrameText(code).value_or(std::string());
}

void CloseQuietly(TID3Engine& engine) noexcept {
  try {
    engine.SetActive(false);
  } catch (...) {
    // Closing only releases the stream; nothing is left to undo.
  }
}

// Points the engine at a path and opens it; false when the file could not be opened or read.
bool OpenQuietly(TID3Engine& engine, const std::string& path) noexcept {
  try {
    engine.SetActive(false);
    engine.SetFileName(path);
    if (!path.empty()) {
      engine.SetActive(true);
    }
    return true;
  } catch (...) {
    CloseQuietly(engine);
    return false;
  }
}

std::optional<std::string> ReportValue(const TTagSource& source, const std::string& path,
                                       std::string_view code, const TLocaleFormat& fmt,
                                       std::optional<TFileInfo>& known) {
  if (code.starts_with('0')) {
    return FileSystemValue(path, code, TValueStyle::Report, fmt, &known);
  }
  return TagValue(source, code, fmt);
}

// source: null when the file's tag could not be read.
std::string ListValue(const TTagSource* source, const std::string& path, std::string_view code,
                      const TLocaleFormat& fmt) {
  std::string result(NotAvailableText);
  if (code.starts_with('0')) {
    if (auto value = FileSystemValue(path, code, TValueStyle::List, fmt)) {
      result = std::move(*value);
    }
  } else if (source == nullptr) {
    // No tag to ask.
  } else if (code.starts_with('1')) {
    if (auto value = TagValue(*source, code, fmt)) {
      result = std::move(*value);
    }
  } else {
    try {
      if (auto value = TagValue(*source, code, fmt)) {
        result = std::move(*value);
      }
    } catch (const std::exception&) {
      // A frame that cannot be read shows as missing.
    }
  }
  if (result.empty()) {
    result = NotAvailableText;
  }
  return CutForDisplay(std::move(result));
}

}  // namespace

std::string CutForDisplay(std::string text) {
  const std::size_t before = text.size();
  text = CutCharacters(std::move(text), MaxDisplayCharacters);
  if (text.size() < before) {
    text += "...";
  }
  return text;
}

std::string_view InfoCodeOf(std::string_view line) { return line.substr(0, 4); }

std::string_view InfoCaptionOf(std::string_view line) {
  return line.size() > 5 ? line.substr(5) : std::string_view();
}

std::string GetInfoValue(TID3Engine& engine, std::string_view code, const TLocaleFormat& fmt) {
  if (code.starts_with('0')) return ListValue(nullptr, engine.FileName(), code, fmt);
  const std::unique_ptr<TTagSource> source = MakeTagSource(engine);
  return ListValue(source.get(), engine.FileName(), code, fmt);
}

std::string GetInfoValue(const TTagSource& source, const std::string& path, std::string_view code,
                         const TLocaleFormat& fmt) {
  return ListValue(&source, path, code, fmt);
}

bool IsAudioInfoCode(std::string_view code) {
  return code == "2DUR" || code == "2BIT" || code == "2SMP" || code == "2CHN" || code == "2BPS" ||
         code == "2COD" || code == "2TAG";
}

bool IsNumericInfoCode(std::string_view code) {
  return code == "2DUR" || code == "2BIT" || code == "2SMP" || code == "2CHN" || code == "2BPS";
}

std::int64_t GetSortNumber(const std::string& path, std::string_view code) {
  // The stream's properties never depend on the tag, so the tag is not read for them.
  try {
    const TTagLibSource source(path);
    const TAudioProperties& props = source.AudioProperties();
    if (code == "2DUR") return props.LengthMs;
    if (code == "2BIT") return props.BitrateKbps;
    if (code == "2SMP") return props.SampleRate;
    if (code == "2CHN") return props.Channels;
    if (code == "2BPS") return props.BitsPerSample;
  } catch (...) {
    // Out of memory: the file sorts as one that tells nothing.
  }
  return 0;
}

std::string FormatDuration(int milliseconds) {
  if (milliseconds <= 0) return std::string();
  const int total = static_cast<int>((static_cast<std::int64_t>(milliseconds) + 500) / 1000);
  const int hours = total / 3600;
  const int minutes = total / 60 % 60;
  const int seconds = total % 60;
  auto twoDigits = [](int n) { return std::string(n < 10 ? "0" : "") + std::to_string(n); };
  if (hours > 0) return std::to_string(hours) + ":" + twoDigits(minutes) + ":" + twoDigits(seconds);
  return std::to_string(minutes) + ":" + twoDigits(seconds);
}

std::string FormatChannels(int channels) {
  if (channels <= 0) return std::string();
  if (channels == 1) return "Mono";
  if (channels == 2) return "Stereo";
  return std::to_string(channels) + " channels";
}

std::string GetFileInfoValue(const std::string& path, std::string_view code,
                             const TLocaleFormat& fmt) {
  if (!code.starts_with('0')) {
    return std::string(NotAvailableText);
  }
  auto value = FileSystemValue(path, code, TValueStyle::List, fmt);
  return value && !value->empty() ? std::move(*value) : std::string(NotAvailableText);
}

std::vector<std::string> GetRowValues(TID3Engine& engine, const std::string& path,
                                      const TStringList& used, const TLocaleFormat& fmt) {
  std::vector<std::string> values;
  try {
    values.reserve(used.size());
    // When the file cannot be opened the engine holds no tag of it (or, should closing the
    // previous file have failed, another file's): tag codes then show as missing.
    const bool tagRead = OpenQuietly(engine, path) && engine.FileName() == path;
    const std::unique_ptr<TTagSource> source = tagRead ? MakeTagSource(engine) : nullptr;
    for (const std::string& line : used) {
      try {
        values.push_back(ListValue(source.get(), path, InfoCodeOf(line), fmt));
      } catch (const std::exception&) {
        values.emplace_back(NotAvailableText);
      }
    }
  } catch (...) {
    // Out of memory: a row keeps one text per column so the list stays aligned.
    values.resize(used.size(), std::string(NotAvailableText));
  }
  CloseQuietly(engine);
  return values;
}

void VisitReportValues(TID3Engine& engine, const std::string& path, const TStringList& columns,
                       const TLocaleFormat& fmt, const TReportValueVisitor& visit) {
  if (OpenQuietly(engine, path) && engine.FileName() == path) {
    try {
      // The open already looked the file up: sizes, times and attributes come from there.
      std::optional<TFileInfo> known;
      if (const TID3FileStream* stream = engine.Stream()) known = FileInfoOf(path, stream->Status());
      const std::unique_ptr<TTagSource> source = MakeTagSource(engine);
      for (const std::string& line : columns) {
        if (auto value = ReportValue(*source, path, InfoCodeOf(line), fmt, known)) {
          visit(InfoCaptionOf(line), std::move(*value));
        }
      }
    } catch (...) {
      // The file's remaining columns add nothing; what was handed on stays.
    }
  }
  CloseQuietly(engine);
}

std::vector<TReportValue> GetReportValues(TID3Engine& engine, const std::string& path,
                                          const TStringList& columns, const TLocaleFormat& fmt) {
  std::vector<TReportValue> values;
  VisitReportValues(engine, path, columns, fmt, [&values](std::string_view caption, std::string&& value) {
    values.push_back(TReportValue{std::string(caption), std::move(value)});
  });
  return values;
}

void SetShellTypeNameProvider(TShellTypeNameProvider provider) {
  ShellTypeNameProvider() = std::move(provider);
}

std::string GetShellTypeName(const std::string& path) {
  const TShellTypeNameProvider& provider = ShellTypeNameProvider();
  if (!provider) {
    return std::string();
  }
  try {
    return CutCharacters(provider(path), MaxTypeNameLength);
  } catch (...) {
    return std::string();
  }
}
