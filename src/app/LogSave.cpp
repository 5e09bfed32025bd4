#include "app/LogSave.h"

#include "base/Files.h"
#include "base/Strings.h"
#include "base/Unicode.h"
#include "base/Win.h"

TLogFileCharset LogFileCharsetOfFilter(int filterIndex) { return filterIndex == 2 ? fcUtf8 : fcAnsi; }

std::int64_t CountAnsiMisfits(const TLogTextSnapshot& text) {
  TCodePageMisfits misfits;
  ReadInSlices(text, 0, text.Length(), [&misfits](std::wstring_view slice) { misfits.Add(slice); });
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
    ReadInSlices(text, 0, text.Length(), [&](std::wstring_view slice) { write(encoder.Encode(slice)); });
    write(encoder.Finish());
  });
}
