#pragma once
// The library's exception base: every library exception carries a message text.
#include <exception>
#include <string>

class Exception : public std::exception {
public:
  explicit Exception(std::wstring message);
  const std::wstring& Message() const noexcept { return FMessage; }
  // UTF-8 form of the message for std::exception users (test output, terminate handler).
  const char* what() const noexcept override { return FWhat.c_str(); }

private:
  std::wstring FMessage;
  std::string FWhat;
};

// Calling an operation that a class leaves abstract.
class EAbstractError : public Exception {
public:
  EAbstractError();
};

// A text or value that cannot be converted: a date or time that does not exist in the
// calendar (month 13, 30 February, minute 60 ...).
class EConvertError : public Exception {
public:
  using Exception::Exception;
};

// A failed Win32 call; the message is the system's text for the error code.
class EOSError : public Exception {
public:
  EOSError(unsigned long errorCode, const std::wstring& context = {});
  unsigned long ErrorCode() const noexcept { return FErrorCode; }

private:
  unsigned long FErrorCode;
};

// Raises EOSError for GetLastError(); context (the failed call) goes in front of the text.
[[noreturn]] void RaiseLastOSError(const std::wstring& context = {});

// The system's message text for a Win32 error code, without the trailing line break.
std::wstring SysErrorMessage(unsigned long errorCode);

// The message of any exception: Message() for ours, what() for the standard ones.
std::wstring ExceptionMessage(const std::exception& e);
