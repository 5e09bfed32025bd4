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

TSettings* StoreOrApp(TSettings* settings) { return settings ? settings : AppSettings(); }

std::wstring PlacementEntry(TSettings* settings, const TForm* form) {
  return settings->FormSection() + L"\r" + form->Name();
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

// Field n (from 1) of a placement text as an integer, fallback when it is empty or no number.
int Field(const std::wstring& text, int n, int fallback) {
  return GetTokenInt(text, L",", n, fallback);
}

bool IsSizeable(const TForm* form) {
  return form->BorderStyle() == bsSizeable || form->BorderStyle() == bsSizeToolWin;
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

void SetMonitorsProc(TMonitorsProc proc) noexcept { gMonitorsProc = proc; }

std::vector<TMonitor> PlacementMonitors() { return gMonitorsProc ? gMonitorsProc() : Screen().Monitors(); }

TMonitor PrimaryMonitor() {
  for (const TMonitor& m : PlacementMonitors())
    if (m.Primary) return m;
  return Screen().PrimaryMonitor();
}

std::wstring PlacementText(const RECT& window, int state, const TMonitor& monitor, int monitorNumber, int dpi) {
  const int width = window.right - window.left, height = window.bottom - window.top;
  int x = window.left - monitor.Bounds.left;
  int y = window.top - monitor.Bounds.top;
  if (x < -width / 2) x = 0;
  if (y < -height / 2) y = 0;
  std::wstring text = std::to_wstring(x) + L"," + std::to_wstring(y) + L"," + std::to_wstring(width) + L"," +
                      std::to_wstring(height) + L"," + std::to_wstring(state) + L",";
  if (!monitor.Primary) text += std::to_wstring(monitorNumber);
  return text + L"," + std::to_wstring(dpi);
}

void SaveFormPlacement(TForm* form, TSettings* settings) {
  settings = StoreOrApp(settings);
  if (!form || !settings || !form->HandleAllocated()) return;
  const RECT window = form->WindowRect();
  const std::vector<TMonitor> monitors = PlacementMonitors();
  const int number = NearestMonitor(monitors, window);
  const TMonitor monitor = number >= 0 ? monitors[static_cast<size_t>(number)] : PrimaryMonitor();
  settings->WrString(PlacementEntry(settings, form),
                     PlacementText(window, WindowStateOf(form->Handle()), monitor, number, form->Dpi()));
}

bool RestoreFormPlacement(TForm* form, TSettings* settings) {
  settings = StoreOrApp(settings);
  if (!form || !settings) return false;
  const std::wstring text = settings->RdString(PlacementEntry(settings, form));
  if (text.empty()) return false;
  form->HandleNeeded();
  const std::vector<TMonitor> monitors = PlacementMonitors();
  const int count = static_cast<int>(monitors.size());

  // The stored monitor, when it still exists: the window goes fully onto it.
  const int m = Field(text, 6, -1);
  if (m >= 0 && m < count) {
    const RECT placed = FullyInside(form->WindowRect(), monitors[static_cast<size_t>(m)].WorkArea);
    form->SetWindowPosition(placed.left, placed.top);
  }

  int state = Field(text, 5, 0);
  if (state < 0 || state > 2) state = 0;
  form->SetWindowState(static_cast<TWindowState>(state));
  if (state != 0) return true;  // maximised or minimised: position and size stay as they are

  const int nearest = NearestMonitor(monitors, form->WindowRect());
  const TMonitor monitor = nearest >= 0 ? monitors[static_cast<size_t>(nearest)] : PrimaryMonitor();
  const int mw = monitor.Width(), mh = monitor.Height();
  int x = Field(text, 1, 0), y = Field(text, 2, 0), w = Field(text, 3, 0), h = Field(text, 4, 0);
  // A size stored at another DPI (a display scale changed since) keeps what it showed: the
  // contents grow or shrink with the DPI, and the window with them.
  const int storedDpi = Field(text, 7, 0);
  if (storedDpi >= kMinStoredDpi && storedDpi <= kMaxStoredDpi && storedDpi != form->Dpi()) {
    w = ::MulDiv(w, form->Dpi(), storedDpi);
    h = ::MulDiv(h, form->Dpi(), storedDpi);
  }
  if (x < -w / 2) x = 0;
  if (x >= mw) x = mw / 2;
  if (mw < w) w = mw - 20;
  if (y < -h / 2) y = 0;
  if (y >= mh) y = mh / 2;
  if (mh < h) h = mh - 20;
  const RECT current = form->WindowRect();
  if (IsSizeable(form)) {
    // A stored size too small to use (or no number at all) gives the smallest window the system
    // allows, and never one smaller than the window's contents need.
    const SIZE least = form->MinWindowSize();
    w = std::max({w, ::GetSystemMetrics(SM_CXMINTRACK), static_cast<int>(least.cx)});
    h = std::max({h, ::GetSystemMetrics(SM_CYMINTRACK), static_cast<int>(least.cy)});
  } else {
    w = current.right - current.left;
    h = current.bottom - current.top;
  }
  form->SetWindowBounds(RECT{x + monitor.Bounds.left, y + monitor.Bounds.top, x + monitor.Bounds.left + w,
                             y + monitor.Bounds.top + h});
  return true;
}

// ---- fonts, focus, layout ----

void ApplyMainFormFont(TComponent* component) {
  TForm* main = Application().MainForm();
  TFontDesc old;
  if (!component || !main || !component->GetFontProperty(L"Font", old)) return;
  const TFontDesc mainFont = main->Font();
  const int oldSize = old.Points(), newSize = mainFont.Points();
  component->SetFontProperty(L"Font", mainFont);
  for (TComponent* owned : component->Components()) {
    TFontDesc font;
    if (!owned->GetFontProperty(L"Font", font) || font.Name != old.Name) continue;
    font.Name = mainFont.Name;
    if (font.Points() != newSize && oldSize != 0) font.SetPoints(font.Points() * newSize / oldSize);
    owned->SetFontProperty(L"Font", font);
  }
}

TControl* FirstFocusableControl(TControl* parent) {
  if (!parent) return nullptr;
  TControl* best = nullptr;
  for (TControl* c : parent->Children())
    if (c->Visible() && c->Enabled() && c->TabStop() && (!best || c->TabOrder() < best->TabOrder())) best = c;
  if (best) return best;
  for (TControl* c : parent->Children()) {
    if (!c->Visible() || !c->Enabled()) continue;
    if (TControl* inner = FirstFocusableControl(c)) return inner;
  }
  return nullptr;
}

TControl* FocusFirstControl(TControl* sheet) {
  if (!sheet || !sheet->Parent()) return nullptr;
  TControl* control = FirstFocusableControl(sheet);
  if (!control || !control->Showing() || !control->CanFocus()) return nullptr;
  control->SetFocus();
  return control;
}

TForm* ParentForm(TControl* control) {
  for (TControl* c = control; c; c = c->Parent())
    if (auto* form = dynamic_cast<TForm*>(c)) return form;
  return nullptr;
}

void ArrangeTopAligned(const std::vector<TControl*>& controls) {
  int y = 0;
  for (TControl* c : controls) {
    if (!c || !c->Visible() || c->Align() != alTop) continue;
    c->SetTop(y);
    y += c->Height();
    if (c->AlignWithMargins()) y += c->Margins().Top + c->Margins().Bottom;
  }
}

void ScrollMemoToEnd(TMemo* memo) {
  if (!memo || memo->Destroying() || !memo->HandleAllocated()) return;
  HWND wnd = memo->Handle();
  ::SendMessageW(wnd, EM_SETSEL, INT_MAX, INT_MAX);
  ::SendMessageW(wnd, EM_LINESCROLL, 0, ::SendMessageW(wnd, EM_GETLINECOUNT, 0, 0));
}

int ListWidth(const TListBox* list) {
  if (!list) return 0;
  TWindowCanvas canvas = list->MeasureCanvas();
  int widest = 0;
  const TStrings& items = list->Items();
  for (int i = 0; i < items.Count(); ++i) widest = std::max(widest, canvas.TextWidth(items.Get(i)));
  const auto dpi = static_cast<UINT>(list->Dpi());
  const int device = widest + ::GetSystemMetricsForDpi(SM_CXVSCROLL, dpi) +
                     2 * ::GetSystemMetricsForDpi(SM_CXBORDER, dpi) + canvas.TextWidth(L"n");
  // Design pixels that hold it whole.
  return (device * 96 + list->Dpi() - 1) / list->Dpi();
}

// ---- menus ----

void PopupMenuAt(TPopupMenu* menu, TControl* control, int x, TPopupAlignment alignment, int y) {
  if (!menu || !control || !control->Parent() || !control->HandleAllocated()) return;
  POINT pt{control->Scale(control->Left() + x), control->Scale(control->Top() + y)};
  ::ClientToScreen(control->Parent()->Handle(), &pt);
  menu->SetAlignment(alignment);
  menu->SetPopupComponent(control);
  menu->Popup(pt.x, pt.y, control->TopLevel()->Handle());
}

void PopupMenuBelow(TPopupMenu* menu, TControl* control, TPopupAlignment alignment) {
  if (!control) return;
  const int x = alignment == paRight ? control->Width() : alignment == paCenter ? control->Width() / 2 : 0;
  PopupMenuAt(menu, control, x, alignment, control->Height());
}

// ---- settings paths ----

std::wstring ControlPath(const TControl* control) {
  if (!control) return {};
  std::wstring path = control->Name();
  for (const TControl* p = control->Parent(); p; p = p->Parent()) path = p->Name() + L"." + path;
  return path;
}

std::wstring ControlSettingsPath(TSettings* settings, const TControl* control, const std::wstring& entry,
                                 const std::wstring& fallback) {
  settings = StoreOrApp(settings);
  if (!settings) return {};
  std::wstring name = ControlPath(control);
  if (!name.empty() && !entry.empty()) name += L".";
  name += entry;
  return settings->FormSection() + L"\r" + name + L"\r" + fallback;
}

// ---- shell ----

void SetShellExecuteProc(TShellExecuteProc proc) noexcept { gShellExecuteProc = proc; }

void ShellExecuteVerb(const std::wstring& verb, const std::wstring& target, const std::wstring& parameters) {
  ShellExecuteVerb(nullptr, verb, target, parameters);
}

void ShellExecuteVerb(HWND parent, const std::wstring& verb, const std::wstring& target,
                      const std::wstring& parameters) {
  (gShellExecuteProc ? gShellExecuteProc : SystemShellExecute)(parent ? parent : MainWindowHandle(), verb, target,
                                                               parameters);
}

void ShellOpen(const std::wstring& target) {
  const std::wstring targetText = Trim(target);
  if (!targetText.empty()) ShellExecuteVerb(L"open", targetText, L"");
}

void OpenUrl(const std::wstring& url) {
  const std::wstring address = Trim(url);
  if (!address.empty()) ShellOpen(address);
}

void ExploreFolder(const std::wstring& path) {
  const std::wstring folder = Trim(path);
  if (folder.empty()) return;
  if (FolderExists(folder)) {
    ShellExecuteVerb(L"explore", folder, L"");
    return;
  }
  MsgBox3(StrDirMissing, FormatPlaceholder(StrDirDoesNotExist, folder), MB_ICONEXCLAMATION, nullptr);
}

bool OpenLink(const std::wstring& link) {
  const std::wstring linkFile = Trim(link);
  if (linkFile.empty()) return false;
  if (linkFile.starts_with(L"www.")) {
    OpenUrl(L"https://" + linkFile);
    return true;
  }
  if (linkFile.find(L"://") != std::wstring::npos) {
    OpenUrl(linkFile);
    return true;
  }
  if (linkFile.back() == L'\\' && FolderExists(linkFile)) {
    ExploreFolder(linkFile);
    return true;
  }
  if (FileExists(linkFile)) {
    ShellOpen(linkFile);
    return true;
  }
  return false;
}

// ---- the save dialog ----

int FilterIndexOf(const std::wstring& filter, const std::wstring& ext) {
  const std::wstring wanted = L"*." + NormalisedExt(ext);
  const int parts = TokenCount(filter, L"|");
  int fallback = 0;
  for (int part = 1; part < parts; part += 2) {  // the pattern lists: parts 1, 3, 5 ... from 0
    const std::wstring patterns = GetToken(filter, L"|", part + 1);
    const int count = TokenCount(patterns, L";");
    for (int i = 1; i <= count; ++i) {
      const std::wstring pattern = GetToken(patterns, L";", i);
      if (SameTextOrdinal(pattern, wanted)) return part / 2 + 1;
      if (pattern == L"*.*") fallback = part / 2 + 1;
    }
  }
  return fallback;
}

bool SaveFileDialog(TForm* owner, const std::wstring& title, std::wstring initialDir, std::wstring defaultExt,
                    const std::wstring& filter, std::wstring& fileName, int* filterIndex) {
  if (defaultExt.empty() && !fileName.empty()) {
    const std::wstring name = FileNameOf(fileName);
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) defaultExt = name.substr(dot);
  }
  if (initialDir.empty() && !fileName.empty()) initialDir = FileFolder(fileName);
  const std::wstring ext = NormalisedExt(defaultExt);
  // The filterChars's "|" become the zero characters the system wants, with two at the end.
  std::wstring filterChars = filter;
  std::replace(filterChars.begin(), filterChars.end(), L'|', L'\0');
  filterChars.append(2, L'\0');
  std::vector<wchar_t> buffer(std::max<size_t>(fileName.size() + 1, 32768), L'\0');
  std::copy(fileName.begin(), fileName.end(), buffer.begin());

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner && owner->HandleAllocated() ? owner->Handle() : MainWindowHandle();
  ofn.lpstrFilter = filter.empty() ? nullptr : filterChars.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(filterIndex && *filterIndex > 0 ? *filterIndex : FilterIndexOf(filter, defaultExt));
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
  if (!::GetSaveFileNameW(&ofn)) return false;
  fileName = buffer.data();
  if (filterIndex) *filterIndex = static_cast<int>(ofn.nFilterIndex);
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
