#pragma once
// Byte streams: the abstract TStream, a growable memory block and a file.
#include "base/Handle.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum TSeekOrigin : std::uint8_t { soBeginning, soCurrent, soEnd };

class TStream {
public:
  virtual ~TStream() = default;

  // Reads up to Count bytes; returns how many were read (0 at the end).
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Writes Count bytes at the position and returns how many were written.
  virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
  // Moves the position and returns the new one.
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
  virtual std::int64_t Size();
  virtual void SetSize(std::int64_t newSize) = 0;

  std::int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(std::int64_t pos) { Seek(pos, soBeginning); }
};

class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string_view bytes);

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  // Positions before the start are clamped to 0; past the end is allowed (a later write fills
  // the gap with zeros).
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(FData.size()); }
  void SetSize(std::int64_t newSize) override;

  void Clear();
  // The bytes of the stream, Size() of them.
  std::uint8_t* Memory() noexcept { return FData.data(); }
  const std::uint8_t* Memory() const noexcept { return FData.data(); }
  // All bytes as a byte string.
  std::string DataString() const { return std::string(FData.begin(), FData.end()); }

private:
  std::vector<std::uint8_t> FData;
  std::size_t FPosition = 0;
};

// All bytes of a stream from position 0 to its end.
std::string ReadStreamBytes(TStream& stream);

enum TFileStreamMode : std::uint8_t {
  fmCreate,         // create or truncate, read and write
  fmOpenRead,       // existing file, read only
  fmOpenWrite,      // existing file, write only
  fmOpenReadWrite,  // existing file, read and write
};

// A file opened through the Win32 file functions. Others may read the file while it is open;
// a stream opened for reading also lets others write.
// Opening fails with EOSError; so do failed reads, writes and seeks.
class TFileStream : public TStream {
public:
  TFileStream(const std::wstring& fileName, TFileStreamMode mode);

  std::size_t Read(void* buffer, std::size_t count) override;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override;
  void SetSize(std::int64_t newSize) override;

  const std::wstring& FileName() const noexcept { return FFileName; }
  HANDLE Handle() const noexcept { return FHandle.Get(); }

private:
  std::wstring FFileName;
  TFileHandle FHandle;
};
