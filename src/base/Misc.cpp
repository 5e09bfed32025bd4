#include "base/Misc.h"

#include "base/Files.h"
#include "base/Locale.h"
#include "base/Strings.h"
#include "base/Win32.h"

namespace {

TMsgBoxProc gMsgBoxProc = nullptr;
TMsgBox2Proc gMsgBox2Proc = nullptr;
TMsgBox3Proc gMsgBox3Proc = nullptr;

std::wstring gProgramFullName;
std::wstring gProgramShortName;
std::wstring gProgramVersion;
std::wstring gProgramExtraInfo;
std::uint32_t gProgramBuildNumber = 0;

TBusyProc gBusyBeginProc = nullptr;
TBusyProc gBusyEndProc = nullptr;
int gBusyCount = 0;
// Shared system cursors: loaded at start, never destroyed.
HCURSOR gArrowCursor = nullptr;
HCURSOR gWaitCursor = nullptr;

TPopupMsgShowProc gPopupMsgShowProc = nullptr;
TPopupMsgHideProc gPopupMsgHideProc = nullptr;
std::unique_ptr<TStack> gPopupStack;

std::wstring ProgramFileBaseName() { return FileBaseName(ProgramFileName()); }

void ReleaseText(std::wstring& text) {
  text.clear();
  text.shrink_to_fit();
}

}  // namespace

void SetMsgBoxProcs(TMsgBoxProc p1, TMsgBox2Proc p2, TMsgBox3Proc p3) {
  gMsgBoxProc = p1;
  gMsgBox2Proc = p2;
  gMsgBox3Proc = p3;
}

void ClearMsgBoxProcs() { SetMsgBoxProcs(nullptr, nullptr, nullptr); }

bool MsgBox3Available() { return gMsgBox3Proc != nullptr; }

TMsgBoxProcs CurrentMsgBoxProcs() { return {gMsgBoxProc, gMsgBox2Proc, gMsgBox3Proc}; }

std::wstring HeadlineAboveMessage(const std::wstring& headline, const std::wstring& message) {
  if (headline.empty()) return message;
  return headline + L"\r\n" + std::wstring(headline.size(), L'\u2013') + L"\r\n" + message;
}

int SystemMsgBox(const std::wstring& headline, const std::wstring& message, std::uint32_t flags, HWND wnd) {
  return ::MessageBoxW(wnd, HeadlineAboveMessage(headline, message).c_str(), ProgramFileBaseName().c_str(), flags);
}

int MsgBox(const std::wstring& text, std::uint32_t flags, HWND wnd) {
  if (gMsgBoxProc) return gMsgBoxProc(text, flags, wnd);
  return SystemMsgBox(std::wstring(), text, flags, wnd);
}

int MsgBox(const std::wstring& headline, const std::wstring& message, std::uint32_t flags, HWND wnd) {
  if (gMsgBox2Proc) return gMsgBox2Proc(headline, message, flags, wnd);
  return SystemMsgBox(headline, message, flags, wnd);
}

int MsgBox3(const std::wstring& text, std::uint32_t flags, TForm* owner) {
  if (gMsgBox3Proc) return gMsgBox3Proc(std::wstring(), text, std::wstring(), flags, owner);
  return MsgBox(text, flags, nullptr);
}

int MsgBox3(const std::wstring& headline, const std::wstring& message, std::uint32_t flags, TForm* owner) {
  if (gMsgBox3Proc) return gMsgBox3Proc(headline, message, std::wstring(), flags, owner);
  return MsgBox(headline, message, flags, nullptr);
}

int MsgBox3(const std::wstring& headline, const std::wstring& message, const std::wstring& buttons,
            std::uint32_t flags, TForm* owner) {
  if (gMsgBox3Proc) return gMsgBox3Proc(headline, message, buttons, flags, owner);
  // Without the dialog unit there is no way to offer the caller's buttons: say so and cancel.
  MsgBox(L"Error in QelMisc: MsgBox3Proc not defined.\r\n\r\n" +
             (headline.empty() ? std::wstring() : HeadlineAboveMessage(headline, std::wstring())) + message +
             L"\r\nButtons: " + buttons + L"\r\n\r\nCANCELLED",
         MB_ICONEXCLAMATION | MB_OK, nullptr);
  return IDCANCEL;
}

const std::wstring& ProgramFullName() { return gProgramFullName; }
const std::wstring& ProgramShortName() { return gProgramShortName; }
const std::wstring& ProgramVersion() { return gProgramVersion; }
const std::wstring& ProgramExtraInfo() { return gProgramExtraInfo; }
std::uint32_t ProgramBuildNumber() { return gProgramBuildNumber; }

void SetProgramInfo(const std::wstring& fullName, const std::wstring& shortName, const std::wstring& version,
                    const std::wstring& extraInfo) {
  gProgramFullName = fullName;
  gProgramShortName = shortName;
  gProgramVersion = version;
  gProgramExtraInfo = extraInfo;
  gProgramBuildNumber = FileVersionBuild();
}

void SetBusyCursorProcs(TBusyProc beginProc, TBusyProc endProc) {
  gBusyBeginProc = beginProc;
  gBusyEndProc = endProc;
}

int BusyCount() { return gBusyCount; }

void BeginBusy() {
  ++gBusyCount;
  if (gBusyBeginProc)
    gBusyBeginProc();
  else
    ::SetCursor(gWaitCursor);
}

void EndBusy() {
  --gBusyCount;
  if (gBusyCount <= 0) ResetBusy();
}

void ResetBusy() {
  if (gBusyEndProc)
    gBusyEndProc();
  else
    ::SetCursor(gArrowCursor);
  gBusyCount = 0;
}

void SetPopupMsgProcs(TPopupMsgShowProc showProc, TPopupMsgHideProc hideProc) {
  gPopupMsgShowProc = showProc;
  gPopupMsgHideProc = hideProc;
}

TStack* PopupStack() { return gPopupStack.get(); }

void PushPopupMsg(const std::wstring& text, TForm* owner, TAlignment align) {
  if (gPopupStack) gPopupStack->Push(std::make_unique<TTextNode>(text, align));
  if (gPopupMsgShowProc) gPopupMsgShowProc(text, align, owner);
}

void PopPopupMsg() {
  if (gPopupStack) gPopupStack->Pop();  // the node is freed here
  auto* top = gPopupStack ? dynamic_cast<TTextNode*>(gPopupStack->Last()) : nullptr;
  if (!top) {
    if (gPopupMsgHideProc) gPopupMsgHideProc();
  } else if (gPopupMsgShowProc) {
    gPopupMsgShowProc(top->Text, top->Align, nullptr);
  }
}

void MiscStart() {
  ClearMsgBoxProcs();
  SetBusyCursorProcs(nullptr, nullptr);
  SetPopupMsgProcs(nullptr, nullptr);
  gPopupStack = std::make_unique<TStack>();
  gBusyCount = 0;
  gArrowCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  gWaitCursor = ::LoadCursorW(nullptr, IDC_WAIT);
  gProgramFullName = gProgramShortName = ProgramFileBaseName();
  ReleaseText(gProgramVersion);
  ReleaseText(gProgramExtraInfo);
  gProgramBuildNumber = 0;
  DisableGhosting();
  ::SetThreadLocale(::GetUserDefaultLCID());
  ReloadLocaleSettings();
}

void MiscStop() {
  gPopupStack.reset();
  gArrowCursor = gWaitCursor = nullptr;
  ClearMsgBoxProcs();
  SetBusyCursorProcs(nullptr, nullptr);
  SetPopupMsgProcs(nullptr, nullptr);
  ReleaseText(gProgramFullName);
  ReleaseText(gProgramShortName);
  ReleaseText(gProgramVersion);
  ReleaseText(gProgramExtraInfo);
}
