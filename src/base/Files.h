#pragma once
// File helpers: names, checksum, date and size of files, the on-disk spelling of paths, the
// program's folder and a temporary folder that is known to be writable.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Full path of the running program file.
std::wstring ProgramFileName();
// Folder of the running program file in its on-disk spelling, with trailing "\" (set at start).
const std::wstring& ProgramFolder();

// The file name without its folder (the part after the last "\", "/" or ":").
std::wstring FileNameOf(const std::wstring& path);
// The folder of Path up to and with its last "\", "/" or ":"; empty when Path names none.
std::wstring FileFolder(const std::wstring& path);
// The file name without folder and without the part from the last "." on.
std::wstring FileBaseName(const std::wstring& path);
// Path with the extension of its file name replaced by Ext (appended when it has none).
std::wstring ChangeFileExt(const std::wstring& path, const std::wstring& ext);
// Path with a trailing "\" (an empty path stays empty).
std::wstring IncludeTrailingBackslash(const std::wstring& path);

// CRC of the file's bytes, computed over blocks of 1 MiB, each block's result chained into the
// next. Raises EOSError when the file cannot be opened or read.
std::uint32_t FileCrc32(const std::wstring& fileName);
// Last-write time of the first file matching the name, in local time (date-time value); 0 when none.
double FileDateOf(const std::wstring& fileName);
// Size in bytes; -2 for an empty name, -1 when the file's attributes cannot be read.
std::int64_t FileSize64(const std::wstring& fileName);
// The path with its components in their on-disk spelling.
std::wstring LongPathOf(const std::wstring& path);

bool FolderExists(const std::wstring& folder);
bool FileExists(const std::wstring& fileName);
// Creates the folder with all missing parents; true when it exists afterwards.
bool ForceFolders(const std::wstring& folder);

// Writes the bytes to the file so that it is either the old file or the whole new one: they go
// into a new file beside it first, which then takes the old one's place. Raises EOSError (the
// old file untouched, no new file left) when any step fails.
void WriteFileReplacing(const std::wstring& fileName, std::string_view bytes);
// The same for bytes that Produce hands to Write part by part (a large text converted in
// slices); an exception of Produce leaves the old file as well.
using TByteSink = std::function<void(std::string_view bytes)>;
void WriteFileReplacing(const std::wstring& fileName, const std::function<void(const TByteSink& write)>& produce);

// A file that is deleted when the guard goes, unless it was kept.
class TTempFile {
public:
  explicit TTempFile(std::wstring name) : FName(std::move(name)) {}
  TTempFile(const TTempFile&) = delete;
  TTempFile& operator=(const TTempFile&) = delete;
  ~TTempFile();
  void Keep() noexcept { FName.clear(); }

private:
  std::wstring FName;
};

// The system's temporary folder with trailing "\"; empty on failure.
std::wstring SystemTempFolder();
// The environment variable's value with trailing "\" when it names an existing folder; empty otherwise.
std::wstring EnvironmentFolder(const std::wstring& varName);
// Creates the folder when missing and proves that a file can be created and deleted in it.
// Checked receives the folder with trailing "\".
bool FolderWritable(const std::wstring& folder, std::wstring& checked);
// Full name of a newly created empty file Folder + Prefix [+ "_" + 4 hex digits] + Ext; empty
// when none could be created.
std::wstring CreateUniqueFile(const std::wstring& folder, const std::wstring& prefix, const std::wstring& ext);
// The first writable of: the system's temporary folder, %USERPROFILE%\Zevrik\Temp\,
// %APPDATA%\Zevrik\Temp\; empty when none is.
std::wstring WritableTempFolder();

// Unit start and stop (library start-up list).
void FilesStart();
void FilesStop();
