#pragma once
// Conversions between text (UTF-16) and byte strings; the one place that does them.
#include <cstdint>
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

// How the bytes of a received datagram become text.
enum TCharEncoding : std::uint8_t {
  chAnsi,  // the system's ANSI code page, as AnsiToText
  chUtf8,  // UTF-8; every ill-formed sequence shows as U+FFFD
  chAuto   // UTF-8 when the bytes are valid UTF-8 with at least one multi-byte sequence, else ANSI
};

// The text of a datagram. Never raises and never drops a byte: in UTF-8 each maximal ill-formed
// subpart (an overlong form, a surrogate, a code point above U+10FFFF, a stray continuation byte,
// a cut sequence, C0, C1, F5-FF) becomes one U+FFFD. A zero byte is one U+0000 in every mode.
std::wstring DecodeDatagram(std::string_view bytes, TCharEncoding encoding);

// Characters of the text that the ANSI code page (or the given one) cannot write as themselves
// (they would become "?" or a look-alike); a surrogate pair is one character, half a pair one
// too. The first counter of a code page builds its table of 64 K bits (one conversion per
// character, under a millisecond); then a character costs one look-up, an ASCII stretch less.
class TCodePageMisfits {
public:
  explicit TCodePageMisfits(unsigned codePage = 0);
  // Counts the characters of the piece; pieces may cut a surrogate pair.
  void Add(std::wstring_view piece);
  std::int64_t Count() const noexcept { return FCount + (FHeld ? 1 : 0); }

private:
  const std::uint64_t* FFits;  // bit c: character c has a byte form of its own
  bool FPairsFit;              // UTF-8 as the ANSI code page writes every whole surrogate pair
  std::int64_t FCount = 0;
  bool FHeld = false;          // the piece before ended in a high surrogate
};
