#include "base/Misc.h"

namespace {

TMsgBoxProc gMsgBoxProc = nullptr;
TMsgBox2Proc gMsgBox2Proc = nullptr;
TMsgBox3Proc gMsgBox3Proc = nullptr;

std::wstring ProgramFileBaseName() {
  wchar_t path[MAX_PATH * 4];
  DWORD n = ::GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  std::wstring name(path, n);
  size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos) name.erase(0, slash + 1);
  size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.erase(dot);
  return name;
}

}  // namespace

void SetMsgBoxProcs(TMsgBoxProc P1, TMsgBox2Proc P2, TMsgBox3Proc P3) {
  gMsgBoxProc = P1;
  gMsgBox2Proc = P2;
  gMsgBox3Proc = P3;
}

void ClearMsgBoxProcs() { SetMsgBoxProcs(nullptr, nullptr, nullptr); }

bool MsgBox3Available() { return gMsgBox3Proc != nullptr; }

std::wstring HeadlineAboveMessage(const std::wstring& AHeadline, const std::wstring& AMessage) {
  if (AHeadline.empty()) return AMessage;
  return AHeadline + L"\r\n" + std::wstring(AHeadline.size(), L'\u2013') + L"\r\n" + AMessage;
}

int SystemMsgBox(const std::wstring& AHeadline, const std::wstring& AMessage, std::uint32_t Flags, HWND Wnd) {
  return ::MessageBoxW(Wnd, HeadlineAboveMessage(AHeadline, AMessage).c_str(), ProgramFileBaseName().c_str(), Flags);
}

int MsgBox(const std::wstring& AText, std::uint32_t Flags, HWND Wnd) {
  if (gMsgBoxProc) return gMsgBoxProc(AText, Flags, Wnd);
  return SystemMsgBox(std::wstring(), AText, Flags, Wnd);
}

int MsgBox(const std::wstring& AHeadline, const std::wstring& AMessage, std::uint32_t Flags, HWND Wnd) {
  if (gMsgBox2Proc) return gMsgBox2Proc(AHeadline, AMessage, Flags, Wnd);
  return SystemMsgBox(AHeadline, AMessage, Flags, Wnd);
}

int MsgBox3(const std::wstring& AText, std::uint32_t Flags, TForm* AOwner) {
  if (gMsgBox3Proc) return gMsgBox3Proc(std::wstring(), AText, std::wstring(), Flags, AOwner);
  return MsgBox(AText, Flags, nullptr);
}

int MsgBox3(const std::wstring& AHeadline, const std::wstring& AMessage, std::uint32_t Flags, TForm* AOwner) {
  if (gMsgBox3Proc) return gMsgBox3Proc(AHeadline, AMessage, std::wstring(), Flags, AOwner);
  return MsgBox(AHeadline, AMessage, Flags, nullptr);
}

int MsgBox3(const std::wstring& AHeadline, const std::wstring& AMessage, const std::wstring& AButtons,
            std::uint32_t Flags, TForm* AOwner) {
  if (gMsgBox3Proc) return gMsgBox3Proc(AHeadline, AMessage, AButtons, Flags, AOwner);
  // Without the dialog unit there is no way to offer the caller's buttons: say so and cancel.
  MsgBox(L"Error in QelMisc: MsgBox3Proc not defined.\r\n\r\n" +
             (AHeadline.empty() ? std::wstring() : HeadlineAboveMessage(AHeadline, std::wstring())) + AMessage +
             L"\r\nButtons: " + AButtons + L"\r\n\r\nCANCELLED",
         MB_ICONEXCLAMATION | MB_OK, nullptr);
  return IDCANCEL;
}
