#include "support/TempFolder.h"

#include "base/Exception.h"
#include "base/Files.h"
#include "base/Streams.h"
#include "base/Win.h"

#include <filesystem>

std::wstring UniqueTestName(const wchar_t* prefix) {
  static unsigned counter = 0;
  wchar_t name[96];
  ::wsprintfW(name, L"%s_%lu_%lu_%u", prefix, ::GetCurrentProcessId(), ::GetTickCount(), ++counter);
  return name;
}

TTempFolder::TTempFolder(const wchar_t* prefix) : FPath(SystemTempFolder() + UniqueTestName(prefix) + L"\\") {
  std::filesystem::create_directories(FPath);
}

TTempFolder::~TTempFolder() {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(FPath, ignored))
    ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
  ::SetFileAttributesW(FPath.c_str(), FILE_ATTRIBUTE_NORMAL);
  std::filesystem::remove_all(FPath, ignored);
}

std::wstring TTempFolder::WriteFile(const std::wstring& name, const std::string& bytes) const {
  std::wstring full = FPath + name;
  WriteFileBytes(full, bytes);
  return full;
}

std::string ReadFileBytes(const std::wstring& fileName) {
  try {
    TFileStream file(fileName, fmOpenRead);
    std::string bytes(static_cast<size_t>(file.Size()), '\0');
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    return bytes;
  } catch (const EOSError&) {
    return std::string();
  }
}

void WriteFileBytes(const std::wstring& fileName, const std::string& bytes) {
  TFileStream file(fileName, fmCreate);
  file.Write(bytes.data(), bytes.size());
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
    names.push_back(entry.path().filename().wstring());
  return names;
}
