#include "base/Unicode.h"

#include "base/Win.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <emmintrin.h>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

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
  // ASCII is the same bytes in every ANSI code page and in UTF-8: those pieces need no call of
  // the system.
  if ((FCodePage == 0 || FCodePage == CP_UTF8) && std::all_of(piece.begin(), piece.end(), [](wchar_t c) { return c < 0x80; })) {
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

// ---- datagrams ----

namespace {

// Bytes before the first one that is not ASCII, sixteen at a time.
std::size_t AsciiPrefixLength(const unsigned char* p, std::size_t n) {
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16)
    if (const int high = _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i))))
      return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(high)));
  while (i < n && p[i] < 0x80) ++i;
  return i;
}

// The sequence that starts with the byte p[0] >= 0x80 (n bytes are there): its length when it is
// well-formed, with its code point; otherwise zero, and Skip is the length of its maximal
// ill-formed subpart, which becomes one U+FFFD. The lead byte fixes how many continuation bytes
// follow and the range of the first one, which rules out overlong forms, surrogates and code
// points above U+10FFFF.
struct TSequence {
  int Length = 0;
  int Skip = 1;
  char32_t Code = 0;
};

inline TSequence SequenceAt(const unsigned char* p, std::size_t n) {
  TSequence sequence;
  const unsigned lead = p[0];
  int need = 0;
  unsigned low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    need = 1;
    sequence.Code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    need = 2;
    sequence.Code = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    need = 3;
    sequence.Code = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return sequence;
  }
  std::size_t i = 1;
  for (; i <= static_cast<std::size_t>(need) && i < n && p[i] >= low && p[i] <= high; ++i) {
    sequence.Code = (sequence.Code << 6) | (p[i] & 0x3F);
    low = 0x80;
    high = 0xBF;
  }
  // A broken sequence ends before the byte that broke it; that byte is read again.
  if (i <= static_cast<std::size_t>(need))
    sequence.Skip = static_cast<int>(i);
  else
    sequence.Length = need + 1;
  return sequence;
}

// UTF-8 to UTF-16 into out, which has room for one unit per byte (no sequence gives more units
// than it has bytes). Each maximal ill-formed subpart becomes one U+FFFD; Strict stops at the
// first instead and says so. ASCII goes sixteen bytes at a time: log lines are mostly ASCII.
template <bool Strict>
std::optional<std::size_t> DecodeUtf8(std::string_view bytes, wchar_t* out) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  wchar_t* o = out;
  while (i < n) {
    for (; i + 16 <= n; i += 16, o += 16) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      if (_mm_movemask_epi8(chunk)) break;
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o), _mm_unpacklo_epi8(chunk, _mm_setzero_si128()));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 8), _mm_unpackhi_epi8(chunk, _mm_setzero_si128()));
    }
    for (; i < n && p[i] < 0x80; ++i) *o++ = static_cast<wchar_t>(p[i]);
    if (i >= n) break;
    const TSequence sequence = SequenceAt(p + i, n - i);
    if (sequence.Length == 0) {
      if constexpr (Strict) return std::nullopt;
      *o++ = 0xFFFD;
      i += static_cast<std::size_t>(sequence.Skip);
      continue;
    }
    i += static_cast<std::size_t>(sequence.Length);
    if (sequence.Code >= 0x10000) {
      const char32_t above = sequence.Code - 0x10000;
      *o++ = static_cast<wchar_t>(0xD800 + (above >> 10));
      *o++ = static_cast<wchar_t>(0xDC00 + (above & 0x3FF));
    } else {
      *o++ = static_cast<wchar_t>(sequence.Code);
    }
  }
  return static_cast<std::size_t>(o - out);
}

// The ANSI form into room for one unit per byte, as AnsiToText converts, in one call of the
// system instead of two; false when it did not fit there.
bool DecodeAnsi(std::string_view bytes, std::wstring& text) {
  if (bytes.empty()) {
    text.clear();
    return true;
  }
  if (bytes.size() > (1u << 28)) return false;  // no length passed to the API overflows an int
  const int units = ::MultiByteToWideChar(::GetACP(), 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                                          static_cast<int>(text.size()));
  if (units <= 0) return false;
  text.resize(static_cast<std::size_t>(units));
  return true;
}

}  // namespace

std::wstring DecodeDatagram(std::string_view bytes, TCharEncoding encoding) {
  // No byte gives more than one UTF-16 unit, in UTF-8 or in an ANSI code page: the text is
  // decoded into room made once.
  std::wstring text(bytes.size(), L'\0');
  std::optional<std::size_t> units;
  if (encoding == chUtf8) {
    units = DecodeUtf8<false>(bytes, text.data());
  } else if (encoding == chAuto) {
    // Valid without a multi-byte sequence is ASCII, which reads the same in every ANSI code
    // page. ANSI text mostly breaks UTF-8 at its first byte above ASCII: that is looked at
    // before anything is decoded.
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t ascii = AsciiPrefixLength(p, bytes.size());
    if (ascii == bytes.size() || SequenceAt(p + ascii, bytes.size() - ascii).Length > 0)
      units = DecodeUtf8<true>(bytes, text.data());
  }
  if (units) {
    text.resize(*units);
    return text;
  }
  return DecodeAnsi(bytes, text) ? text : AnsiToText(bytes);
}

// ---- characters a code page cannot write ----

namespace {

using TFitTable = std::array<std::uint64_t, 0x10000 / 64>;

const TFitTable& FitTable(unsigned codePage) {
  static std::mutex lock;
  static std::map<unsigned, std::unique_ptr<TFitTable>> tables;
  std::lock_guard guard(lock);
  std::unique_ptr<TFitTable>& table = tables[codePage];
  if (!table) {
    table = std::make_unique<TFitTable>();
    for (unsigned c = 0; c < 0x10000; ++c) {
      const auto ch = static_cast<wchar_t>(c);
      // Surrogates are judged in pairs by the counter.
      if (!IS_HIGH_SURROGATE(ch) && !IS_LOW_SURROGATE(ch) &&
          (c < 0x80 || TextFitsCodePage(std::wstring_view(&ch, 1), codePage)))
        (*table)[c / 64] |= std::uint64_t{1} << (c % 64);
    }
  }
  return *table;
}

}  // namespace

TCodePageMisfits::TCodePageMisfits(unsigned codePage) {
  if (codePage == 0) codePage = ::GetACP();
  FFits = FitTable(codePage).data();
  FPairsFit = codePage == CP_UTF8;
}

void TCodePageMisfits::Add(std::wstring_view piece) {
  const wchar_t* p = piece.data();
  const std::size_t n = piece.size();
  std::size_t i = 0;
  if (FHeld && n > 0) {
    FHeld = false;
    if (IS_LOW_SURROGATE(p[0])) {
      FCount += FPairsFit ? 0 : 1;
      i = 1;
    } else {
      ++FCount;
    }
  }
  while (i < n) {
    // ASCII fits every ANSI code page: four characters at a time.
    while (i + 4 <= n) {
      std::uint64_t word;
      std::memcpy(&word, p + i, 8);
      if (word & 0xFF80FF80FF80FF80ull) break;
      i += 4;
    }
    if (i >= n) break;
    const wchar_t c = p[i++];
    if (FFits[c / 64] & (std::uint64_t{1} << (c % 64))) continue;
    if (IS_HIGH_SURROGATE(c)) {
      if (i == n) {
        FHeld = true;
        break;
      }
      if (IS_LOW_SURROGATE(p[i])) {
        ++i;
        if (FPairsFit) continue;
      }
    }
    ++FCount;
  }
}
