#include "settings/IniFile.h"

#include "base/Files.h"
#include "base/Streams.h"
#include "base/Strings.h"
#include "base/Unicode.h"
#include "base/Win.h"

#include <algorithm>
#include <cwctype>
#include <new>

namespace {

// Returned by the system for a missing key: no stored text can look like it (a line of a file
// never holds these control characters), so the caller's default is given back unchanged.
constexpr wchar_t kMissing[] = L"\x01\x02\x03TavrinoMissing\x03\x02\x01";

// Blanks that the system's reader removes around keys and values.
bool IsIniBlank(wchar_t c) { return c == 0x1A || std::iswspace(c); }

bool IsQuote(wchar_t c) { return c == L'\'' || c == L'"'; }

std::wstring TrimIniBlanks(const std::wstring& s) {
  size_t first = 0, last = s.size();
  while (first < last && IsIniBlank(s[first])) ++first;
  while (last > first && IsIniBlank(s[last - 1])) --last;
  return s.substr(first, last - first);
}

// Zero-separated list, ended by an empty item, to texts.
std::vector<std::wstring> SplitZeroList(const std::wstring& buffer, size_t length) {
  std::vector<std::wstring> items;
  size_t pos = 0;
  while (pos < length && buffer[pos] != L'\0') {
    size_t end = buffer.find(L'\0', pos);
    if (end == std::wstring::npos || end > length) end = length;
    items.emplace_back(buffer, pos, end - pos);
    pos = end + 1;
  }
  return items;
}

// The most a single read takes in (characters): a section of some 60 MB of base64 lines, a blob
// of 40 MB. Whatever is larger cannot be read whole, and a part must not pass for the whole.
constexpr size_t kMaxRead = 1u << 26;

// Calls a profile function that reports a too small buffer with Size - Shortfall, with a
// growing buffer; returns the buffer and the length it filled.
template <class TCall>
std::pair<std::wstring, size_t> ReadGrowing(TCall call, DWORD shortfall, const std::wstring& fileName) {
  std::wstring buffer(4096, L'\0');
  for (;;) {
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD n = call(buffer.data(), size);
    if (n < size - shortfall) return {std::move(buffer), std::min<size_t>(n, size)};
    if (buffer.size() >= kMaxRead) throw EIniFileError(L"Unable to read " + fileName + L": the text is too large");
    buffer.assign(buffer.size() * 4, L'\0');
  }
}

// An INI file larger than this (bytes) is not converted to UTF-16: the conversion holds it
// three times in memory, and the system's functions read the whole file for every key anyway.
constexpr std::int64_t kMaxConvert = 256 << 20;

constexpr std::string_view kUtf16Bom("\xFF\xFE", 2);
constexpr std::string_view kUtf8Bom("\xEF\xBB\xBF", 3);

// Writes Text as UTF-16LE with byte-order mark into a new file in the folder of FileName and
// returns its name; empty when no file could be made there. Raises EOSError when writing fails.
std::wstring WriteUtf16Beside(const std::wstring& fileName, const std::wstring& text) {
  std::wstring name = CreateUniqueFile(FileFolder(fileName), FileNameOf(fileName), L".tmp");
  if (name.empty()) return name;
  TTempFile temp(name);
  {
    TFileStream file(name, fmOpenWrite);
    size_t size = text.size() * sizeof(wchar_t);
    if (file.Write(kUtf16Bom.data(), kUtf16Bom.size()) != kUtf16Bom.size() || file.Write(text.data(), size) != size)
      throw EOSError(ERROR_WRITE_FAULT, L"\"" + name + L"\"");
  }
  temp.Keep();
  return name;
}

// Section and key names that the file's line structure cannot hold, and values with line breaks
// or zeros, would be stored as something else (or open new sections): they are refused.
bool Storable(const std::wstring& text, const wchar_t* forbidden) {
  return text.find_first_of(forbidden, 0, std::wcslen(forbidden) + 1) == std::wstring::npos;
}

// A key name that begins with "[" or ";" would read back as a section header or a comment.
bool KeyNameStorable(const std::wstring& ident) {
  std::wstring name = TrimIniBlanks(ident);
  return Storable(ident, L"=\r\n") && !name.starts_with(L'[') && !name.starts_with(L';');
}

}  // namespace

std::wstring QuoteIniValue(const std::wstring& value) {
  if (value.empty()) return value;
  bool blankEnd = IsIniBlank(value.front()) || IsIniBlank(value.back());
  bool quoted = value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front();
  return blankEnd || quoted ? L'\'' + value + L'\'' : value;
}

std::wstring UnquoteIniValue(const std::wstring& value) {
  std::wstring text = TrimIniBlanks(value);
  if (text.size() >= 2 && IsQuote(text.front()) && text.back() == text.front()) return text.substr(1, text.size() - 2);
  return text;
}

std::wstring TIniFile::ReadString(const std::wstring& section, const std::wstring& ident,
                                  const std::wstring& fallback) const {
  return ReadValue(section, ident).value_or(fallback);
}

std::optional<std::wstring> TIniFile::ReadValue(const std::wstring& section, const std::wstring& Ident) const {
  auto [buffer, length] = ReadGrowing(
      [&](wchar_t* data, DWORD size) {
        return ::GetPrivateProfileStringW(section.c_str(), Ident.c_str(), kMissing, data, size, FFileName.c_str());
      },
      1, FFileName);
  buffer.resize(length);
  if (buffer == kMissing) return std::nullopt;
  return buffer;
}

std::int32_t TIniFile::ReadInteger(const std::wstring& section, const std::wstring& ident,
                                   std::int32_t fallback) const {
  return StrToIntDef(ReadString(section, ident, std::wstring()), fallback);
}

std::vector<std::wstring> TIniFile::ReadSection(const std::wstring& section) const {
  auto [buffer, length] = ReadGrowing(
      [&](wchar_t* data, DWORD size) {
        return ::GetPrivateProfileStringW(section.c_str(), nullptr, L"", data, size, FFileName.c_str());
      },
      2, FFileName);
  return SplitZeroList(buffer, length);
}

std::vector<std::wstring> TIniFile::ReadSections() const {
  auto [buffer, length] = ReadGrowing(
      [&](wchar_t* data, DWORD size) { return ::GetPrivateProfileSectionNamesW(data, size, FFileName.c_str()); }, 2,
      FFileName);
  return SplitZeroList(buffer, length);
}

std::vector<std::wstring> TIniFile::ReadSectionLines(const std::wstring& section) const {
  auto [buffer, length] = ReadGrowing(
      [&](wchar_t* data, DWORD size) {
        return ::GetPrivateProfileSectionW(section.c_str(), data, size, FFileName.c_str());
      },
      2, FFileName);
  return SplitZeroList(buffer, length);
}

std::vector<std::pair<std::wstring, std::wstring>> TIniFile::ReadSectionValues(const std::wstring& section) const {
  std::vector<std::pair<std::wstring, std::wstring>> values;
  for (const std::wstring& line : ReadSectionLines(section)) {
    size_t equals = line.find(L'=');
    if (equals == std::wstring::npos)
      values.emplace_back(TrimIniBlanks(line), std::wstring());
    else
      values.emplace_back(TrimIniBlanks(line.substr(0, equals)), UnquoteIniValue(line.substr(equals + 1)));
  }
  return values;
}

void TIniFile::WriteString(const std::wstring& section, const std::wstring& ident, const std::wstring& value) {
  if (!Storable(section, L"\r\n") || !KeyNameStorable(ident) || !Storable(value, L"\r\n"))
    throw EIniFileError(L"Unable to write to " + FFileName + L": the text cannot be stored in an INI file");
  PrepareWrite({&section, &ident, &value});
  if (!::WritePrivateProfileStringW(section.c_str(), ident.c_str(), value.c_str(), FFileName.c_str()))
    RaiseWriteError(::GetLastError());
}

void TIniFile::WriteInteger(const std::wstring& section, const std::wstring& ident, std::int32_t value) {
  WriteString(section, ident, std::to_wstring(value));
}

void TIniFile::WriteSectionLines(const std::wstring& section, const std::vector<std::wstring>& lines) {
  std::wstring block;
  bool storable = Storable(section, L"\r\n");
  for (const std::wstring& line : lines) {
    storable = storable && Storable(line, L"\r\n");
    block += line;
    block += L'\0';
  }
  if (!storable) throw EIniFileError(L"Unable to write to " + FFileName + L": the text cannot be stored in an INI file");
  block += L'\0';
  PrepareWrite({&section, &block});
  if (!::WritePrivateProfileSectionW(section.c_str(), block.c_str(), FFileName.c_str()))
    RaiseWriteError(::GetLastError());
}

void TIniFile::DeleteKey(const std::wstring& section, const std::wstring& ident) {
  if (!::WritePrivateProfileStringW(section.c_str(), ident.c_str(), nullptr, FFileName.c_str())) RaiseDeleteError();
}

void TIniFile::EraseSection(const std::wstring& section) {
  if (!::WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, FFileName.c_str())) RaiseDeleteError();
}

void TIniFile::UpdateFile() { ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, FFileName.c_str()); }

void TIniFile::RaiseWriteError(unsigned long errorCode) const {
  std::wstring message = L"Unable to write to " + FFileName;
  if (errorCode != ERROR_SUCCESS) message += L": " + SysErrorMessage(errorCode);
  throw EIniFileError(message);
}

void TIniFile::RaiseDeleteError() const {
  DWORD error = ::GetLastError();
  // Deleting from a file that does not exist leaves nothing to delete.
  if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) RaiseWriteError(error);
}

void TIniFile::RaiseConversionError(const std::wstring& reason) const {
  throw EIniFileError(L"Unable to write to " + FFileName + L": it cannot be converted to Unicode (" + reason + L")");
}

void TIniFile::PrepareWrite(std::initializer_list<const std::wstring*> texts) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!::GetFileAttributesExW(FFileName.c_str(), GetFileExInfoStandard, &info)) {
    CreateUtf16File();
    return;
  }
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return;  // the write reports the refusal
  bool empty = info.nFileSizeHigh == 0 && info.nFileSizeLow == 0;
  if (!empty) {
    if (std::all_of(texts.begin(), texts.end(), [](const std::wstring* text) { return TextFitsCodePage(*text); }))
      return;
    if (StartsWithUtf16Bom()) return;
  }
  ConvertToUtf16();
}

void TIniFile::CreateUtf16File() {
  // Made under another name and moved in place, never over a file that appeared meanwhile.
  // When it cannot be made, the write reports why.
  try {
    std::wstring temp = WriteUtf16Beside(FFileName, std::wstring());
    if (temp.empty()) return;
    TTempFile guard(temp);
    if (::MoveFileExW(temp.c_str(), FFileName.c_str(), 0)) guard.Keep();
  } catch (const EOSError&) {
  }
}

bool TIniFile::StartsWithUtf16Bom() const {
  // The first two bytes tell; the rest of the file is not read.
  try {
    TFileStream file(FFileName, fmOpenRead);
    char head[2];
    return file.Read(head, sizeof(head)) == sizeof(head) && std::string_view(head, sizeof(head)) == kUtf16Bom;
  } catch (const EOSError&) {
    return false;  // the conversion finds out why
  }
}

void TIniFile::ConvertToUtf16() {
  UpdateFile();  // the file on disk must hold every earlier write before it is converted
  try {
    std::string bytes;
    {
      TFileStream file(FFileName, fmOpenRead);
      std::int64_t size = file.Size();
      if (size > kMaxConvert) RaiseConversionError(L"the file is too large");
      bytes.resize(static_cast<size_t>(size));
      if (file.Read(bytes.data(), bytes.size()) != bytes.size()) RaiseConversionError(L"the file changed meanwhile");
    }
    if (bytes.starts_with(kUtf16Bom)) return;  // converted meanwhile
    // Decoded as the system reads it: UTF-8 after its byte-order mark, otherwise the ANSI code page.
    std::wstring text = bytes.starts_with(kUtf8Bom) ? Utf8ToText(std::string_view(bytes).substr(kUtf8Bom.size()))
                                                    : AnsiToText(bytes);
    // The user's file stays whole until the converted copy takes its place in one step.
    std::wstring temp = WriteUtf16Beside(FFileName, text);
    if (temp.empty()) RaiseConversionError(SysErrorMessage(::GetLastError()));
    TTempFile guard(temp);
    if (!::ReplaceFileW(FFileName.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
      RaiseConversionError(SysErrorMessage(::GetLastError()));
    guard.Keep();
  } catch (const EOSError& e) {
    RaiseConversionError(e.Message());
  } catch (const std::bad_alloc&) {
    RaiseConversionError(L"not enough memory");
  }
}
