#include "base/Files.h"

#include "base/DateTime.h"
#include "base/Exception.h"
#include "base/Handle.h"
#include "base/Strings.h"
#include "base/Win.h"

#include <algorithm>
#include <array>
#include <random>
#include <vector>

namespace {

std::wstring gProgramFolder;

// CRC-32 table of the polynomial 0x04C11DB7, most significant bit first.
const std::array<std::uint32_t, 256>& CrcTable() {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t r = i << 24;
      for (int bit = 0; bit < 8; ++bit) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : (r << 1);
      t[i] = r;
    }
    return t;
  }();
  return table;
}

// The checksum of one block with the previous block's result appended, most significant byte first.
std::uint32_t BlockCrc(const unsigned char* data, size_t size, std::uint32_t chained) {
  const auto& table = CrcTable();
  std::uint32_t r = 0xFFFFFFFFu;
  auto step = [&](unsigned char b) { r = table[r >> 24] ^ (r << 8) ^ b; };
  for (size_t i = 0; i < size; ++i) step(data[i]);
  for (int shift = 24; shift >= 0; shift -= 8) step(static_cast<unsigned char>(chained >> shift));
  return r;
}

std::wstring TrimBlanks(const std::wstring& s) { return TrimChars(s, TCharset{32}, true, true); }

std::minstd_rand& Random() {
  static std::minstd_rand generator(::GetTickCount() ^ ::GetCurrentProcessId());
  return generator;
}

}  // namespace

std::wstring ProgramFileName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::wstring();
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);  // truncated: long path
  }
}

const std::wstring& ProgramFolder() { return gProgramFolder; }

std::wstring FileNameOf(const std::wstring& path) { return path.substr(FileFolder(path).size()); }

std::wstring FileFolder(const std::wstring& path) {
  size_t separator = path.find_last_of(L"\\/:");
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

std::wstring FileBaseName(const std::wstring& path) {
  std::wstring name = FileNameOf(path);
  size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.erase(dot);
  return name;
}

std::wstring ChangeFileExt(const std::wstring& path, const std::wstring& ext) {
  size_t nameStart = FileFolder(path).size();
  size_t dot = path.rfind(L'.');
  if (dot == std::wstring::npos || dot < nameStart) return path + ext;
  return path.substr(0, dot) + ext;
}

std::wstring IncludeTrailingBackslash(const std::wstring& path) {
  if (path.empty() || path.back() == L'\\') return path;
  return path + L'\\';
}

std::uint32_t FileCrc32(const std::wstring& fileName) {
  TFileHandle file(::CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) RaiseLastOSError(L"\"" + fileName + L"\"");
  constexpr DWORD kBlock = 1048576;
  std::vector<unsigned char> block(kBlock);
  std::uint32_t crc = 0;
  for (;;) {
    DWORD got = 0;
    if (!::ReadFile(file.Get(), block.data(), kBlock, &got, nullptr)) RaiseLastOSError(L"\"" + fileName + L"\"");
    if (got == 0) break;
    crc = BlockCrc(block.data(), got, crc);
    if (got < kBlock) break;
  }
  return crc;
}

double FileDateOf(const std::wstring& fileName) {
  if (fileName.empty()) return 0;
  WIN32_FIND_DATAW data;
  TFindHandle find(::FindFirstFileW(fileName.c_str(), &data));
  if (!find) return 0;
  SYSTEMTIME utc, local;
  if (!::FileTimeToSystemTime(&data.ftLastWriteTime, &utc)) return 0;
  // The rules of the file's own year (summer time, changed zone rules), not today's offset.
  TIME_ZONE_INFORMATION zone;
  bool converted = ::GetTimeZoneInformationForYear(utc.wYear, nullptr, &zone) &&
                   ::SystemTimeToTzSpecificLocalTime(&zone, &utc, &local);
  if (!converted && !::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return 0;
  return SystemTimeToDateTime(local);
}

std::int64_t FileSize64(const std::wstring& fileName) {
  if (fileName.empty()) return -2;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(fileName.c_str(), GetFileExInfoStandard, &data)) return -1;
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

std::wstring LongPathOf(const std::wstring& path) {
  std::wstring result;
  size_t pos = 0;
  for (int index = 0;; ++index) {
    size_t end = path.find(L'\\', pos);
    std::wstring part = path.substr(pos, end == std::wstring::npos ? std::wstring::npos : end - pos);
    if (index > 0) result += L'\\';
    bool uncHead = index < 4 && result.starts_with(L"\\\\");
    // Wildcards would find some other file and replace the part by its name.
    bool wildcard = part.find_first_of(L"*?") != std::wstring::npos;
    if (part.size() < 3) {
      if (part.find(L':') != std::wstring::npos)
        ::CharUpperBuffW(part.data(), static_cast<DWORD>(part.size()));  // drive letter
      result += part;
    } else if (uncHead || wildcard) {
      result += part;
    } else {
      WIN32_FIND_DATAW data;
      TFindHandle find(::FindFirstFileW((result + part).c_str(), &data));
      result += find ? std::wstring(data.cFileName) : part;
    }
    if (end == std::wstring::npos) break;
    pos = end + 1;
  }
  return result;
}

bool FolderExists(const std::wstring& folder) {
  DWORD attributes = ::GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::wstring& fileName) {
  DWORD attributes = ::GetFileAttributesW(fileName.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceFolders(const std::wstring& folder) {
  std::wstring path = folder;
  while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  if (path.empty()) return false;
  if (FolderExists(path)) return true;
  size_t slash = path.find_last_of(L"\\/");
  // The parent first; a drive or share root ends the climb.
  if (slash != std::wstring::npos && slash > 0 && path[slash - 1] != L':' && path[slash - 1] != L'\\')
    if (!ForceFolders(path.substr(0, slash))) return false;
  return ::CreateDirectoryW(path.c_str(), nullptr) || FolderExists(path);
}

std::wstring SystemTempFolder() {
  wchar_t buffer[MAX_PATH + 2];
  DWORD n = ::GetTempPathW(static_cast<DWORD>(std::size(buffer)), buffer);
  if (n == 0 || n >= std::size(buffer)) return std::wstring();
  return IncludeTrailingBackslash(LongPathOf(std::wstring(buffer, n)));
}

std::wstring EnvironmentFolder(const std::wstring& varName) {
  DWORD need = ::GetEnvironmentVariableW(varName.c_str(), nullptr, 0);
  if (need == 0) return std::wstring();
  std::wstring value(need, L'\0');
  DWORD n = ::GetEnvironmentVariableW(varName.c_str(), value.data(), need);
  if (n == 0 || n >= need) return std::wstring();
  value.resize(n);
  return FolderExists(value) ? IncludeTrailingBackslash(value) : std::wstring();
}

bool FolderWritable(const std::wstring& folder, std::wstring& checked) {
  checked.clear();
  if (folder.empty()) return false;
  checked = IncludeTrailingBackslash(folder);
  if (!FolderExists(checked) && !ForceFolders(checked)) return false;
  std::wstring probe = CreateUniqueFile(checked, L"ZevrikWriteTest", L".tmp");
  if (probe.empty()) return false;
  ::DeleteFileW(probe.c_str());  // the file could be made: writable, even if it cannot be removed again
  return true;
}

std::wstring CreateUniqueFile(const std::wstring& folder, const std::wstring& prefix, const std::wstring& ext) {
  std::wstring folderPath = IncludeTrailingBackslash(folder);
  if (folderPath.empty() || !FolderExists(folderPath)) return std::wstring();
  std::wstring extension = TrimBlanks(ext);
  if (extension.empty()) extension = L".tmp";
  if (extension.front() != L'.') extension.insert(0, 1, L'.');
  std::wstring namePrefix;
  for (wchar_t c : TrimBlanks(prefix)) {
    if (c == L'\t' || c == L'\r' || c == L'\n') c = L' ';
    if (std::wstring_view(L"\"*/:;<>?\\|").find(c) == std::wstring_view::npos) namePrefix += c;
  }
  if (namePrefix.empty()) namePrefix = L"Temp";
  const wchar_t* separator = namePrefix.back() == L'_' ? L"" : L"_";
  for (int attempt = 1; attempt <= 100; ++attempt) {
    std::wstring candidate = folderPath + namePrefix;
    if (attempt > 1) {
      wchar_t digits[8];
      ::wsprintfW(digits, L"%04X", static_cast<unsigned>(Random()() % 65535));
      candidate += separator;
      candidate += digits;
    }
    candidate += extension;
    if (::GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    TFileHandle file(::CreateFileW(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
    if (file) return candidate;
  }
  return std::wstring();
}

TTempFile::~TTempFile() {
  if (!FName.empty()) ::DeleteFileW(FName.c_str());
}

void WriteFileReplacing(const std::wstring& fileName, std::string_view bytes) {
  WriteFileReplacing(fileName, [bytes](const TByteSink& write) { write(bytes); });
}

void WriteFileReplacing(const std::wstring& fileName, const std::function<void(const TByteSink& write)>& produce) {
  const std::wstring quoted = L"\"" + fileName + L"\"";
  std::wstring folder = FileFolder(fileName);
  if (folder.empty()) folder = L".\\";
  const std::wstring tempName = CreateUniqueFile(folder, FileNameOf(fileName), L".tmp");
  if (tempName.empty()) {
    const DWORD error = ::GetLastError();
    throw EOSError(error ? error : ERROR_PATH_NOT_FOUND, quoted);
  }
  TTempFile temp(tempName);
  {
    TFileHandle file(::CreateFileW(tempName.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) RaiseLastOSError(quoted);
    produce([&](std::string_view bytes) {
      // In slices: WriteFile takes at most 4 GB.
      constexpr size_t kSlice = 1u << 30;
      for (size_t at = 0; at < bytes.size();) {
        const DWORD size = static_cast<DWORD>(std::min(kSlice, bytes.size() - at));
        DWORD written = 0;
        if (!::WriteFile(file.Get(), bytes.data() + at, size, &written, nullptr)) RaiseLastOSError(quoted);
        if (written != size) throw EOSError(ERROR_WRITE_FAULT, quoted);
        at += size;
      }
    });
    if (!::FlushFileBuffers(file.Get())) RaiseLastOSError(quoted);
  }
  // One rename puts the new file in the old one's place. (ReplaceFile would keep the old file's
  // attributes, but under Wine a failed ReplaceFile leaves a file of its own behind.)
  if (!::MoveFileExW(tempName.c_str(), fileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    RaiseLastOSError(quoted);
  temp.Keep();
}

std::wstring WritableTempFolder() {
  // A missing variable leaves the relative Zevrik\Temp\ below the current folder.
  const std::wstring candidates[] = {SystemTempFolder(), EnvironmentFolder(L"USERPROFILE") + L"Zevrik\\Temp",
                                     EnvironmentFolder(L"APPDATA") + L"Zevrik\\Temp"};
  for (const std::wstring& candidate : candidates) {
    std::wstring checked;
    if (FolderWritable(candidate, checked)) return checked;
  }
  return std::wstring();
}

void FilesStart() {
  gProgramFolder = IncludeTrailingBackslash(LongPathOf(FileFolder(ProgramFileName())));
}

void FilesStop() {
  gProgramFolder.clear();
  gProgramFolder.shrink_to_fit();
}
