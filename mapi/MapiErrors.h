// Failures of the mail-store layer: Exception for state errors ("MAPI not
// initialized!"), EHeapException for failed MAPI calls.
#pragma once

#include <stdexcept>
#include <string>

#include "mapi/MapiHeaders.h"

class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class EHeapException : public Exception {
 public:
  EHeapException(const std::string& message, HRESULT code) : Exception(message), code_(code) {}
  HRESULT Code() const { return code_; }

 private:
  HRESULT code_;
};

// The system's message text for a code: at most 256 characters, trailing
// control characters, blanks and full stops removed; empty when none.
std::string SystemErrorText(HRESULT hr);

// A failure raises EHeapException with text + "\r\n" + the system's text;
// success and warnings pass.
void CheckForError(HRESULT hr, const std::string& text);

// A property value that came back as an error value (another type than
// `tag`), or none at all, raises as a failed call with the text.
void CheckValue(const SPropValue* value, ULONG tag, const std::string& text);

// The MAPI name of a code ("MAPI_E_NOT_FOUND"), or its hexadecimal text.
std::string MapiErrorName(HRESULT hr);

// The operation's text of a failure: the exception's text up to the
// system's message that CheckForError appends.
std::string FailureReason(const std::exception& e);
