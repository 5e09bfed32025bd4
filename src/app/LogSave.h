#pragma once
// Saving the log view: the save dialog's file types, the count of characters that the ANSI code
// page cannot write (asked about before an ANSI save), and the file written from a snapshot in
// slices, so that a view of a gigabyte is never copied whole. Counting and writing read the
// whole text: they run on a thread of their own.
#include "toolkit/LogText.h"

#include <cstdint>
#include <string>

enum TLogFileCharset : std::uint8_t { fcAnsi, fcUtf8 };

// The save dialog's filter: ANSI first (the default), then UTF-8; "Alle Dateien" shows every
// file of the folder (a .log to be replaced) and saves as ANSI.
inline constexpr const wchar_t* kLogSaveFilter = L"Textdatei (ANSI)|*.txt|Textdatei (UTF-8)|*.txt|Alle Dateien|*.*";
// The character set of a 1-based pair of that filter.
TLogFileCharset LogFileCharsetOfFilter(int filterIndex);

// Characters of the text that the ANSI code page cannot write as themselves (a surrogate pair
// counts once).
std::int64_t CountAnsiMisfits(const TLogTextSnapshot& text);
// The question before the text is saved as ANSI all the same ("1.234 Zeichen ...").
std::wstring AnsiMisfitsQuestion(std::int64_t count);

// Writes the text to the file in the character set; the old file stays until every byte of the
// new one is written. Raises EOSError when the file cannot be written.
void WriteLogFile(const std::wstring& fileName, const TLogTextSnapshot& text, TLogFileCharset charset);
