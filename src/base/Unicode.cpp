#include "base/Unicode.h"

#include "base/Win.h"

#include <algorithm>

namespace {

std::wstring Decode(std::string_view bytes, unsigned codePage) {
  std::wstring text;
  // Converted in slices so that no length passed to the API overflows an int.
  constexpr size_t kSlice = 1u << 28;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t n = std::min(kSlice, bytes.size() - pos);
    // Never split a UTF-8 sequence between two slices.
    if (codePage == CP_UTF8)
      while (pos + n < bytes.size() && n > 1 && (static_cast<unsigned char>(bytes[pos + n]) & 0xC0) == 0x80) --n;
    int need = ::MultiByteToWideChar(codePage, 0, bytes.data() + pos, static_cast<int>(n), nullptr, 0);
    if (need <= 0) break;
    size_t old = text.size();
    text.resize(old + static_cast<size_t>(need));
    ::MultiByteToWideChar(codePage, 0, bytes.data() + pos, static_cast<int>(n), text.data() + old, need);
    pos += n;
  }
  return text;
}

std::string Encode(std::wstring_view text, unsigned codePage) {
  std::string bytes;
  constexpr size_t kSlice = 1u << 26;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t n = std::min(kSlice, text.size() - pos);
    // Never split a surrogate pair between two slices.
    if (pos + n < text.size() && n > 1 && IS_HIGH_SURROGATE(text[pos + n - 1])) --n;
    int need = ::WideCharToMultiByte(codePage, 0, text.data() + pos, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
    if (need <= 0) break;
    size_t old = bytes.size();
    bytes.resize(old + static_cast<size_t>(need));
    ::WideCharToMultiByte(codePage, 0, text.data() + pos, static_cast<int>(n), bytes.data() + old, need, nullptr,
                          nullptr);
    pos += n;
  }
  return bytes;
}

}  // namespace

std::wstring AnsiToText(std::string_view bytes, unsigned codePage) {
  return Decode(bytes, codePage == 0 ? ::GetACP() : codePage);
}
std::string TextToAnsi(std::wstring_view text, unsigned codePage) {
  return Encode(text, codePage == 0 ? ::GetACP() : codePage);
}
std::wstring Utf8ToText(std::string_view bytes) { return Decode(bytes, CP_UTF8); }
std::string TextToUtf8(std::wstring_view text) { return Encode(text, CP_UTF8); }

bool TextFitsCodePage(std::wstring_view text, unsigned codePage) {
  if (codePage == 0) codePage = ::GetACP();
  // UTF-8 (which may be the ANSI code page) refuses the best-fit flag and the used-default
  // report: it holds every character, and only the halves of a broken surrogate pair fail.
  bool utf8 = codePage == CP_UTF8;
  constexpr size_t kSlice = 1u << 26;  // no length passed to the API overflows an int
  size_t pos = 0;
  while (pos < text.size()) {
    size_t n = std::min(kSlice, text.size() - pos);
    if (pos + n < text.size() && n > 1 && IS_HIGH_SURROGATE(text[pos + n - 1])) --n;  // keep a pair whole
    BOOL usedDefault = FALSE;
    if (::WideCharToMultiByte(codePage, utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS, text.data() + pos,
                              static_cast<int>(n), nullptr, 0, nullptr, utf8 ? nullptr : &usedDefault) <= 0 ||
        usedDefault)
      return false;
    pos += n;
  }
  return true;
}
