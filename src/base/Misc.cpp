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

void SetMsgBoxProcs(TMsgBoxProc P1, TMsgBox2Proc P2, TMsgBox3Proc P3) {
  gMsgBoxProc = P1;
  gMsgBox2Proc = P2;
  gMsgBox3Proc = P3;
}

void ClearMsgBoxProcs() { SetMsgBoxProcs(nullptr, nullptr, nullptr); }

bool MsgBox3Available() { return gMsgBox3Proc != nullptr; }

TMsgBoxProcs CurrentMsgBoxProcs() { return {gMsgBoxProc, gMsgBox2Proc, gMsgBox3Proc}; }

std::wstring HeadlineAboveMessage(const std::wstring& headline, const std::wstring& message) {
  if (headline.empty()) return message;
  return headline + L"\r\n" + std::wstring(headline.size(), L'\u2013') + L"\r\n" + message;
}

int SystemMsgBox(const std::wstring& headline, const std::wstring& message, std::uint32_t Flags, HWND Wnd) {
  return ::MessageBoxW(Wnd, HeadlineAboveMessage(headline, message).c_str(), ProgramFileBaseName().c_str(), Flags);
}

int MsgBox(const std::wstring& text, std::uint32_t Flags, HWND Wnd) {
  if (gMsgBoxProc) return gMsgBoxProc(text, Flags, Wnd);
  return SystemMsgBox(std::wstring(), text, Flags, Wnd);
}

int MsgBox(const std::wstring& headline, const std::wstring& message, std::uint32_t Flags, HWND Wnd) {
  if (gMsgBox2Proc) return gMsgBox2Proc(headline, message, Flags, Wnd);
  return SystemMsgBox(headline, message, Flags, Wnd);
}

int MsgBox3(const std::wstring& text, std::uint32_t Flags, TForm* owner) {
  if (gMsgBox3Proc) return gMsgBox3Proc(std::wstring(), text, std::wstring(), Flags, owner);
  return MsgBox(text, Flags, nullptr);
}

int MsgBox3(const std::wstring& headline, const std::wstring& message, std::uint32_t Flags, TForm* owner) {
  if (gMsgBox3Proc) return gMsgBox3Proc(headline, message, std::wstring(), Flags, owner);
  return MsgBox(headline, message, Flags, nullptr);
}

int MsgBox3(const std::wstring& headline, const std::wstring& message, const std::wstring& buttons,
            std::uint32_t Flags, TForm* owner) {
  if (gMsgBox3Proc) return gMsgBox3Proc(headline, message, buttons, Flags, owner);
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

void SetProgramInfo(const std::wstring& FullName, const std::wstring& ShortName, const std::wstring& Version,
                    const std::wstring& ExtraInfo) {
  gProgramFullName = FullName;
  gProgramShortName = ShortName;
  gProgramVersion = Version;
  gProgramExtraInfo = ExtraInfo;
  gProgramBuildNumber = FileVersionBuild();
}

void SetBusyCursorProcs(TBusyProc BeginProc, TBusyProc EndProc) {
  gBusyBeginProc = BeginProc;
  gBusyEndProc = EndProc;
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

void SetPopupMsgProcs(TPopupMsgShowProc ShowProc, TPopupMsgHideProc HideProc) {
  gPopupMsgShowProc = ShowProc;
  gPopupMsgHideProc = HideProc;
}

TStack* PopupStack() { return gPopupStack.get(); }

void PushPopupMsg(const std::wstring& Text, TForm* Owner, TAlignment Align) {
  if (gPopupStack) gPopupStack->Push(std::make_unique<TTextNode>(Text, Align));
  if (gPopupMsgShowProc) gPopupMsgShowProc(Text, Align, Owner);
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
