#pragma once
// Text encodings met in tags, decoded to and from UTF-8.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

enum class TID3TextEncoding { Latin1 = 0, Utf16 = 1, Utf16BE = 2, Utf8 = 3 };

// Encoding bytes outside 0..3 read as ISO-8859-1.
TID3TextEncoding TextEncodingFromByte(unsigned char value);

std::string Latin1ToUtf8(std::string_view bytes);
// Code points ISO-8859-1 cannot hold (and invalid UTF-8) become "?".
std::string Utf8ToLatin1(std::string_view text);

// Decodes text in the encoding from bytes, up to its terminator (one zero byte, or one zero
// 16-bit unit at an even offset for UTF-16) or the end. Returns the UTF-8 text; consumed
// receives the bytes used, terminator included. Invalid sequences become U+FFFD.
std::string DecodeTerminatedText(std::string_view bytes, TID3TextEncoding encoding,
                                 std::size_t* consumed = nullptr);

// Removes leading and trailing code points up to 32 (blanks and control characters).
std::string TrimControl(std::string_view text);

bool HasHighByte(std::string_view text);

// The text with every byte that is not part of valid UTF-8 replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

// The year of a recording time ("2004-05-01" gives "2004"): its first four characters when they
// are digits, else nothing. Newer tags keep only the recording time where older ones had a year.
std::optional<std::string> YearOfRecordingTime(const std::optional<std::string>& recorded);
