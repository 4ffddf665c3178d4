#pragma once
// Errors the tag engine raises; every message names the file or frame concerned.

#include <stdexcept>

class EID3Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file that exists could not be opened, read or written.
class EID3FileError : public EID3Error {
 public:
  using EID3Error::EID3Error;
};

// A compressed frame holds damaged data (or inflates beyond the allowed size).
class EID3DecompressionError : public EID3Error {
 public:
  using EID3Error::EID3Error;
};
