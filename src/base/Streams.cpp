#include "base/Streams.h"

#include "base/Exception.h"

#include <algorithm>
#include <cstring>
#include <limits>

std::int64_t TStream::Size() {
  std::int64_t pos = Seek(0, soCurrent);
  std::int64_t size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

std::string ReadStreamBytes(TStream& stream) {
  stream.SetPosition(0);
  // The size is only a hint: a stream may deliver fewer bytes, or more.
  std::string bytes(static_cast<size_t>(std::max<std::int64_t>(stream.Size(), 0)), '\0');
  size_t got = 0;
  while (got < bytes.size()) {
    size_t n = stream.Read(bytes.data() + got, bytes.size() - got);
    if (n == 0) break;
    got += n;
  }
  bytes.resize(got);
  char more[4096];
  for (size_t n; (n = stream.Read(more, sizeof more)) > 0;) bytes.append(more, n);
  return bytes;
}

TMemoryStream::TMemoryStream(std::string_view bytes) : FData(bytes.begin(), bytes.end()) {}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  if (FPosition >= FData.size()) return 0;
  std::size_t n = std::min(count, FData.size() - FPosition);
  std::memcpy(buffer, FData.data() + FPosition, n);
  FPosition += n;
  return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return 0;
  std::size_t end = FPosition + count;
  if (end > FData.size()) {
    // Geometric growth keeps long runs of small writes linear.
    if (end > FData.capacity()) FData.reserve(std::max(end, FData.capacity() + FData.capacity() / 2));
    FData.resize(end);
  }
  std::memcpy(FData.data() + FPosition, buffer, count);
  FPosition = end;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  std::int64_t base = origin == soBeginning ? 0
                      : origin == soCurrent ? static_cast<std::int64_t>(FPosition)
                                            : static_cast<std::int64_t>(FData.size());
  std::int64_t pos = offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset ? base : base + offset;
  FPosition = static_cast<std::size_t>(std::max<std::int64_t>(pos, 0));
  return static_cast<std::int64_t>(FPosition);
}

void TMemoryStream::SetSize(std::int64_t newSize) {
  FData.resize(static_cast<std::size_t>(std::max<std::int64_t>(newSize, 0)));
  FPosition = std::min(FPosition, FData.size());
}

void TMemoryStream::Clear() {
  FData.clear();
  FData.shrink_to_fit();
  FPosition = 0;
}

namespace {

struct TOpenArgs {
  DWORD Access, Share, Disposition;
};

// Every stream lets others read; a reader also tolerates a writer (a log being written).
TOpenArgs OpenArgs(TFileStreamMode mode) {
  switch (mode) {
    case fmCreate: return {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS};
    case fmOpenRead: return {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING};
    case fmOpenWrite: return {GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING};
    case fmOpenReadWrite: break;
  }
  return {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING};
}

// ReadFile and WriteFile take at most 4 GB less one byte a call.
constexpr std::size_t kMaxChunk = 1u << 30;

}  // namespace

TFileStream::TFileStream(const std::wstring& fileName, TFileStreamMode mode) : FFileName(fileName) {
  TOpenArgs args = OpenArgs(mode);
  FHandle.Reset(::CreateFileW(fileName.c_str(), args.Access, args.Share, nullptr, args.Disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!FHandle) RaiseLastOSError(L"Cannot open file \"" + fileName + L"\"");
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::size_t total = 0;
  while (total < count) {
    DWORD chunk = static_cast<DWORD>(std::min(count - total, kMaxChunk)), got = 0;
    if (!::ReadFile(FHandle.Get(), out + total, chunk, &got, nullptr)) RaiseLastOSError(L"ReadFile");
    total += got;
    if (got < chunk) break;  // end of file
  }
  return total;
}

std::size_t TFileStream::Write(const void* buffer, std::size_t count) {
  const auto* in = static_cast<const std::uint8_t*>(buffer);
  std::size_t total = 0;
  while (total < count) {
    DWORD chunk = static_cast<DWORD>(std::min(count - total, kMaxChunk)), put = 0;
    if (!::WriteFile(FHandle.Get(), in + total, chunk, &put, nullptr)) RaiseLastOSError(L"WriteFile");
    total += put;
    if (put < chunk) break;
  }
  return total;
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  static const DWORD kMethods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  if (!::SetFilePointerEx(FHandle.Get(), distance, &result, kMethods[origin])) RaiseLastOSError(L"SetFilePointerEx");
  return result.QuadPart;
}

std::int64_t TFileStream::Size() {
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(FHandle.Get(), &size)) RaiseLastOSError(L"GetFileSizeEx");
  return size.QuadPart;
}

void TFileStream::SetSize(std::int64_t newSize) {
  std::int64_t pos = Position();
  Seek(newSize, soBeginning);
  if (!::SetEndOfFile(FHandle.Get())) RaiseLastOSError(L"SetEndOfFile");
  Seek(std::min(pos, newSize), soBeginning);
}
