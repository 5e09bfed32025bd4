#include "settings/IniFile.h"

#include "base/Handle.h"
#include "base/Strings.h"
#include "base/Unicode.h"
#include "base/Win.h"

#include <algorithm>
#include <cwctype>

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

// Calls a profile function that reports a too small buffer with Size - Shortfall, with a
// growing buffer; returns the buffer and the length it filled.
template <class TCall>
std::pair<std::wstring, size_t> ReadGrowing(TCall call, DWORD shortfall) {
  std::wstring buffer(4096, L'\0');
  for (;;) {
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD n = call(buffer.data(), size);
    if (n < size - shortfall || buffer.size() >= (1u << 30)) return {std::move(buffer), std::min<size_t>(n, size)};
    buffer.assign(buffer.size() * 4, L'\0');
  }
}

bool FitsAnsiCodePage(const std::wstring& text) {
  if (text.empty()) return true;
  BOOL usedDefault = FALSE;
  int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, &usedDefault);
  return n > 0 && !usedDefault;
}

bool WriteAll(HANDLE file, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 24)), written = 0;
    if (!::WriteFile(file, p, chunk, &written, nullptr) || written == 0) return false;
    p += written;
    size -= written;
  }
  return true;
}

const unsigned char kUtf16Bom[] = {0xFF, 0xFE};

// Section and key names that the file's line structure cannot hold, and values with line breaks
// or zeros, would be stored as something else (or open new sections): they are refused.
bool Storable(const std::wstring& text, const wchar_t* forbidden) {
  return text.find_first_of(forbidden, 0, std::wcslen(forbidden) + 1) == std::wstring::npos;
}

}  // namespace

std::wstring QuoteIniValue(const std::wstring& Value) {
  if (Value.empty()) return Value;
  bool blankEnd = IsIniBlank(Value.front()) || IsIniBlank(Value.back());
  bool quoted = Value.size() >= 2 && IsQuote(Value.front()) && Value.back() == Value.front();
  return blankEnd || quoted ? L'\'' + Value + L'\'' : Value;
}

std::wstring UnquoteIniValue(const std::wstring& Value) {
  std::wstring text = TrimIniBlanks(Value);
  if (text.size() >= 2 && IsQuote(text.front()) && text.back() == text.front()) return text.substr(1, text.size() - 2);
  return text;
}

std::wstring TIniFile::ReadString(const std::wstring& Section, const std::wstring& Ident,
                                  const std::wstring& Default) const {
  return ReadValue(Section, Ident).value_or(Default);
}

std::optional<std::wstring> TIniFile::ReadValue(const std::wstring& Section, const std::wstring& Ident) const {
  auto [buffer, length] = ReadGrowing(
      [&](wchar_t* data, DWORD size) {
        return ::GetPrivateProfileStringW(Section.c_str(), Ident.c_str(), kMissing, data, size, FFileName.c_str());
      },
      1);
  buffer.resize(length);
  if (buffer == kMissing) return std::nullopt;
  return buffer;
}

std::int32_t TIniFile::ReadInteger(const std::wstring& Section, const std::wstring& Ident,
                                   std::int32_t Default) const {
  return StrToIntDef(ReadString(Section, Ident, std::wstring()), Default);
}

std::vector<std::wstring> TIniFile::ReadSection(const std::wstring& Section) const {
  auto [buffer, length] = ReadGrowing(
      [&](wchar_t* data, DWORD size) {
        return ::GetPrivateProfileStringW(Section.c_str(), nullptr, L"", data, size, FFileName.c_str());
      },
      2);
  return SplitZeroList(buffer, length);
}

std::vector<std::wstring> TIniFile::ReadSections() const {
  auto [buffer, length] = ReadGrowing(
      [&](wchar_t* data, DWORD size) { return ::GetPrivateProfileSectionNamesW(data, size, FFileName.c_str()); }, 2);
  return SplitZeroList(buffer, length);
}

std::vector<std::wstring> TIniFile::ReadSectionLines(const std::wstring& Section) const {
  auto [buffer, length] = ReadGrowing(
      [&](wchar_t* data, DWORD size) {
        return ::GetPrivateProfileSectionW(Section.c_str(), data, size, FFileName.c_str());
      },
      2);
  return SplitZeroList(buffer, length);
}

std::vector<std::pair<std::wstring, std::wstring>> TIniFile::ReadSectionValues(const std::wstring& Section) const {
  std::vector<std::pair<std::wstring, std::wstring>> values;
  for (const std::wstring& line : ReadSectionLines(Section)) {
    size_t equals = line.find(L'=');
    if (equals == std::wstring::npos)
      values.emplace_back(TrimIniBlanks(line), std::wstring());
    else
      values.emplace_back(TrimIniBlanks(line.substr(0, equals)), UnquoteIniValue(line.substr(equals + 1)));
  }
  return values;
}

void TIniFile::WriteString(const std::wstring& Section, const std::wstring& Ident, const std::wstring& Value) {
  if (!Storable(Section, L"\r\n") || !Storable(Ident, L"=\r\n") || !Storable(Value, L"\r\n"))
    throw EIniFileError(L"Unable to write to " + FFileName + L": the text cannot be stored in an INI file");
  PrepareWrite({&Section, &Ident, &Value});
  if (!::WritePrivateProfileStringW(Section.c_str(), Ident.c_str(), Value.c_str(), FFileName.c_str()))
    RaiseWriteError(::GetLastError());
}

void TIniFile::WriteInteger(const std::wstring& Section, const std::wstring& Ident, std::int32_t Value) {
  WriteString(Section, Ident, std::to_wstring(Value));
}

void TIniFile::WriteSectionLines(const std::wstring& Section, const std::vector<std::wstring>& Lines) {
  std::wstring block;
  bool storable = Storable(Section, L"\r\n");
  for (const std::wstring& line : Lines) {
    storable = storable && Storable(line, L"\r\n");
    block += line;
    block += L'\0';
  }
  if (!storable) throw EIniFileError(L"Unable to write to " + FFileName + L": the text cannot be stored in an INI file");
  block += L'\0';
  PrepareWrite({&Section, &block});
  if (!::WritePrivateProfileSectionW(Section.c_str(), block.c_str(), FFileName.c_str()))
    RaiseWriteError(::GetLastError());
}

void TIniFile::DeleteKey(const std::wstring& Section, const std::wstring& Ident) {
  ::WritePrivateProfileStringW(Section.c_str(), Ident.c_str(), nullptr, FFileName.c_str());
}

void TIniFile::EraseSection(const std::wstring& Section) {
  if (!::WritePrivateProfileStringW(Section.c_str(), nullptr, nullptr, FFileName.c_str())) {
    DWORD error = ::GetLastError();
    // Erasing from a file that does not exist leaves nothing to erase.
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) RaiseWriteError(error);
  }
}

void TIniFile::UpdateFile() { ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, FFileName.c_str()); }

void TIniFile::RaiseWriteError(unsigned long ErrorCode) const {
  std::wstring message = L"Unable to write to " + FFileName;
  if (ErrorCode != ERROR_SUCCESS) message += L": " + SysErrorMessage(ErrorCode);
  throw EIniFileError(message);
}

void TIniFile::PrepareWrite(std::initializer_list<const std::wstring*> Texts) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!::GetFileAttributesExW(FFileName.c_str(), GetFileExInfoStandard, &info)) {
    // A new file: UTF-16LE from the first byte on. When it cannot be made, the write reports why.
    TFileHandle file(::CreateFileW(FFileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
    if (file) WriteAll(file.Get(), kUtf16Bom, sizeof(kUtf16Bom));
    return;
  }
  bool empty = info.nFileSizeHigh == 0 && info.nFileSizeLow == 0;
  if (!empty) {
    bool fits = true;
    for (const std::wstring* text : Texts) fits = fits && FitsAnsiCodePage(*text);
    if (fits) return;
    UpdateFile();  // the file on disk must hold every earlier write before it is converted
  }
  TFileHandle file(::CreateFileW(FFileName.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart > (1LL << 30)) return;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD got = 0;
  if (!bytes.empty() && (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
                         got != bytes.size()))
    return;
  if (bytes.starts_with("\xFF\xFE")) return;  // already UTF-16LE
  // Decoded as the system reads it: UTF-8 after its byte-order mark, otherwise the ANSI code page.
  std::wstring text = bytes.starts_with("\xEF\xBB\xBF") ? Utf8ToText(std::string_view(bytes).substr(3))
                                                         : AnsiToText(bytes);
  ::SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN);
  if (WriteAll(file.Get(), kUtf16Bom, sizeof(kUtf16Bom)) &&
      WriteAll(file.Get(), text.data(), text.size() * sizeof(wchar_t)))
    ::SetEndOfFile(file.Get());
}
