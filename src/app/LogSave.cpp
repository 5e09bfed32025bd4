#include "app/LogSave.h"

#include "base/Files.h"
#include "base/Strings.h"
#include "base/Unicode.h"
#include "base/Win.h"

namespace {

constexpr TLogText::TPos kSlice = 1 << 16;

// Calls f with the text's characters in slices of 64 K.
template <class F>
void ForEachSlice(const TLogTextSnapshot& text, F&& f) {
  std::wstring slice(static_cast<std::size_t>(kSlice), L'\0');
  for (TLogText::TPos at = 0; at < text.Length(); at += kSlice)
    f(std::wstring_view(slice.data(), static_cast<std::size_t>(text.Read(at, kSlice, slice.data()))));
}

}  // namespace

TLogFileCharset LogFileCharsetOfFilter(int filterIndex) { return filterIndex == 2 ? fcUtf8 : fcAnsi; }

std::int64_t CountAnsiMisfits(const TLogTextSnapshot& text) {
  TCodePageMisfits misfits;
  ForEachSlice(text, [&misfits](std::wstring_view slice) { misfits.Add(slice); });
  return misfits.Count();
}

std::wstring AnsiMisfitsQuestion(std::int64_t count) {
  return FormatCount(static_cast<double>(count)) +
         L" Zeichen können in ANSI nicht gespeichert werden; als UTF-8 speichern?";
}

void WriteLogFile(const std::wstring& fileName, const TLogTextSnapshot& text, TLogFileCharset charset) {
  // UTF-8 without a byte order mark: log tools and grep read such a file as plain text.
  WriteFileReplacing(fileName, [&text, charset](const TByteSink& write) {
    TAnsiEncoder encoder(charset == fcUtf8 ? CP_UTF8 : 0);
    ForEachSlice(text, [&](std::wstring_view slice) { write(encoder.Encode(slice)); });
    write(encoder.Finish());
  });
}
