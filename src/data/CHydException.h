#pragma once
#include <cstdint>
#include <string>

// The error record of the data library: a code and a text for the user, copied by value.
struct CHydException {
  enum Code : int32_t {
    none = 0,
    endOfFile = 1,
    fileNotFound = 2,
    fileNotOpened = 3,
    accessDenied = 4,
    badRecordLength = 5,
    generic = 6,
  };

  int32_t code = none;
  std::string message;

  CHydException() = default;
  CHydException(int32_t c, std::string m) : code(c), message(std::move(m)) {}

  void Set(int32_t c, std::string m) {
    code = c;
    message = std::move(m);
  }
  void Clear() {
    code = none;
    message.clear();
  }
  // Copies this status into an optional out-parameter.
  void CopyTo(CHydException *out) const {
    if (!out)
      return;
    out->code = code;
    // Success is by far the common case on a walk: no text to copy then.
    if (!(message.empty() && out->message.empty()))
      out->message = message;
  }

  // Maps a file-level platform failure (an errno value); 0 leaves the record unchanged.
  void SetFromFileError(int err);
  // Maps a buffered-stream failure: end of file stays end of file, everything else is code 6.
  void SetFromStreamError(int err, bool atEnd);
};
