#include "base/Unicode.h"

#include "base/Win.h"

#include <algorithm>

namespace {

// Converts in slices of at most Slice input units so that no length passed to the API
// overflows an int. Cut(pos, n) shortens a slice that would split a character; Convert(input,
// count, output, size) is the API call, asked for the size first.
template <class TOut, class TIn, class TCut, class TConvert>
TOut ConvertInSlices(TIn input, size_t slice, TCut cut, TConvert convert) {
  TOut output;
  size_t pos = 0;
  while (pos < input.size()) {
    const size_t n = cut(pos, std::min(slice, input.size() - pos));
    const int need = convert(input.data() + pos, static_cast<int>(n), nullptr, 0);
    if (need <= 0) break;
    const size_t old = output.size();
    output.resize(old + static_cast<size_t>(need));
    convert(input.data() + pos, static_cast<int>(n), output.data() + old, need);
    pos += n;
  }
  return output;
}

std::wstring Decode(std::string_view bytes, unsigned codePage) {
  auto cut = [&](size_t pos, size_t n) {
    // Never split a UTF-8 sequence between two slices.
    if (codePage == CP_UTF8)
      while (pos + n < bytes.size() && n > 1 && (static_cast<unsigned char>(bytes[pos + n]) & 0xC0) == 0x80) --n;
    return n;
  };
  auto convert = [&](const char* in, int count, wchar_t* out, int size) {
    return ::MultiByteToWideChar(codePage, 0, in, count, out, size);
  };
  return ConvertInSlices<std::wstring>(bytes, 1u << 28, cut, convert);
}

std::string Encode(std::wstring_view text, unsigned codePage) {
  auto cut = [&](size_t pos, size_t n) {
    // Never split a surrogate pair between two slices.
    if (pos + n < text.size() && n > 1 && IS_HIGH_SURROGATE(text[pos + n - 1])) --n;
    return n;
  };
  auto convert = [&](const wchar_t* in, int count, char* out, int size) {
    return ::WideCharToMultiByte(codePage, 0, in, count, out, size, nullptr, nullptr);
  };
  return ConvertInSlices<std::string>(text, 1u << 26, cut, convert);
}

}  // namespace

std::wstring AnsiToText(std::string_view bytes, unsigned codePage) {
  return Decode(bytes, codePage == 0 ? ::GetACP() : codePage);
}
std::string TextToAnsi(std::wstring_view text, unsigned codePage) {
  return Encode(text, codePage == 0 ? ::GetACP() : codePage);
}
std::string_view TAnsiEncoder::Encode(std::wstring_view piece) {
  if (FHeld) {
    FJoined.assign(1, FHeld);
    FJoined += piece;
    piece = FJoined;
    FHeld = 0;
  }
  if (!piece.empty() && IS_HIGH_SURROGATE(piece.back())) {
    FHeld = piece.back();
    piece.remove_suffix(1);
  }
  // ASCII is the same bytes in every ANSI code page: those pieces need no call of the system.
  if (FCodePage == 0 && std::all_of(piece.begin(), piece.end(), [](wchar_t c) { return c < 0x80; })) {
    FBytes.resize(piece.size());
    std::transform(piece.begin(), piece.end(), FBytes.begin(), [](wchar_t c) { return static_cast<char>(c); });
  } else {
    FBytes = TextToAnsi(piece, FCodePage);
  }
  return FBytes;
}

std::string_view TAnsiEncoder::Finish() {
  FBytes = FHeld ? TextToAnsi(std::wstring_view(&FHeld, 1), FCodePage) : std::string();
  FHeld = 0;
  return FBytes;
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
