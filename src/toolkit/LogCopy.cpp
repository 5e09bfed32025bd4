#include "toolkit/LogCopy.h"

#include "base/Unicode.h"
#include "base/Win.h"
#include "toolkit/Clipbrd.h"

#include <algorithm>
#include <string_view>

namespace {

using TPos = TLogText::TPos;

// One byte per character in the ANSI code page, and no character it cannot write.
template <class TText>
bool FitsAnsiBytes(const TText& text, TPos pos, TPos count) {
  CPINFO codePage{};
  if (!::GetCPInfo(CP_ACP, &codePage) || codePage.MaxCharSize != 1) return false;
  TCodePageMisfits misfits;
  ReadInSlices(text, pos, count, [&misfits](std::wstring_view slice) { misfits.Add(slice); });
  return misfits.Count() == 0;
}

template <class TText>
void Copy(TClipboard& clipboard, const TText& text, TPos pos, TPos count) {
  pos = std::clamp<TPos>(pos, 0, text.Length());
  count = std::clamp<TPos>(count, 0, text.Length() - pos);
  const auto length = static_cast<std::size_t>(count);
  if (FitsAnsiBytes(text, pos, count)) {
    clipboard.SetAsAnsiText(length, [&](char* to) {
      ReadInSlices(text, pos, count, [&to](std::wstring_view slice) {
        const int chars = static_cast<int>(slice.size());
        const int written = ::WideCharToMultiByte(CP_ACP, 0, slice.data(), chars, to, chars, nullptr, nullptr);
        std::fill(to + std::max(written, 0), to + chars, '?');  // (never: every character fits, one byte each)
        to += chars;
      });
    });
  } else {
    clipboard.SetAsText(length, [&](wchar_t* to) { text.Read(pos, count, to); });
  }
}

}  // namespace

void CopyLogText(TClipboard& clipboard, const TLogText& text, TPos pos, TPos count) {
  Copy(clipboard, text, pos, count);
}

void CopyLogText(TClipboard& clipboard, const TLogTextSnapshot& text, TPos pos, TPos count) {
  Copy(clipboard, text, pos, count);
}
