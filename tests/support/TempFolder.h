#pragma once
// Throwaway files for tests: a fresh folder below the system's temporary folder, and the bytes
// of files read and written whole.
#include <string>
#include <vector>

// A name of its own per process, moment and call: Prefix_<process>_<ticks>_<n>.
std::wstring UniqueTestName(const wchar_t* prefix);

// A new folder, removed with everything in it (read-only files too) when the object goes.
class TTempFolder {
public:
  explicit TTempFolder(const wchar_t* prefix = L"TavrinoTest");
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  ~TTempFolder();

  // Full path with trailing "\".
  const std::wstring& Path() const { return FPath; }
  // Writes a file of the folder (Name relative to it) and returns its full name.
  std::wstring WriteFile(const std::wstring& name, const std::string& bytes) const;

private:
  std::wstring FPath;
};

// The bytes of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::wstring& fileName);
// Creates or replaces the file with the bytes; raises EOSError when it cannot.
void WriteFileBytes(const std::wstring& fileName, const std::string& bytes);
// Names of the files and folders in a folder.
std::vector<std::wstring> FilesIn(const std::wstring& folder);
