#include "ui/FrmAbout.h"

#include "Resource.h"
#include "base/DateTime.h"
#include "base/Exception.h"
#include "base/Files.h"
#include "base/Misc.h"
#include "lang/DmLang.h"
#include "toolkit/Clipbrd.h"
#include "ui/CmpStandard.h"
#include "ui/FrmPopupMsg.h"
#include "ui/RemoteSupport.h"
#include "ui/TextMeasure.h"
#include "ui/WinHelpers.h"

#include <algorithm>
#include <initializer_list>
#include <memory>

namespace {

constexpr const wchar_t* kHomepage = L"https://zevrik.example.com";
constexpr const wchar_t* kCrcPromptId = L"StrExeCrc32Prompt";
constexpr const wchar_t* kHomepageUrlKey = L"LblHomepage.URL";
constexpr int kBannerStepMsec = 100;
constexpr int kBannerHoldMsec = 1000;

// A read-only memo without a frame of its own (the tab sheet frames it).
class TFramelessMemo : public TMemo {
public:
  using TMemo::TMemo;

protected:
  void CreateParams(TCreateParams& params) override {
    TMemo::CreateParams(params);
    params.Style &= ~static_cast<DWORD>(WS_BORDER);
    params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
  }
};

template <class T>
T* Place(TFrmAbout* form, TControl* parent, const wchar_t* name, int left, int top, int width, int height) {
  auto* control = NewComponent<T>(form, name);
  control->SetBounds(left, top, width, height);
  control->SetParent(parent);
  return control;
}

// A caption: its text comes from the translation table.
TLabel* CaptionLabel(TFrmAbout* form, TControl* parent, const wchar_t* name, int left, int top) {
  return Place<TLabel>(form, parent, name, left, top, 60, 15);
}

// A value: shown as it is ("&" is no access key), "----" until the dialog is filled.
template <class T = TLabel>
T* Value(TFrmAbout* form, TControl* parent, const wchar_t* name, int left, int top) {
  auto* label = Place<T>(form, parent, name, left, top, 24, 15);
  label->SetShowAccelChar(false);
  label->SetCaption(L"----");
  return label;
}

TTabSheet* Sheet(TFrmAbout* form, TPageControl* pages, const wchar_t* name) {
  auto* sheet = NewComponent<TTabSheet>(form, name);
  sheet->SetPageControl(pages);
  return sheet;
}

}  // namespace

// ---- TClickLabel ----

void TClickLabel::CreateParams(TCreateParams& params) {
  TLabel::CreateParams(params);
  if (FPathEllipsis) params.Style |= SS_PATHELLIPSIS;
}

void TClickLabel::SetPath(const std::wstring& path, int maxWidth) {
  auto ellipsis = [this](bool on) {
    FPathEllipsis = on;
    if (!HandleAllocated()) return;
    LONG_PTR style = ::GetWindowLongPtrW(Handle(), GWL_STYLE);
    style = on ? style | SS_PATHELLIPSIS : style & ~static_cast<LONG_PTR>(SS_PATHELLIPSIS);
    ::SetWindowLongPtrW(Handle(), GWL_STYLE, style);
  };
  ellipsis(false);
  SetAutoSize(true);
  SetCaption(path);
  SetHint(L"");
  if (Width() <= maxWidth) return;
  SetAutoSize(false);
  SetWidth(maxWidth);
  ellipsis(true);
  SetHint(path);
  Invalidate();
}

LRESULT TClickLabel::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  // The busy cursor (program-wide) wins; otherwise the hand while the label offers a click.
  if (msg == WM_SETCURSOR && FHandCursor && Screen().Cursor() == crDefault) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
  }
  return TLabel::WndProc(msg, wParam, lParam);
}

// ---- TFrmAbout ----

TFrmAbout::TFrmAbout(TComponent* owner) : TForm(owner) {
  SetName(L"FrmAbout");
  SetBorderStyle(bsDialog);
  SetBorderIcons({biSystemMenu});
  SetClientSize(541, 385);
  SetFont(TFontDesc::FromPoints(L"Segoe UI", 9));
  SetPosition(poScreenCenter);
  SetShowHint(true);
  SetKeyPreview(true);

  PnlLogo = Place<TPanel>(this, this, L"PnlLogo", 0, 0, 541, 61);
  PnlLogo->SetAlign(alTop);
  PnlLogo->SetColor(clWhite);
  ImgLogo = Place<TPictureImage>(this, PnlLogo, L"ImgLogo", 393, 19, 120, 23);
  ImgLogo->LoadIcon(IDI_LOGO, 120, 23);
  LblEe = Place<TLabel>(this, PnlLogo, L"LblEe", 12, 18, 345, 25);
  LblEe->SetAutoSize(false);
  LblEe->SetShowAccelChar(false);
  TFontDesc eeFont = TFontDesc::FromPoints(L"Segoe UI", 9, fsBold);
  eeFont.Height = -19;
  LblEe->SetFont(eeFont);
  LblEe->SetCaption(L"");

  PageControl = Place<TPageControl>(this, this, L"PageControl", 28, 80, 485, 245);
  PageControl->SetMultiLine(true);
  BtnOK = Place<TButton>(this, this, L"BtnOK", 228, 344, 85, 25);
  BtnOK->SetDefault(true);
  BtnOK->SetCancel(true);
  BtnOK->SetModalResult(mrOk);
  ImgGloatLogoFirebird = Place<TPictureImage>(this, this, L"ImgGloatLogoFirebird", 12, 329, 102, 47);
  ImgGloatLogoFirebird->LoadIcon(IDI_FIREBIRDBADGE, 102, 47);
  ImgGloatLogoFirebird->SetVisible(false);

  // ---- first tab: the program ----
  TshInfo = Sheet(this, PageControl, L"TshInfo");
  ImgAppIcon = Place<TPictureImage>(this, TshInfo, L"ImgAppIcon", 9, 12, 32, 32);
  ImgAppIcon->LoadIcon(IDI_MAINICON, 32, 32);
  LblAppTitle = Value(this, TshInfo, L"LblAppTitle", 52, 12);
  TFontDesc titleFont = TFontDesc::FromPoints(L"Segoe UI", 9);
  titleFont.Height = -24;
  titleFont.Color = 0x646464;  // RGB (100, 100, 100)
  LblAppTitle->SetFont(titleFont);
  Label5 = CaptionLabel(this, TshInfo, L"Label5", 52, 60);
  LblVersion = Value(this, TshInfo, L"LblVersion", 92, 60);
  LblInfo1 = Value(this, TshInfo, L"LblInfo1", 52, 76);
  LblInfo2 = Value(this, TshInfo, L"LblInfo2", 52, 92);
  Label2 = CaptionLabel(this, TshInfo, L"Label2", 52, 128);
  Label3 = CaptionLabel(this, TshInfo, L"Label3", 52, 144);
  Label4 = CaptionLabel(this, TshInfo, L"Label4", 52, 160);
  LblHomepage = Place<TVormHyperlinkLabel>(this, TshInfo, L"LblHomepage", 52, 186, 150, 15);
  LblHomepage->SetCaption(kHomepage);
  LblHomepage->SetURL(kHomepage);
  ImgGloatLogo = Place<TPictureImage>(this, TshInfo, L"ImgGloatLogo", 224, 12, 237, 121);
  BtnRemoteSupport = Place<TBitBtn>(this, TshInfo, L"BtnRemoteSupport", 244, 180, 125, 25);
  BtnRemoteSupport->SetGlyph(IDI_REMOTESUPPORT);
  BtnCopyInfo = Place<TBitBtn>(this, TshInfo, L"BtnCopyInfo", 376, 180, 85, 25);

  // ---- second tab: the program file ----
  TshVersionInfo = Sheet(this, PageControl, L"TshVersionInfo");
  TControl* version = TshVersionInfo;
  LblVersion2Caption = CaptionLabel(this, version, L"LblVersion2Caption", 8, 12);
  LblVersion2 = Value(this, version, L"LblVersion2", 80, 12);
  LblExeVersionCaption = CaptionLabel(this, version, L"LblExeVersionCaption", 8, 39);
  LblExeVersion = Value(this, version, L"LblExeVersion", 80, 39);
  LblExePathCaption = CaptionLabel(this, version, L"LblExePathCaption", 8, 66);
  LblExePath = Value<TClickLabel>(this, version, L"LblExePath", 80, 66);
  LblExePath->SetHandCursor(true);
  BtnExeFolderMenu = Place<TSpeedButton>(this, version, L"BtnExeFolderMenu", 112, 62, 23, 22);
  BtnExeFolderMenu->SetGlyph(IDI_DROPDOWN);
  BtnCopyExeFolder = Place<TSpeedButton>(this, version, L"BtnCopyExeFolder", 139, 62, 23, 22);
  BtnCopyExeFolder->SetGlyph(IDI_COPY);
  LblExeNameCaption = CaptionLabel(this, version, L"LblExeNameCaption", 8, 94);
  LblExeName = Value(this, version, L"LblExeName", 80, 94);
  LblExeDateTimeCaption = CaptionLabel(this, version, L"LblExeDateTimeCaption", 8, 121);
  LblExeDateTime = Value(this, version, L"LblExeDateTime", 80, 121);
  LblExeSizeCaption = CaptionLabel(this, version, L"LblExeSizeCaption", 8, 148);
  LblExeSize = Value(this, version, L"LblExeSize", 80, 148);
  LblExeCrc32Caption = CaptionLabel(this, version, L"LblExeCrc32Caption", 8, 176);
  LblExeCrc32 = Value<TClickLabel>(this, version, L"LblExeCrc32", 80, 176);
  BtnCopyVersionInfo = Place<TBitBtn>(this, version, L"BtnCopyVersionInfo", 368, 172, 93, 25);
  MnuExeFolder = NewComponent<TPopupMenu>(this, L"MnuExeFolder");
  MnuOpenExeFolderCloseExe = MnuExeFolder->AddItem(L"MnuOpenExeFolderCloseExe", L"");
  MnuOpenExeFolder = MnuExeFolder->AddItem(L"MnuOpenExeFolder", L"");
  MnuCopyExeFolder = MnuExeFolder->AddItem(L"MnuCopyExeFolder", L"");

  // ---- third tab: the computer ----
  TshPcInfo = Sheet(this, PageControl, L"TshPcInfo");
  TControl* pc = TshPcInfo;
  LblPcNameCaption = CaptionLabel(this, pc, L"LblPcNameCaption", 8, 12);
  LblPcName = Value(this, pc, L"LblPcName", 88, 12);
  BtnCopyPcName = Place<TSpeedButton>(this, pc, L"BtnCopyPcName", 120, 8, 23, 22);
  BtnCopyPcName->SetGlyph(IDI_COPY);
  BtnCopyPcName->SetHint(StrCopyToClipboard);
  LblPcOsCaption = CaptionLabel(this, pc, L"LblPcOsCaption", 8, 40);
  LblPcOs = Value(this, pc, L"LblPcOs", 88, 40);
  LblPcUserCaption = CaptionLabel(this, pc, L"LblPcUserCaption", 8, 68);
  LblPcUser = Value(this, pc, L"LblPcUser", 88, 68);
  LblPcCodepageCaption = CaptionLabel(this, pc, L"LblPcCodepageCaption", 8, 96);
  LblPcCodepage = Value(this, pc, L"LblPcCodepage", 88, 96);
  LblPcTempFolderCaption = CaptionLabel(this, pc, L"LblPcTempFolderCaption", 8, 124);
  LblPcTempFolder = Value<TClickLabel>(this, pc, L"LblPcTempFolder", 88, 124);
  TFontDesc linkFont = LblPcTempFolder->Font();
  linkFont.Style |= fsUnderline;
  LblPcTempFolder->SetFont(linkFont);
  LblPcTempFolder->SetHandCursor(true);

  // ---- fourth tab: what the program tells ----
  TshExtInfo = Sheet(this, PageControl, L"TshExtInfo");
  MmoExtInfo = NewComponent<TFramelessMemo>(this, L"MmoExtInfo");
  MmoExtInfo->SetScrollBars(ssBoth);
  MmoExtInfo->SetWordWrap(false);
  MmoExtInfo->SetReadOnly(true);
  MmoExtInfo->SetAlign(alClient);
  MmoExtInfo->SetParent(TshExtInfo);
  MnuExtInfo = NewComponent<TPopupMenu>(this, L"MnuExtInfo");
  MnuCopyExtInfo = MnuExtInfo->AddItem(L"MnuCopyExtInfo", L"");
  MmoExtInfo->SetPopupMenu(MnuExtInfo);

  TimEe = NewComponent<TTimer>(this, L"TimEe");
  TimEe->SetEnabled(false);

  // The Tab key's order: the tabs, their page's contents top to bottom, then OK. The focus
  // starts on OK, so that Space, as Enter and Esc, only closes the dialog.
  PageControl->SetTabOrder(0);
  BtnOK->SetTabOrder(1);
  SetActiveControl(BtnOK);

  OnShow = [this](TObject* s) { FormShow(s); };
  OnKeyDown = [this](TObject* s, unsigned short& key, TShiftState shift) { FormKeyDown(s, key, shift); };
  BtnCopyInfo->OnClick = [this](TObject* s) { BtnCopyInfoClick(s); };
  MnuCopyExtInfo->OnClick = [this](TObject* s) { BtnCopyInfoClick(s); };
  BtnCopyVersionInfo->OnClick = [this](TObject* s) { BtnCopyVersionInfoClick(s); };
  BtnCopyPcName->OnClick = [this](TObject* s) { BtnCopyPcNameClick(s); };
  BtnCopyExeFolder->OnClick = [this](TObject* s) { BtnCopyExeFolderClick(s); };
  MnuCopyExeFolder->OnClick = [this](TObject* s) { BtnCopyExeFolderClick(s); };
  BtnExeFolderMenu->OnClick = [this](TObject* s) { BtnExeFolderMenuClick(s); };
  LblExePath->OnClick = [this](TObject* s) { BtnExeFolderMenuClick(s); };
  MnuOpenExeFolder->OnClick = [this](TObject* s) { MnuOpenExeFolderClick(s); };
  MnuOpenExeFolderCloseExe->OnClick = [this](TObject* s) { MnuOpenExeFolderCloseExeClick(s); };
  LblPcTempFolder->OnClick = [this](TObject* s) { LblPcTempFolderClick(s); };
  LblVersion2->OnDblClick = [this](TObject* s) { LblVersion2DblClick(s); };
  LblVersion->OnDblClick = [this](TObject* s) { LblVersion2DblClick(s); };
  LblVersion2Caption->OnDblClick = [this](TObject* s) { LblVersion2DblClick(s); };
  LblExeCrc32->OnClick = [this](TObject* s) { LblExeCrc32Click(s); };
  ImgAppIcon->OnDblClick = [this](TObject* s) { ImgAppIconDblClick(s); };
  ImgLogo->OnDblClick = [this](TObject* s) { ImgLogoDblClick(s); };
  BtnRemoteSupport->OnClick = [this](TObject* s) { BtnRemoteSupportClick(s); };
  TimEe->OnTimer = [this](TObject* s) { TimEeTimer(s); };

  // The translation table comes after the controls it translates.
  siLang = NewComponent<TsiLang>(this, L"siLang");
  siLang->SetTable({
      {stCaptions, L"TFrmAbout", L"Info", L"About"},
      {stCaptions, L"BtnOK", L"&OK", L"&OK"},
      {stCaptions, L"TshInfo", L"&Info", L"&Info"},
      {stCaptions, L"Label5", L"Version", L"Version"},
      {stCaptions, L"Label2", L"Zevrik Software", L"Zevrik Software"},
      {stCaptions, L"Label3", L"Anna Zevrik, Paul Lindner", L"Anna Zevrik, Paul Lindner"},
      {stCaptions, L"Label4", L"Musterstadt", L"Musterstadt, Germany"},
      {stCaptions, L"BtnRemoteSupport", L"&Fernwartung", L"Remote Support"},
      {stCaptions, L"BtnCopyInfo", L"&Kopieren", L"&Copy"},
      {stHints, L"BtnCopyInfo", L"Informationen in Zwischenablage kopieren", L"Copy information to clipboard"},
      {stCaptions, L"TshVersionInfo", L"&Versions-Info", L"&Version Info"},
      {stCaptions, L"LblVersion2Caption", L"Version", L"Version"},
      {stCaptions, L"LblExeVersionCaption", L"Exe-Version", L"Exe Version"},
      {stCaptions, L"LblExePathCaption", L"Exe-Ordner", L"Exe Path"},
      {stHints, L"BtnExeFolderMenu", L"Exe-Ordner", L"Exe Path"},
      {stHints, L"BtnCopyExeFolder", L"In Zwischenablage kopieren", L"Copy to clipboard"},
      {stCaptions, L"LblExeNameCaption", L"Exe-Name", L"Exe Name"},
      {stCaptions, L"LblExeDateTimeCaption", L"Exe-Datum", L"Exe Date"},
      {stCaptions, L"LblExeSizeCaption", L"Exe-Größe", L"Exe Size"},
      {stCaptions, L"LblExeCrc32Caption", L"Exe-CRC32", L"Exe CRC32"},
      {stCaptions, L"BtnCopyVersionInfo", L"&Kopieren", L"&Copy"},
      {stHints, L"BtnCopyVersionInfo", L"Versions-Informationen in Zwischenablage kopieren",
       L"Copy version information to clipboard"},
      {stCaptions, L"MnuOpenExeFolderCloseExe", L"Ordner öffnen, Programm schließen", L"Open folder, close program"},
      {stCaptions, L"MnuOpenExeFolder", L"Ordner öffnen", L"Open folder"},
      {stCaptions, L"MnuCopyExeFolder", L"Pfad in Zwischenablage kopieren", L"Copy path to clipboard"},
      {stCaptions, L"TshPcInfo", L"PC-Info", L"PC Info"},
      {stCaptions, L"LblPcNameCaption", L"PC-Name", L"PC Name"},
      {stCaptions, L"LblPcOsCaption", L"Betr.System", L"OS"},
      {stCaptions, L"LblPcUserCaption", L"Benutzer", L"User"},
      {stCaptions, L"LblPcCodepageCaption", L"Codepage", L"CodePage"},
      {stCaptions, L"LblPcTempFolderCaption", L"Temp-Ordner", L"Temp Folder"},
      {stCaptions, L"TshExtInfo", L"&Weitere Informationen", L"&More Information"},
      {stCaptions, L"MnuCopyExtInfo", L"&Kopieren", L"&Copy"},
      {stStrings, kCrcPromptId, L"Ermitteln", L"Determine"},
      {stOtherStrings, kHomepageUrlKey, kHomepage, L"https://zevrik.example.com/en"},
  });
  siLang->OnChangeLanguage = [this](TObject* s) { siLangChangeLanguage(s); };
  siLang->Translate();  // the captions are written only in the table
  if (DmLangQel) siLang->SetLangDispatcher(DmLangQel->LangDisp);
  siLangChangeLanguage(siLang);
  PageControl->SetActivePage(TshInfo);
}

TFrmAbout::~TFrmAbout() { DestroyComponents(); }

void TFrmAbout::Execute(const std::wstring& appTitle, const std::wstring& version, const std::wstring& extendedInfo,
                        TAboutBadge gloatLogo, const std::wstring& info1, const std::wstring& info2) {
  std::unique_ptr<TFrmAbout> dialog;
  {
    TBusySection busy;
    dialog = std::make_unique<TFrmAbout>(nullptr);
    // In front of the main window, whose taskbar button it shares.
    if (TForm* main = Application().MainForm(); main && main->HandleAllocated()) dialog->SetPopupParent(main->Handle());
    dialog->Fill({appTitle, version, extendedInfo, gloatLogo, info1, info2}, ReadAboutFacts());
  }
  dialog->ShowModal();
}

void TFrmAbout::Fill(const TAboutArgs& args, const TAboutFacts& facts) {
  FFacts = facts;
  HandleNeeded();  // the labels measure their texts

  const std::wstring version = AboutVersionText(args.Version, facts.FileVersion);
  LblAppTitle->SetCaption(args.AppTitle);
  LblVersion->SetCaption(version);
  LblVersion2->SetCaption(version);
  LblInfo1->SetCaption(args.Info1);
  LblInfo2->SetCaption(args.Info2);
  LblExeVersion->SetCaption(facts.FileVersion);
  LblExeName->SetCaption(FileNameOf(facts.ProgramFile));
  LblExeDateTime->SetCaption(ExeDateText(facts.FileDate));
  LblExeSize->SetCaption(ExeSizeText(facts.FileSize));
  ShowExeCrc32();

  LblPcName->SetCaption(PcNameText(facts.ComputerName, facts.ClientName));
  BtnCopyPcName->SetHint(StrCopyToClipboard);
  LblPcUser->SetCaption(facts.UserName);
  LblPcOs->SetCaption(facts.OsText);
  LblPcCodepage->SetCaption(facts.CodePage ? std::to_wstring(facts.CodePage) : std::wstring());

  TshExtInfo->SetTabVisible(!args.ExtendedInfo.empty());
  MmoExtInfo->Lines().SetText(args.ExtendedInfo);

  BtnCopyInfo->SetGlyph(IDI_COPY);
  BtnCopyVersionInfo->SetGlyph(IDI_COPY);

  const TPictureImage* badge = args.Badge.Firebird ? ImgGloatLogoFirebird : args.Badge.Picture;
  if (badge && !badge->Empty()) {
    // The badge keeps the right edge of its place.
    const int right = ImgGloatLogo->Left() + ImgGloatLogo->Width();
    ImgGloatLogo->SetBounds(right - badge->PictureWidth(), ImgGloatLogo->Top(), badge->PictureWidth(),
                            badge->PictureHeight());
    ImgGloatLogo->AssignPicture(*badge);
  }
  FFilled = true;
  ArrangeRows();
  PageControl->SetActivePage(TshInfo);
}

void TFrmAbout::ArrangeRows() {
  if (!FFilled) return;
  const int gap = SpacingUnit(PageControl);
  // The values of a tab stand in one column, right of the widest caption when a caption (in a
  // wider font than the one designed for, or in another language) needs more room.
  auto column = [gap](std::initializer_list<std::pair<TLabel*, TLabel*>> rows, int designLeft) {
    int left = designLeft;
    for (const auto& [caption, value] : rows) left = std::max(left, caption->Left() + caption->Width() + gap);
    for (const auto& [caption, value] : rows) value->SetLeft(left);
  };
  column({{Label5, LblVersion}}, 92);
  column({{LblVersion2Caption, LblVersion2},
          {LblExeVersionCaption, LblExeVersion},
          {LblExePathCaption, LblExePath},
          {LblExeNameCaption, LblExeName},
          {LblExeDateTimeCaption, LblExeDateTime},
          {LblExeSizeCaption, LblExeSize},
          {LblExeCrc32Caption, LblExeCrc32}},
         80);
  column({{LblPcNameCaption, LblPcName},
          {LblPcOsCaption, LblPcOs},
          {LblPcUserCaption, LblPcUser},
          {LblPcCodepageCaption, LblPcCodepage},
          {LblPcTempFolderCaption, LblPcTempFolder}},
         88);

  // Every page has the room of the one shown (the others are laid out when they show).
  const TTabSheet* shown = PageControl->ActivePage() ? PageControl->ActivePage() : TshInfo;
  const int rowEnd = shown->ClientWidth() - 8;
  // The folder and its two buttons share the row: a long path is shortened so that they stay.
  LblExePath->SetPath(FFacts.Folder, rowEnd - LblExePath->Left() - 2 * (gap + BtnExeFolderMenu->Width()));
  BtnExeFolderMenu->SetLeft(LblExePath->Left() + LblExePath->Width() + gap);
  BtnCopyExeFolder->SetLeft(BtnExeFolderMenu->Left() + BtnExeFolderMenu->Width() + gap);
  BtnCopyPcName->SetLeft(LblPcName->Left() + LblPcName->Width() + 2 * SpacingUnit(TshPcInfo));
  LblPcTempFolder->SetPath(FFacts.TempFolder, rowEnd - LblPcTempFolder->Left());
}

// ---- the checksum ----

void TFrmAbout::ShowExeCrc32() {
  const std::wstring crc = CachedExeCrc32(FFacts.ProgramFile);
  if (!crc.empty()) {
    LblExeCrc32->SetCaption(crc);
    LblExeCrc32->SetParentFont(true);
    LblExeCrc32->SetHandCursor(false);
    return;
  }
  // Reading a large program file takes a moment: only on request.
  LblExeCrc32->SetParentFont(true);
  TFontDesc font = LblExeCrc32->Font();
  font.Style |= fsUnderline;
  LblExeCrc32->SetFont(font);
  LblExeCrc32->SetCaption(siLang ? siLang->GetTextOrDefault(kCrcPromptId) : L"Ermitteln");
  LblExeCrc32->SetHandCursor(true);
}

bool TFrmAbout::EnsureExeCrc32() {
  if (!CachedExeCrc32(FFacts.ProgramFile).empty()) return true;
  try {
    ComputeExeCrc32(FFacts.ProgramFile);
  } catch (const EOSError&) {
    return false;  // an unreadable file: the information goes without its checksum
  }
  ShowExeCrc32();
  return true;
}

void TFrmAbout::LblExeCrc32Click(TObject*) {
  if (!CachedExeCrc32(FFacts.ProgramFile).empty()) return;
  TBusySection busy;
  ComputeExeCrc32(FFacts.ProgramFile);  // an unreadable file: its error is shown
  ShowExeCrc32();
}

// ---- copying ----

std::wstring TFrmAbout::BuildVersionInfo() {
  EnsureExeCrc32();
  return VersionInfoText({LblAppTitle->Caption(), LblVersion->Caption(), LblExeVersion->Caption(),
                          FFacts.Folder, LblExeName->Caption(), LblExeDateTime->Caption(), LblExeSize->Caption(),
                          CachedExeCrc32(FFacts.ProgramFile), LblPcName->Caption(), LblPcOs->Caption(),
                          LblPcUser->Caption(), LblPcCodepage->Caption()});
}

std::wstring TFrmAbout::CopyInfo() {
  return CopyInfoText(BuildVersionInfo(), MmoExtInfo->Lines().Text(), MonitorsText(PlacementMonitors()), Now());
}

void TFrmAbout::CopyAndTick(const std::wstring& text) {
  SetClipboardAsText(text);
  PopupTick(this);
}

void TFrmAbout::BtnCopyInfoClick(TObject*) {
  const bool hadFocus = BtnCopyInfo->Focused();
  BtnCopyInfo->SetEnabled(false);
  struct TEnableAgain {
    TFrmAbout* Form;
    bool Focus;
    ~TEnableAgain() {
      Form->BtnCopyInfo->SetEnabled(true);
      if (Focus) Form->BtnCopyInfo->SetFocus();
    }
  } enableAgain{this, hadFocus};
  std::wstring text;
  {
    TBusySection busy;
    text = CopyInfo();
  }
  CopyAndTick(text);
}

void TFrmAbout::BtnCopyVersionInfoClick(TObject*) {
  std::wstring text;
  {
    TBusySection busy;
    text = BuildVersionInfo();
  }
  CopyAndTick(text);
}

void TFrmAbout::BtnCopyPcNameClick(TObject*) { CopyAndTick(FFacts.ComputerName); }

void TFrmAbout::BtnCopyExeFolderClick(TObject*) { CopyAndTick(FFacts.Folder); }

void TFrmAbout::LblVersion2DblClick(TObject*) {
  SetClipboardAsText(ReleaseLineText(LblExeVersion->Caption(), FFacts.FileDate));
  ::MessageBeep(MB_ICONASTERISK);
  PopupTick(nullptr);
}

// ---- the folders ----

void TFrmAbout::BtnExeFolderMenuClick(TObject* sender) {
  if (auto* control = dynamic_cast<TControl*>(sender))
    PopupMenuBelow(MnuExeFolder, control, paLeft);
  else
    PopupMenuBelow(MnuExeFolder, BtnExeFolderMenu, paCenter);
}

void TFrmAbout::MnuOpenExeFolderClick(TObject*) { ExploreFolder(FFacts.Folder); }

void TFrmAbout::MnuOpenExeFolderCloseExeClick(TObject*) {
  ExploreFolder(FFacts.Folder);
  SetModalResult(mrOk);
  // The program ends the way closing its main window ends it (placement saved, port freed).
  if (TForm* main = Application().MainForm(); main && main != this && main->HandleAllocated())
    ::PostMessageW(main->Handle(), WM_CLOSE, 0, 0);
  else
    ::PostQuitMessage(0);
}

void TFrmAbout::LblPcTempFolderClick(TObject*) {
  if (!FFacts.TempFolder.empty()) ShellExecuteVerb(Handle(), L"explore", FFacts.TempFolder, L"");
}

// ---- the rest ----

void TFrmAbout::FormShow(TObject*) {
  // The logo's right edge lines up with the page control's.
  ImgLogo->SetBounds(PnlLogo->ClientWidth() - PageControl->Left() - ImgLogo->Width(),
                     (PnlLogo->ClientHeight() - ImgLogo->Height()) / 2, ImgLogo->Width(), ImgLogo->Height());
}

void TFrmAbout::FormKeyDown(TObject*, unsigned short& key, TShiftState) {
  // Esc and Enter close the dialog from every control, the memo too.
  if (key == VK_ESCAPE || key == VK_RETURN) {
    key = 0;
    SetModalResult(mrOk);
  }
}

void TFrmAbout::BtnRemoteSupportClick(TObject*) {
  StartRemoteSupport();
  BringToFront();
}

void TFrmAbout::ImgAppIconDblClick(TObject*) {
  FEE1 = true;
  RunEasterEgg();
}

void TFrmAbout::ImgLogoDblClick(TObject*) {
  FEE2 = true;
  RunEasterEgg();
}

void TFrmAbout::RunEasterEgg() {
  if (!FEE1 || !FEE2) return;
  // Step by step on a timer: the window (and the program's receiving) goes on meanwhile.
  FEeStep = 0;
  TimEe->SetInterval(kBannerStepMsec);
  TimEe->SetEnabled(true);
  TimEeTimer(TimEe);
}

void TFrmAbout::TimEeTimer(TObject*) {
  const std::wstring banner = kBanner;
  ++FEeStep;
  if (FEeStep <= static_cast<int>(banner.size())) {
    LblEe->SetCaption(banner.substr(0, static_cast<size_t>(FEeStep)) + L"|");
  } else if (FEeStep == static_cast<int>(banner.size()) + 1) {
    LblEe->SetCaption(banner);
    TimEe->SetInterval(kBannerHoldMsec);
  } else {
    LblEe->SetCaption(L"");
    TimEe->SetEnabled(false);
  }
  LblEe->Update();
}

void TFrmAbout::siLangChangeLanguage(TObject*) {
  LblHomepage->SetURL(siLang->GetSectionTextOrDefault(stOtherStrings, kHomepageUrlKey));
  BtnCopyPcName->SetHint(StrCopyToClipboard);
  ShowExeCrc32();
  ArrangeRows();  // captions of another width
}
