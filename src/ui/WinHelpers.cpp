#include "ui/WinHelpers.h"

#include "base/Exception.h"
#include "base/Files.h"
#include "base/Misc.h"
#include "base/Strings.h"
#include "lang/DmLang.h"
#include "settings/AppSettings.h"
#include "toolkit/StdCtrls.h"
#include "ui/FrmPopupMsg.h"

#include <algorithm>
#include <climits>
#include <commdlg.h>
#include <shellapi.h>

namespace {

TMonitorsProc gMonitorsProc = nullptr;
TShellExecuteProc gShellExecuteProc = nullptr;

HWND MainWindowHandle() {
  TForm* main = Application().MainForm();
  return main && main->HandleAllocated() ? main->Handle() : nullptr;
}

// DPIs a stored placement may name; any other value is no DPI (the size is taken as it is).
constexpr int kMinStoredDpi = 48, kMaxStoredDpi = 960;

TSettings* StoreOrApp(TSettings* Settings) { return Settings ? Settings : AppSettings(); }

std::wstring PlacementEntry(TSettings* Settings, const TForm* Form) {
  return Settings->FormSection() + L"\r" + Form->Name();
}

int Area(const RECT& r) { return std::max(0L, r.right - r.left) * std::max(0L, r.bottom - r.top); }

// The monitor of the list that holds most of the rectangle, else the nearest one; the primary
// monitor when the list is empty.
int NearestMonitor(const std::vector<TMonitor>& monitors, const RECT& rect) {
  int best = -1;
  long bestScore = LONG_MIN;
  for (size_t i = 0; i < monitors.size(); ++i) {
    RECT common;
    const RECT& m = monitors[i].Bounds;
    long score;
    if (::IntersectRect(&common, &m, &rect)) {
      score = Area(common);
    } else {
      const long dx = std::max({m.left - rect.right, rect.left - m.right, 0L});
      const long dy = std::max({m.top - rect.bottom, rect.top - m.bottom, 0L});
      score = -(dx + dy);
    }
    if (score > bestScore) {
      bestScore = score;
      best = static_cast<int>(i);
    }
  }
  return best;
}

int WindowStateOf(HWND wnd) { return ::IsIconic(wnd) ? 1 : ::IsZoomed(wnd) ? 2 : 0; }

// Field n (from 1) of a placement text as an integer, Default when it is empty or no number.
int Field(const std::wstring& text, int n, int Default) {
  return GetTokenInt(text, L",", n, Default);
}

bool IsSizeable(const TForm* Form) {
  return Form->BorderStyle() == bsSizeable || Form->BorderStyle() == bsSizeToolWin;
}

// Moves a rectangle into an area as far as it fits.
RECT FullyInside(RECT r, const RECT& area) {
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (r.right > area.right) ::OffsetRect(&r, area.right - r.right, 0);
  if (r.bottom > area.bottom) ::OffsetRect(&r, 0, area.bottom - r.bottom);
  if (r.left < area.left) ::OffsetRect(&r, area.left - r.left, 0);
  if (r.top < area.top) ::OffsetRect(&r, 0, area.top - r.top);
  r.right = r.left + width;
  r.bottom = r.top + height;
  return r;
}

void SystemShellExecute(HWND parent, const std::wstring& verb, const std::wstring& target,
                        const std::wstring& parameters) {
  ::ShellExecuteW(parent, verb.c_str(), target.c_str(), parameters.empty() ? nullptr : parameters.c_str(), nullptr,
                  SW_SHOWNORMAL);
}

std::wstring NormalisedExt(const std::wstring& ext) { return LocaleLowerCase(TrimCharsStr(ext, L".", true, true)); }

}  // namespace

// ---- placement ----

void SetMonitorsProc(TMonitorsProc Proc) noexcept { gMonitorsProc = Proc; }

std::vector<TMonitor> PlacementMonitors() { return gMonitorsProc ? gMonitorsProc() : Screen().Monitors(); }

TMonitor PrimaryMonitor() {
  for (const TMonitor& m : PlacementMonitors())
    if (m.Primary) return m;
  return Screen().PrimaryMonitor();
}

std::wstring PlacementText(const RECT& Window, int State, const TMonitor& Monitor, int MonitorNumber, int Dpi) {
  const int width = Window.right - Window.left, height = Window.bottom - Window.top;
  int x = Window.left - Monitor.Bounds.left;
  int y = Window.top - Monitor.Bounds.top;
  if (x < -width / 2) x = 0;
  if (y < -height / 2) y = 0;
  std::wstring text = std::to_wstring(x) + L"," + std::to_wstring(y) + L"," + std::to_wstring(width) + L"," +
                      std::to_wstring(height) + L"," + std::to_wstring(State) + L",";
  if (!Monitor.Primary) text += std::to_wstring(MonitorNumber);
  return text + L"," + std::to_wstring(Dpi);
}

void SaveFormPlacement(TForm* Form, TSettings* Settings) {
  Settings = StoreOrApp(Settings);
  if (!Form || !Settings || !Form->HandleAllocated()) return;
  const RECT window = Form->WindowRect();
  const std::vector<TMonitor> monitors = PlacementMonitors();
  const int number = NearestMonitor(monitors, window);
  const TMonitor monitor = number >= 0 ? monitors[static_cast<size_t>(number)] : PrimaryMonitor();
  Settings->WrString(PlacementEntry(Settings, Form),
                     PlacementText(window, WindowStateOf(Form->Handle()), monitor, number, Form->Dpi()));
}

bool RestoreFormPlacement(TForm* Form, TSettings* Settings) {
  Settings = StoreOrApp(Settings);
  if (!Form || !Settings) return false;
  const std::wstring text = Settings->RdString(PlacementEntry(Settings, Form));
  if (text.empty()) return false;
  Form->HandleNeeded();
  const std::vector<TMonitor> monitors = PlacementMonitors();
  const int count = static_cast<int>(monitors.size());

  // The stored monitor, when it still exists: the window goes fully onto it.
  const int m = Field(text, 6, -1);
  if (m >= 0 && m < count) {
    const RECT placed = FullyInside(Form->WindowRect(), monitors[static_cast<size_t>(m)].WorkArea);
    Form->SetWindowPosition(placed.left, placed.top);
  }

  int state = Field(text, 5, 0);
  if (state < 0 || state > 2) state = 0;
  Form->SetWindowState(static_cast<TWindowState>(state));
  if (state != 0) return true;  // maximised or minimised: position and size stay as they are

  const int nearest = NearestMonitor(monitors, Form->WindowRect());
  const TMonitor monitor = nearest >= 0 ? monitors[static_cast<size_t>(nearest)] : PrimaryMonitor();
  const int mw = monitor.Width(), mh = monitor.Height();
  int x = Field(text, 1, 0), y = Field(text, 2, 0), w = Field(text, 3, 0), h = Field(text, 4, 0);
  // A size stored at another DPI (a display scale changed since) keeps what it showed: the
  // contents grow or shrink with the DPI, and the window with them.
  const int storedDpi = Field(text, 7, 0);
  if (storedDpi >= kMinStoredDpi && storedDpi <= kMaxStoredDpi && storedDpi != Form->Dpi()) {
    w = ::MulDiv(w, Form->Dpi(), storedDpi);
    h = ::MulDiv(h, Form->Dpi(), storedDpi);
  }
  if (x < -w / 2) x = 0;
  if (x >= mw) x = mw / 2;
  if (mw < w) w = mw - 20;
  if (y < -h / 2) y = 0;
  if (y >= mh) y = mh / 2;
  if (mh < h) h = mh - 20;
  const RECT current = Form->WindowRect();
  if (IsSizeable(Form)) {
    // A stored size too small to use (or no number at all) gives the smallest window the system
    // allows, and never one smaller than the window's contents need.
    const SIZE least = Form->MinWindowSize();
    w = std::max({w, ::GetSystemMetrics(SM_CXMINTRACK), static_cast<int>(least.cx)});
    h = std::max({h, ::GetSystemMetrics(SM_CYMINTRACK), static_cast<int>(least.cy)});
  } else {
    w = current.right - current.left;
    h = current.bottom - current.top;
  }
  Form->SetWindowBounds(RECT{x + monitor.Bounds.left, y + monitor.Bounds.top, x + monitor.Bounds.left + w,
                             y + monitor.Bounds.top + h});
  return true;
}

// ---- fonts, focus, layout ----

void ApplyMainFormFont(TComponent* Component) {
  TForm* main = Application().MainForm();
  TFontDesc old;
  if (!Component || !main || !Component->GetFontProperty(L"Font", old)) return;
  const TFontDesc mainFont = main->Font();
  const int oldSize = old.Points(), newSize = mainFont.Points();
  Component->SetFontProperty(L"Font", mainFont);
  for (TComponent* owned : Component->Components()) {
    TFontDesc font;
    if (!owned->GetFontProperty(L"Font", font) || font.Name != old.Name) continue;
    font.Name = mainFont.Name;
    if (font.Points() != newSize && oldSize != 0) font.SetPoints(font.Points() * newSize / oldSize);
    owned->SetFontProperty(L"Font", font);
  }
}

TControl* FirstFocusableControl(TControl* Parent) {
  if (!Parent) return nullptr;
  TControl* best = nullptr;
  for (TControl* c : Parent->Children())
    if (c->Visible() && c->Enabled() && c->TabStop() && (!best || c->TabOrder() < best->TabOrder())) best = c;
  if (best) return best;
  for (TControl* c : Parent->Children()) {
    if (!c->Visible() || !c->Enabled()) continue;
    if (TControl* inner = FirstFocusableControl(c)) return inner;
  }
  return nullptr;
}

TControl* FocusFirstControl(TControl* Sheet) {
  if (!Sheet || !Sheet->Parent()) return nullptr;
  TControl* control = FirstFocusableControl(Sheet);
  if (!control || !control->Showing() || !control->CanFocus()) return nullptr;
  control->SetFocus();
  return control;
}

TForm* ParentForm(TControl* Control) {
  for (TControl* c = Control; c; c = c->Parent())
    if (auto* form = dynamic_cast<TForm*>(c)) return form;
  return nullptr;
}

void ArrangeTopAligned(const std::vector<TControl*>& Controls) {
  int y = 0;
  for (TControl* c : Controls) {
    if (!c || !c->Visible() || c->Align() != alTop) continue;
    c->SetTop(y);
    y += c->Height();
    if (c->AlignWithMargins()) y += c->Margins().Top + c->Margins().Bottom;
  }
}

void ScrollMemoToEnd(TMemo* Memo) {
  if (!Memo || Memo->Destroying() || !Memo->HandleAllocated()) return;
  HWND wnd = Memo->Handle();
  ::SendMessageW(wnd, EM_SETSEL, INT_MAX, INT_MAX);
  ::SendMessageW(wnd, EM_LINESCROLL, 0, ::SendMessageW(wnd, EM_GETLINECOUNT, 0, 0));
}

int ListWidth(const TListBox* List) {
  if (!List) return 0;
  TWindowCanvas canvas = List->MeasureCanvas();
  int widest = 0;
  const TStrings& items = List->Items();
  for (int i = 0; i < items.Count(); ++i) widest = std::max(widest, canvas.TextWidth(items.Get(i)));
  const auto dpi = static_cast<UINT>(List->Dpi());
  const int device = widest + ::GetSystemMetricsForDpi(SM_CXVSCROLL, dpi) +
                     2 * ::GetSystemMetricsForDpi(SM_CXBORDER, dpi) + canvas.TextWidth(L"n");
  // Design pixels that hold it whole.
  return (device * 96 + List->Dpi() - 1) / List->Dpi();
}

// ---- menus ----

void PopupMenuAt(TPopupMenu* Menu, TControl* Control, int X, TPopupAlignment Alignment, int Y) {
  if (!Menu || !Control || !Control->Parent() || !Control->HandleAllocated()) return;
  POINT pt{Control->Scale(Control->Left() + X), Control->Scale(Control->Top() + Y)};
  ::ClientToScreen(Control->Parent()->Handle(), &pt);
  Menu->SetAlignment(Alignment);
  Menu->SetPopupComponent(Control);
  Menu->Popup(pt.x, pt.y, Control->TopLevel()->Handle());
}

void PopupMenuBelow(TPopupMenu* Menu, TControl* Control, TPopupAlignment Alignment) {
  if (!Control) return;
  const int x = Alignment == paRight ? Control->Width() : Alignment == paCenter ? Control->Width() / 2 : 0;
  PopupMenuAt(Menu, Control, x, Alignment, Control->Height());
}

// ---- settings paths ----

std::wstring ControlPath(const TControl* Control) {
  if (!Control) return {};
  std::wstring path = Control->Name();
  for (const TControl* p = Control->Parent(); p; p = p->Parent()) path = p->Name() + L"." + path;
  return path;
}

std::wstring ControlSettingsPath(TSettings* Settings, const TControl* Control, const std::wstring& Entry,
                                 const std::wstring& Default) {
  Settings = StoreOrApp(Settings);
  if (!Settings) return {};
  std::wstring name = ControlPath(Control);
  if (!name.empty() && !Entry.empty()) name += L".";
  name += Entry;
  return Settings->FormSection() + L"\r" + name + L"\r" + Default;
}

// ---- shell ----

void SetShellExecuteProc(TShellExecuteProc Proc) noexcept { gShellExecuteProc = Proc; }

void ShellExecuteVerb(const std::wstring& Verb, const std::wstring& Target, const std::wstring& Parameters) {
  ShellExecuteVerb(nullptr, Verb, Target, Parameters);
}

void ShellExecuteVerb(HWND Parent, const std::wstring& Verb, const std::wstring& Target,
                      const std::wstring& Parameters) {
  (gShellExecuteProc ? gShellExecuteProc : SystemShellExecute)(Parent ? Parent : MainWindowHandle(), Verb, Target,
                                                               Parameters);
}

void ShellOpen(const std::wstring& Target) {
  const std::wstring target = Trim(Target);
  if (!target.empty()) ShellExecuteVerb(L"open", target, L"");
}

void OpenUrl(const std::wstring& Url) {
  const std::wstring url = Trim(Url);
  if (!url.empty()) ShellOpen(url);
}

void ExploreFolder(const std::wstring& Path) {
  const std::wstring path = Trim(Path);
  if (path.empty()) return;
  if (FolderExists(path)) {
    ShellExecuteVerb(L"explore", path, L"");
    return;
  }
  MsgBox3(StrDirMissing, FormatPlaceholder(StrDirDoesNotExist, path), MB_ICONEXCLAMATION, nullptr);
}

bool OpenLink(const std::wstring& Link) {
  const std::wstring link = Trim(Link);
  if (link.empty()) return false;
  if (link.starts_with(L"www.")) {
    OpenUrl(L"https://" + link);
    return true;
  }
  if (link.find(L"://") != std::wstring::npos) {
    OpenUrl(link);
    return true;
  }
  if (link.back() == L'\\' && FolderExists(link)) {
    ExploreFolder(link);
    return true;
  }
  if (FileExists(link)) {
    ShellOpen(link);
    return true;
  }
  return false;
}

// ---- the save dialog ----

int FilterIndexOf(const std::wstring& Filter, const std::wstring& Ext) {
  const std::wstring wanted = L"*." + NormalisedExt(Ext);
  const int parts = TokenCount(Filter, L"|");
  int fallback = 0;
  for (int part = 1; part < parts; part += 2) {  // the pattern lists: parts 1, 3, 5 ... from 0
    const std::wstring patterns = GetToken(Filter, L"|", part + 1);
    const int count = TokenCount(patterns, L";");
    for (int i = 1; i <= count; ++i) {
      const std::wstring pattern = GetToken(patterns, L";", i);
      if (SameTextOrdinal(pattern, wanted)) return part / 2 + 1;
      if (pattern == L"*.*") fallback = part / 2 + 1;
    }
  }
  return fallback;
}

bool SaveFileDialog(TForm* Owner, const std::wstring& Title, std::wstring InitialDir, std::wstring DefaultExt,
                    const std::wstring& Filter, std::wstring& FileName) {
  if (DefaultExt.empty() && !FileName.empty()) {
    const std::wstring name = FileNameOf(FileName);
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) DefaultExt = name.substr(dot);
  }
  if (InitialDir.empty() && !FileName.empty()) InitialDir = FileFolder(FileName);
  const std::wstring defaultExt = NormalisedExt(DefaultExt);
  // The filter's "|" become the zero characters the system wants, with two at the end.
  std::wstring filter = Filter;
  std::replace(filter.begin(), filter.end(), L'|', L'\0');
  filter.append(2, L'\0');
  std::vector<wchar_t> buffer(std::max<size_t>(FileName.size() + 1, 32768), L'\0');
  std::copy(FileName.begin(), FileName.end(), buffer.begin());

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = Owner && Owner->HandleAllocated() ? Owner->Handle() : MainWindowHandle();
  ofn.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(FilterIndexOf(Filter, DefaultExt));
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
  ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
  ofn.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
  if (!::GetSaveFileNameW(&ofn)) return false;
  FileName = buffer.data();
  return true;
}

// ---- unit ----

void WinHelpersStart() {
  SetPopupMsgProcs(PopupMsgShow, PopupMsgHide);
  SetBusyCursorProcs([] { Screen().SetCursor(crHourGlass); }, [] { Screen().SetCursor(crDefault); });
}

void WinHelpersStop() {
  SetPopupMsgProcs(nullptr, nullptr);
  SetBusyCursorProcs(nullptr, nullptr);
  SetShellExecuteProc(nullptr);
  SetMonitorsProc(nullptr);
}
