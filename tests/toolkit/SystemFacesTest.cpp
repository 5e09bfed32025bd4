// The faces every window relies on without naming them: Marlett draws the caption buttons and
// the scroll arrows, Tahoma is the dialog face. Windows has them; under Wine they come from the
// fonts-wine package, and without them Wine draws the caption buttons as the letters "0 1 r".
#include "base/Win.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace {

std::wstring RealizedFace(const wchar_t* requested) {
  LOGFONTW logFont{};
  logFont.lfHeight = -12;
  logFont.lfCharSet = DEFAULT_CHARSET;
  std::wcsncpy(logFont.lfFaceName, requested, LF_FACESIZE - 1);
  HFONT font = ::CreateFontIndirectW(&logFont);
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, font);
  wchar_t face[LF_FACESIZE] = {};
  ::GetTextFaceW(dc, LF_FACESIZE, face);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  ::DeleteObject(font);
  return face;
}

TEST(SystemFaces, CaptionButtonAndDialogFacesAreThemselvesNotSubstitutes) {
  for (const wchar_t* face : {L"Marlett", L"Tahoma"})
    EXPECT_EQ(RealizedFace(face), face) << "install fonts-wine (scripts/setup.sh) and link its faces into the prefix";
}

}  // namespace
