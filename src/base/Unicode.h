#pragma once
// Conversions between text (UTF-16) and byte strings; the one place that does them.
#include <string>
#include <string_view>

// Byte string in the system's ANSI code page (or the given one) to text, and back.
// Bytes that the code page cannot map become the system's replacement character.
std::wstring AnsiToText(std::string_view bytes, unsigned codePage = 0);
std::string TextToAnsi(std::wstring_view text, unsigned codePage = 0);

// True when every character of the text has a byte form of its own in the code page (the ANSI
// code page by default): written in it, nothing would become "?" or a look-alike. Code pages
// that cannot report this (UTF-7, the ISO-2022 family) never fit.
bool TextFitsCodePage(std::wstring_view text, unsigned codePage = 0);

// Text to the ANSI code page (or the given one) in pieces as they come, so that a large text
// needs no copy of it in bytes: a surrogate pair cut between two pieces is converted whole.
class TAnsiEncoder {
public:
  explicit TAnsiEncoder(unsigned codePage = 0) : FCodePage(codePage) {}
  // The bytes of a piece; they stay valid until the next call.
  std::string_view Encode(std::wstring_view piece);
  // The bytes of what is left at the end (half a surrogate pair).
  std::string_view Finish();

private:
  unsigned FCodePage;
  wchar_t FHeld = 0;  // a high surrogate that waits for the next piece
  std::string FBytes;
  std::wstring FJoined;
};

std::wstring Utf8ToText(std::string_view bytes);
std::string TextToUtf8(std::wstring_view text);
