#include "toolkit/Clipbrd.h"

#include "base/Handle.h"

#include <cstring>
#include <cwchar>
#include <span>

namespace {

// How long another program may keep the clipboard before we give up.
constexpr ULONGLONG kOpenPatienceMsec = 500;
constexpr DWORD kRetryPauseMsec = 10;

using TGlobalMemory = TUniqueHandle<HGLOBAL, ::GlobalFree>;

// The clipboard's owner while we put data on it: without an owner window, EmptyClipboard
// leaves the clipboard without owner and SetClipboardData fails.
HWND ClipboardWindow() {
  static HWND wnd = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      ::GetModuleHandleW(nullptr), nullptr);
  return wnd;
}

// The clipboard, open for one scope.
class TOpenClipboard {
public:
  TOpenClipboard() {
    const ULONGLONG giveUp = ::GetTickCount64() + kOpenPatienceMsec;
    while (!::OpenClipboard(ClipboardWindow())) {
      const DWORD error = ::GetLastError();
      if (::GetTickCount64() >= giveUp)
        throw EClipboardException(L"Cannot open clipboard: " + SysErrorMessage(error));
      ::Sleep(kRetryPauseMsec);
    }
  }
  TOpenClipboard(const TOpenClipboard&) = delete;
  TOpenClipboard& operator=(const TOpenClipboard&) = delete;
  ~TOpenClipboard() { ::CloseClipboard(); }
};

// Locks a global memory block for one scope.
class TGlobalLock {
public:
  explicit TGlobalLock(HGLOBAL memory) noexcept : FMemory(memory), FData(::GlobalLock(memory)) {}
  TGlobalLock(const TGlobalLock&) = delete;
  TGlobalLock& operator=(const TGlobalLock&) = delete;
  ~TGlobalLock() {
    if (FData) ::GlobalUnlock(FMemory);
  }
  void* Data() const noexcept { return FData; }

private:
  HGLOBAL FMemory;
  void* FData;
};

// A format's data in a movable block, before the clipboard takes it.
struct TFormatData {
  UINT Format;
  TGlobalMemory Memory;
};

// A movable block of bytes, written by fill.
TGlobalMemory FilledMemory(std::size_t bytes, const std::function<void(void* data)>& fill) {
  TGlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory) throw EClipboardException(L"Cannot copy to clipboard: " + SysErrorMessage(::GetLastError()));
  TGlobalLock lock(memory.Get());
  if (!lock.Data()) throw EClipboardException(L"Cannot copy to clipboard: " + SysErrorMessage(::GetLastError()));
  fill(lock.Data());
  return memory;
}

// Replaces the clipboard's content by the formats; the first one must be taken.
void Put(std::span<TFormatData> formats) {
  TOpenClipboard open;
  ::EmptyClipboard();
  for (TFormatData& format : formats) {
    if (::SetClipboardData(format.Format, format.Memory.Get()))
      format.Memory.Release();  // the clipboard owns it now
    else if (&format == &formats.front())
      throw EClipboardException(L"Cannot copy to clipboard: " + SysErrorMessage(::GetLastError()));
  }
}

}  // namespace

// The owner window is made with the object, on the thread that first asks for it.
TClipboard::TClipboard() { ClipboardWindow(); }

TClipboard& Clipboard() {
  static TClipboard clipboard;
  return clipboard;
}

std::wstring TClipboard::AsText() const {
  TOpenClipboard open;
  HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
  if (!data) return {};
  TGlobalLock lock(data);
  const auto* text = static_cast<const wchar_t*>(lock.Data());
  if (!text) return {};
  // Another program's block need not end with a zero: read no further than the block.
  const size_t capacity = ::GlobalSize(data) / sizeof(wchar_t);
  return std::wstring(text, ::wcsnlen(text, capacity));
}

void TClipboard::SetAsText(const std::wstring& text) {
  SetAsText(text.size(), [&text](wchar_t* to) { std::wmemcpy(to, text.data(), text.size()); });
}

void TClipboard::SetAsText(std::size_t length, const std::function<void(wchar_t* text)>& fill) {
  TFormatData text{CF_UNICODETEXT, FilledMemory((length + 1) * sizeof(wchar_t), [length, &fill](void* data) {
                     auto* chars = static_cast<wchar_t*>(data);
                     fill(chars);
                     chars[length] = L'\0';
                   })};
  Put(std::span(&text, 1));
}

void TClipboard::SetAsAnsiText(std::size_t length, const std::function<void(char* text)>& fill) {
  // The locale tells a program that pastes Unicode which code page the bytes are in: that of the
  // system, not of the keyboard layout the system would otherwise take.
  const LCID locale = ::GetSystemDefaultLCID();
  TFormatData data[] = {
      {CF_TEXT, FilledMemory(length + 1,
                             [length, &fill](void* bytes) {
                               auto* chars = static_cast<char*>(bytes);
                               fill(chars);
                               chars[length] = '\0';
                             })},
      {CF_LOCALE, FilledMemory(sizeof locale, [locale](void* bytes) { std::memcpy(bytes, &locale, sizeof locale); })}};
  Put(data);
}

bool TClipboard::HasText() const { return ::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE; }

void TClipboard::Clear() {
  TOpenClipboard open;
  ::EmptyClipboard();
}
