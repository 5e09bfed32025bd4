#pragma once
// INI file access through the system's profile functions, so that a file edited by hand reads
// as Windows reads it. New files are created as UTF-16LE with byte-order mark, the one form in
// which the system keeps every character; an ANSI file is turned into that form only when a
// text to be written has characters outside the ANSI code page.
#include "base/Exception.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A write that the system refused.
class EIniFileError : public Exception {
public:
  using Exception::Exception;
};

class TIniFile {
public:
  explicit TIniFile(std::wstring fileName) : FFileName(std::move(fileName)) {}

  const std::wstring& FileName() const noexcept { return FFileName; }

  // Reads never raise for a missing or unreadable file; a text too large to hold raises
  // EIniFileError (or std::bad_alloc), so that no part of a section passes for the whole.

  // The key's text as the system reads it (surrounding blanks and one pair of enclosing quotes
  // removed); fallback when the key is missing.
  std::wstring ReadString(const std::wstring& section, const std::wstring& ident, const std::wstring& fallback) const;
  // The same; std::nullopt when the key is missing.
  std::optional<std::wstring> ReadValue(const std::wstring& section, const std::wstring& ident) const;
  // Decimal, or hexadecimal after "0x" or "$"; fallback when missing or not a number.
  std::int32_t ReadInteger(const std::wstring& section, const std::wstring& ident, std::int32_t fallback) const;
  // Key names of a section, in file order.
  std::vector<std::wstring> ReadSection(const std::wstring& section) const;
  std::vector<std::wstring> ReadSections() const;
  // Every key of a section with its text as ReadString gives it, in file order, in one read.
  std::vector<std::pair<std::wstring, std::wstring>> ReadSectionValues(const std::wstring& section) const;
  // The section's lines as the system holds them ("key=value" as stored, quotes kept).
  std::vector<std::wstring> ReadSectionLines(const std::wstring& section) const;

  // Writes raise EIniFileError when the system refuses, and for what the file's lines cannot
  // hold: line breaks or zeros, "=" in a key name, a key name that begins with "[" or ";".
  // Texts are stored as they are: see QuoteIniValue for texts that the reader would change.
  void WriteString(const std::wstring& section, const std::wstring& ident, const std::wstring& value);
  void WriteInteger(const std::wstring& section, const std::wstring& ident, std::int32_t value);
  // Replaces the whole section by the lines ("key=value"), in one write.
  void WriteSectionLines(const std::wstring& section, const std::vector<std::wstring>& lines);
  // A missing file has nothing to delete; other refusals raise.
  void DeleteKey(const std::wstring& section, const std::wstring& ident);
  void EraseSection(const std::wstring& section);
  // Makes buffered writes reach the file.
  void UpdateFile();

private:
  // Makes sure the file can take the texts: creates it as UTF-16LE, or converts an ANSI file
  // when a text does not fit the ANSI code page (EIniFileError when it cannot be converted).
  void PrepareWrite(std::initializer_list<const std::wstring*> texts);
  void CreateUtf16File();
  bool StartsWithUtf16Bom() const;
  void ConvertToUtf16();
  [[noreturn]] void RaiseWriteError(unsigned long errorCode) const;
  [[noreturn]] void RaiseConversionError(const std::wstring& reason) const;
  // For a refused deletion; a missing file is no refusal.
  void RaiseDeleteError() const;

  std::wstring FFileName;
};

// The form in which Value survives the system's reader: a text that begins or ends with a blank,
// or begins and ends with the same quote character, is enclosed in single quotes (which the
// reader removes again); every other text stays as it is.
std::wstring QuoteIniValue(const std::wstring& value);
// The text as the system's reader gives it back: surrounding blanks and one pair of
// enclosing quotes removed.
std::wstring UnquoteIniValue(const std::wstring& value);
