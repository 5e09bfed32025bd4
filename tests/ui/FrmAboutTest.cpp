// The About dialog filled with a fixed set of facts: what its tabs show, the copied layout, the
// checksum row, the badge and the pictures, the folder commands, Esc and Enter from every
// control, the hidden banner and the English table.
#include "Resource.h"
#include "base/DateTime.h"
#include "base/Files.h"
#include "base/Misc.h"
#include "lang/DmLang.h"
#include "support/Pump.h"
#include "support/TempFolder.h"
#include "support/TestSupport.h"
#include "support/UserInput.h"
#include "toolkit/Clipbrd.h"
#include "ui/CmpStandard.h"
#include "ui/FrmAbout.h"
#include "ui/TextMeasure.h"
#include "ui/UiTestSupport.h"
#include "ui/WinHelpers.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct TShellCall {
  HWND Parent;
  std::wstring Verb, Target;
  bool operator==(const TShellCall&) const = default;
};
std::vector<TShellCall> gShellCalls;
std::vector<TMonitor> gMonitors;

class AboutDialog : public ::testing::Test {
protected:
  void SetUp() override {
    ClearExeCrc32Cache();
    program = folder.WriteFile(L"Tavrino.exe", "abc");  // its checksum: AD13F0CA
    facts.ProgramFile = program;
    facts.FileVersion = L"1.5.0.204";
    facts.Folder = folder.Path();
    facts.FileDate = EncodeDateExt(2026, 11, 30) + EncodeTime(17, 4, 5, 0);
    facts.FileSize = 1234567;
    facts.ComputerName = L"BUERO1";
    facts.ClientName = L"BUERO1";
    facts.UserName = L"anna";
    facts.OsText = L"Windows 10 Pro 64-Bit";
    facts.CodePage = 1252;
    facts.TempFolder = folder.Path() + L"Temp\\";
    gShellCalls.clear();
    SetShellExecuteProc([](HWND parent, const std::wstring& verb, const std::wstring& target, const std::wstring&) {
      gShellCalls.push_back({parent, verb, target});
    });
    TMonitor first, second;
    first.Bounds = {0, 0, 1280, 1024};
    first.Primary = true;
    second.Bounds = {1280, 0, 3200, 1080};
    gMonitors = {first, second};
    SetMonitorsProc([] { return gMonitors; });
    Application().SetExceptionHandler([this](const std::exception& e) { errors.push_back(e.what()); });
    // A main window of its own, so that the dialog is not the test program's first form.
    previousMain = Application().MainForm();
    mainForm = std::make_unique<TForm>(nullptr);
    mainForm->SetClientSize(200, 100);
    Application().SetMainForm(mainForm.get());
  }
  void TearDown() override {
    dialog.reset();
    Application().SetMainForm(previousMain);
    mainForm.reset();
    SetShellExecuteProc(nullptr);
    SetMonitorsProc(nullptr);
    Application().SetExceptionHandler(nullptr);
    ClearExeCrc32Cache();
  }

  TFrmAbout& Open(const TAboutArgs& args) {
    dialog = std::make_unique<TFrmAbout>(nullptr);
    dialog->Fill(args, facts);
    return *dialog;
  }
  static TAboutArgs Args(const std::wstring& version = L"2.0.6", const std::wstring& extended = L"Zeile 1\r\nZeile 2") {
    return {L"Tavrino", version, extended, {}, L"", L""};
  }
  static std::wstring Shown(TControl* control) { return WindowTextOf(control->Handle()); }
  // A click as the system reports it: the label's notification to its parent window.
  static void ClickLabel(TLabel* label) {
    ::SendMessageW(::GetParent(label->Handle()), WM_COMMAND, MAKEWPARAM(label->ControlId(), STN_CLICKED),
                   reinterpret_cast<LPARAM>(label->Handle()));
  }
  static bool Underlined(TControl* control) { return (control->Font().Style & fsUnderline) != 0; }

  TTempFolder folder;
  std::wstring program;
  TAboutFacts facts;
  std::unique_ptr<TFrmAbout> dialog;
  std::unique_ptr<TForm> mainForm;
  TForm* previousMain = nullptr;
  std::vector<std::string> errors;
};

TEST_F(AboutDialog, ShowsTheVersionWithTheBuildOfTheFileVersionOnTheFirstTwoTabs) {
  TFrmAbout& d = Open(Args());
  EXPECT_EQ(Shown(d.LblAppTitle), L"Tavrino");
  EXPECT_EQ(Shown(d.LblVersion), L"2.0.6 Build 204");
  EXPECT_EQ(Shown(d.LblVersion2), L"2.0.6 Build 204");
  EXPECT_EQ(Shown(d.LblExeVersion), L"1.5.0.204");

  Open(Args(L""));
  EXPECT_EQ(Shown(dialog->LblVersion), L"1.5.0.204");
  EXPECT_EQ(Shown(dialog->LblVersion2), L"1.5.0.204");

  facts.FileVersion = L"";  // no version resource
  Open(Args());
  EXPECT_EQ(Shown(dialog->LblVersion), L"2.0.6");
  EXPECT_EQ(Shown(dialog->LblExeVersion), L"");
}

TEST_F(AboutDialog, ShowsTheFactsOfTheProgramFileAndTheComputer) {
  facts.ClientName = L"LAPTOP7";
  TFrmAbout& d = Open(Args());
  EXPECT_EQ(Shown(d.LblExePath), folder.Path());
  EXPECT_EQ(Shown(d.LblExeName), L"Tavrino.exe");
  EXPECT_EQ(Shown(d.LblExeDateTime), ExeDateText(facts.FileDate));
  EXPECT_EQ(Shown(d.LblExeSize), ExeSizeText(1234567));
  EXPECT_EQ(Shown(d.LblPcName), L"BUERO1, Client: LAPTOP7");
  EXPECT_EQ(Shown(d.LblPcOs), L"Windows 10 Pro 64-Bit");
  EXPECT_EQ(Shown(d.LblPcUser), L"anna");
  EXPECT_EQ(Shown(d.LblPcCodepage), L"1252");
  EXPECT_EQ(Shown(d.LblPcTempFolder), facts.TempFolder);
  EXPECT_EQ(d.MmoExtInfo->Lines().Text(), L"Zeile 1\r\nZeile 2");
  EXPECT_EQ(d.PageControl->ActivePage(), d.TshInfo);
  // The buttons follow the texts they belong to.
  const int gap = SpacingUnit(d.PageControl);
  EXPECT_EQ(d.BtnExeFolderMenu->Left(), d.LblExePath->Left() + d.LblExePath->Width() + gap);
  EXPECT_EQ(d.BtnCopyExeFolder->Left(), d.BtnExeFolderMenu->Left() + d.BtnExeFolderMenu->Width() + gap);
  EXPECT_EQ(d.BtnCopyPcName->Left(), d.LblPcName->Left() + d.LblPcName->Width() + 2 * SpacingUnit(d.TshPcInfo));
  EXPECT_EQ(d.BtnCopyPcName->Hint(), StrCopyToClipboard);

  // The copy button next to the PC name copies the computer's name alone.
  Clipboard().Clear();
  d.BtnCopyPcName->Click();
  EXPECT_EQ(ClipboardAsText(), L"BUERO1");
  d.BtnCopyExeFolder->Click();
  EXPECT_EQ(ClipboardAsText(), folder.Path());
}

TEST_F(AboutDialog, CaptionsNeverCoverTheirValuesInEitherLanguage) {
  for (int lang : {1, 2}) {
    DmLangQel->LangDisp->SetActiveLanguage(lang);
    TFrmAbout& d = Open(Args());
    const std::pair<TLabel*, TLabel*> rows[] = {
        {d.Label5, d.LblVersion},
        {d.LblVersion2Caption, d.LblVersion2},     {d.LblExeVersionCaption, d.LblExeVersion},
        {d.LblExePathCaption, d.LblExePath},       {d.LblExeNameCaption, d.LblExeName},
        {d.LblExeDateTimeCaption, d.LblExeDateTime}, {d.LblExeSizeCaption, d.LblExeSize},
        {d.LblExeCrc32Caption, d.LblExeCrc32},     {d.LblPcNameCaption, d.LblPcName},
        {d.LblPcOsCaption, d.LblPcOs},             {d.LblPcUserCaption, d.LblPcUser},
        {d.LblPcCodepageCaption, d.LblPcCodepage}, {d.LblPcTempFolderCaption, d.LblPcTempFolder},
    };
    for (const auto& [caption, value] : rows) {
      EXPECT_LT(caption->Left() + caption->Width(), value->Left()) << testing::PrintToString(caption->Name());
      // The values of a tab stand in one column, at the designed place unless a caption needs more.
      EXPECT_GE(value->Left(), caption == d.Label5 ? 92 : value->Parent() == d.TshPcInfo ? 88 : 80);
    }
    EXPECT_EQ(d.LblExeSize->Left(), d.LblExeVersion->Left());
    EXPECT_EQ(d.LblPcTempFolder->Left(), d.LblPcOs->Left());
  }
  DmLangQel->LangDisp->SetActiveLanguage(1);
}

TEST_F(AboutDialog, ValuesShowAmpersandsAsTheyAre) {
  facts.Folder = folder.Path() + L"R&D\\";
  facts.UserName = L"A&B";
  TFrmAbout& d = Open(Args());
  for (TLabel* label : {static_cast<TLabel*>(d.LblExePath), d.LblPcUser}) {
    const LONG_PTR style = ::GetWindowLongPtrW(label->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & SS_NOPREFIX) << testing::PrintToString(label->Name());
  }
  EXPECT_EQ(Shown(d.LblPcUser), L"A&B");
}

TEST_F(AboutDialog, ALongFolderIsShortenedAndItsButtonsStayOnTheTab) {
  facts.Folder = L"C:\\" + std::wstring(40, L'x') + L"\\" + std::wstring(40, L'y') + L"\\" + std::wstring(40, L'z') + L"\\";
  TFrmAbout& d = Open(Args());
  d.PageControl->SetActivePage(d.TshVersionInfo);
  ASSERT_GT(d.TshVersionInfo->ClientWidth(), 0);
  EXPECT_LE(d.BtnCopyExeFolder->Left() + d.BtnCopyExeFolder->Width(), d.TshVersionInfo->ClientWidth());
  EXPECT_EQ(d.LblExePath->Hint(), facts.Folder);
  EXPECT_TRUE(::GetWindowLongPtrW(d.LblExePath->Handle(), GWL_STYLE) & SS_PATHELLIPSIS);
  // Copied whole all the same.
  Clipboard().Clear();
  d.MnuCopyExeFolder->Click();
  EXPECT_EQ(ClipboardAsText(), facts.Folder);
  EXPECT_NE(d.BuildVersionInfo().find(L"Exe-Ordner : " + facts.Folder + L"\r\n"), std::wstring::npos);
}

TEST_F(AboutDialog, ExtendedInformationMakesTheFourthTab) {
  TFrmAbout& d = Open(Args());
  EXPECT_TRUE(d.TshExtInfo->TabVisible());
  Open(Args(L"2.0.6", L""));
  EXPECT_FALSE(dialog->TshExtInfo->TabVisible());
  EXPECT_TRUE(dialog->TshInfo->TabVisible());
  EXPECT_TRUE(dialog->TshVersionInfo->TabVisible());
  EXPECT_TRUE(dialog->TshPcInfo->TabVisible());
}

// The copied text up to its time stamp, and the stamp read back.
void SplitStamp(const std::wstring& copied, std::wstring& body, double& stamp) {
  ASSERT_TRUE(copied.ends_with(L"\r\n"));
  const size_t start = copied.rfind(L"\r\n", copied.size() - 3) + 2;
  body = copied.substr(0, start);
  stamp = ParseDateTimeFmt(L"YYYY-MM-DD HH:NN:SS", copied.substr(start, copied.size() - 2 - start));
}

TEST_F(AboutDialog, CopyPutsTheFixedLayoutOnTheClipboard) {
  facts.ClientName = L"LAPTOP7";
  TFrmAbout& d = Open(Args());
  Clipboard().Clear();
  const double before = Now();
  d.BtnCopyInfo->Click();
  const double after = Now();
  EXPECT_TRUE(d.BtnCopyInfo->Enabled());
  std::wstring body;
  double stamp = 0;
  SplitStamp(ClipboardAsText(), body, stamp);
  EXPECT_EQ(body, L"Tavrino\r\n"
                  L"Version    : 2.0.6 Build 204\r\n"
                  L"Exe-Version: 1.5.0.204\r\n"
                  L"Exe-Ordner : " + folder.Path() + L"\r\n"
                  L"Exe-Name   : Tavrino.exe\r\n"
                  L"Exe-Datum  : " + ExeDateText(facts.FileDate) + L"\r\n"
                  L"Exe-Größe  : " + ExeSizeText(1234567) + L"\r\n"
                  L"Exe-CRC32  : AD13F0CA\r\n"
                  L"PC         : BUERO1, Client: LAPTOP7\r\n"
                  L"OS         : Windows 10 Pro 64-Bit\r\n"
                  L"User       : anna\r\n"
                  L"Codepage   : 1252\r\n"
                  L"\r\n"
                  L"Zeile 1\r\n"
                  L"Zeile 2\r\n"
                  L"\r\n"
                  L"Monitor 1280 x 1024 (Primärer Monitor)\r\n"
                  L"Monitor 1920 x 1080\r\n");
  // To the second: the stamp lies between the moments before and after the click.
  EXPECT_GE(stamp, before - 1.0 / 86400);
  EXPECT_LE(stamp, after + 1.0 / 86400);
  // The checksum computed for the copy now shows in its row as well.
  EXPECT_EQ(Shown(d.LblExeCrc32), L"AD13F0CA");

  // The memo's menu copies the same.
  Clipboard().Clear();
  d.MnuCopyExtInfo->Click();
  SplitStamp(ClipboardAsText(), body, stamp);
  EXPECT_TRUE(body.starts_with(L"Tavrino\r\nVersion    : 2.0.6 Build 204\r\n"));
}

TEST_F(AboutDialog, CopyWithoutExtendedInformation) {
  gMonitors.pop_back();  // a monitor list of one
  TFrmAbout& d = Open(Args(L"2.0.6", L""));
  d.BtnCopyInfo->Click();
  std::wstring body;
  double stamp = 0;
  SplitStamp(ClipboardAsText(), body, stamp);
  EXPECT_TRUE(body.ends_with(L"Codepage   : 1252\r\n\r\nMonitor 1280 x 1024 (Primärer Monitor)\r\n"))
      << testing::PrintToString(body);
}

TEST_F(AboutDialog, VersionInformationAlone) {
  TFrmAbout& d = Open(Args());
  d.BtnCopyVersionInfo->Click();
  EXPECT_EQ(ClipboardAsText(), d.BuildVersionInfo());
  EXPECT_TRUE(ClipboardAsText().ends_with(L"Codepage   : 1252\r\n"));
  EXPECT_EQ(BusyCount(), 0);
}

TEST_F(AboutDialog, ChecksumRowAsksUntilClickedAndKeepsTheResultForLaterDialogs) {
  TFrmAbout& d = Open(Args());
  EXPECT_EQ(Shown(d.LblExeCrc32), L"Ermitteln");
  EXPECT_TRUE(Underlined(d.LblExeCrc32));
  EXPECT_TRUE(d.LblExeCrc32->HandCursor());
  ClickLabel(d.LblExeCrc32);
  EXPECT_EQ(Shown(d.LblExeCrc32), L"AD13F0CA");
  EXPECT_FALSE(Underlined(d.LblExeCrc32));
  EXPECT_FALSE(d.LblExeCrc32->HandCursor());
  EXPECT_EQ(BusyCount(), 0);
  // A dialog opened later in the same run knows it at once.
  Open(Args());
  EXPECT_EQ(Shown(dialog->LblExeCrc32), L"AD13F0CA");
}

TEST_F(AboutDialog, AnUnreadableProgramFileLeavesTheChecksumOutAndSaysWhy) {
  facts.ProgramFile = folder.Path() + L"weg.exe";
  facts.FileSize = -1;
  facts.FileDate = 0;
  TFrmAbout& d = Open(Args());
  EXPECT_EQ(Shown(d.LblExeSize), L"");
  EXPECT_EQ(Shown(d.LblExeDateTime), L"");
  // Asked for the checksum: the system's reason is shown, the row keeps asking.
  ClickLabel(d.LblExeCrc32);
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_EQ(Shown(d.LblExeCrc32), L"Ermitteln");
  EXPECT_EQ(BusyCount(), 0);
  // Copying: everything else, the checksum empty, the button ready again.
  d.BtnCopyInfo->Click();
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_NE(ClipboardAsText().find(L"\r\nExe-CRC32  : \r\nPC         : BUERO1\r\n"), std::wstring::npos);
  EXPECT_TRUE(d.BtnCopyInfo->Enabled());
  EXPECT_EQ(BusyCount(), 0);
}

TEST_F(AboutDialog, ReleaseLineOnADoubleClickOfAVersion) {
  TFrmAbout& d = Open(Args());
  for (TLabel* label : {d.LblVersion, d.LblVersion2, d.LblVersion2Caption}) {
    Clipboard().Clear();
    ::SendMessageW(label->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 2));
    PumpFor(20);
    EXPECT_EQ(ClipboardAsText(), L"# Release Build 1.5.0.204, " + FormatDateTime(L"ddddd", facts.FileDate) + L" 17:04")
        << testing::PrintToString(label->Name());
  }
}

TEST_F(AboutDialog, BadgesKeepTheRightEdgeOfTheirPlace) {
  TFrmAbout& d = Open(Args());
  EXPECT_TRUE(d.ImgGloatLogo->Empty());
  EXPECT_FALSE(d.ImgGloatLogoFirebird->Visible());
  TAboutArgs args = Args();
  args.Badge = TAboutBadge::BuiltInFirebird();
  Open(args);
  EXPECT_EQ(dialog->ImgGloatLogo->ResourceId(), IDI_FIREBIRDBADGE);
  EXPECT_EQ(dialog->ImgGloatLogo->Bounds(), (TDesignRect{224 + 237 - 102, 12, 102, 47}));
  // A picture of the caller's.
  TPictureImage own(nullptr);
  own.LoadIcon(IDI_LOGO, 120, 23);
  args.Badge = {&own, false};
  Open(args);
  EXPECT_EQ(dialog->ImgGloatLogo->ResourceId(), IDI_LOGO);
  EXPECT_EQ(dialog->ImgGloatLogo->Bounds(), (TDesignRect{224 + 237 - 120, 12, 120, 23}));
}

TEST_F(AboutDialog, PicturesWiderThanHighLoadInTheirSize) {
  TFrmAbout& d = Open(Args());
  d.Show();
  PumpFor(20);
  for (TPictureImage* image : {d.ImgLogo, d.ImgAppIcon, d.ImgGloatLogoFirebird}) {
    ASSERT_FALSE(image->Empty()) << testing::PrintToString(image->Name());
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(image->IconHandle(), &info));
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    EXPECT_EQ(bitmap.bmWidth, image->Scale(image->PictureWidth())) << testing::PrintToString(image->Name());
    EXPECT_EQ(bitmap.bmHeight, image->Scale(image->PictureHeight())) << testing::PrintToString(image->Name());
  }
  // The logo's right edge lines up with the page control's.
  EXPECT_EQ(d.ImgLogo->Left() + d.ImgLogo->Width(), d.PnlLogo->ClientWidth() - d.PageControl->Left());
  EXPECT_EQ(d.ImgLogo->Top(), (61 - 23) / 2);
}

// Columns of a picture drawn alone that show something of it.
std::vector<bool> InkColumnsOf(HICON icon, int size) {
  std::vector<bool> ink(static_cast<size_t>(size));
  TWindowDc screen(nullptr);
  TMemoryDc memory(::CreateCompatibleDC(screen.Get()));
  TBitmapHandle bitmap(::CreateCompatibleBitmap(screen.Get(), size, size));
  TSelectObject selected(memory.Get(), bitmap.Get());
  const RECT all{0, 0, size, size};
  ::FillRect(memory.Get(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::DrawIconEx(memory.Get(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  for (int x = 0; x < size; ++x)
    for (int y = 0; y < size; ++y)
      if (::GetPixel(memory.Get(), x, y) != RGB(255, 255, 255)) ink[static_cast<size_t>(x)] = true;
  return ink;
}

TEST_F(AboutDialog, ButtonPicturesKeepASpacingUnitFromTheirCaptions) {
  TFrmAbout& d = Open(Args());
  d.Show();
  for (TBitBtn* button : {d.BtnRemoteSupport, d.BtnCopyInfo}) {
    const std::string name = testing::PrintToString(button->Name());
    const int size = button->Glyph().Size();
    const std::vector<bool> glyph = InkColumnsOf(button->Glyph().Handle(), size);
    const auto glyphLeft = static_cast<int>(std::find(glyph.begin(), glyph.end(), true) - glyph.begin());
    ASSERT_LT(glyphLeft, size) << name;
    // What the button shows, against what it shows without picture and caption (its face, which
    // a theme may shade): the columns in the rows of the picture where the two differ.
    int width = 0, height = 0;
    auto shown = [&] {
      button->Invalidate();
      PumpFor(50);
      return ClientPixels(button->Handle(), width, height);
    };
    const std::vector<COLORREF> full = shown();
    const std::wstring caption = button->Caption();
    button->SetCaption(L"");
    ::SendMessageW(button->Handle(), BM_SETIMAGE, IMAGE_ICON, 0);
    const std::vector<COLORREF> face = shown();
    button->SetCaption(caption);
    button->SetGlyph(button->GlyphId());
    ASSERT_EQ(full.size(), face.size()) << name;
    auto inkAt = [&](int x) {
      for (int y = (height - size) / 2; y < (height + size) / 2; ++y) {
        const size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
        if (full[i] != face[i]) return true;
      }
      return false;
    };
    int first = 0;
    while (first < width && !inkAt(first)) ++first;
    ASSERT_LT(first, width) << name << " shows no picture";
    const int pictureRight = first - glyphLeft + size;
    int captionLeft = pictureRight;
    while (captionLeft < width && !inkAt(captionLeft)) ++captionLeft;
    ASSERT_LT(captionLeft, width) << name << " shows no caption";
    EXPECT_GE(captionLeft - pictureRight, SpacingUnit(button)) << name;
  }
}

TEST_F(AboutDialog, FolderCommands) {
  TFrmAbout& d = Open(Args());
  d.MnuOpenExeFolder->Click();
  ::CreateDirectoryW(facts.TempFolder.c_str(), nullptr);
  ClickLabel(d.LblPcTempFolder);
  ASSERT_EQ(gShellCalls.size(), 2u);
  EXPECT_EQ(gShellCalls[0].Verb, L"explore");
  EXPECT_EQ(gShellCalls[0].Target, folder.Path());
  EXPECT_EQ(gShellCalls[1], (TShellCall{d.Handle(), L"explore", facts.TempFolder}));
  EXPECT_TRUE(d.LblPcTempFolder->HandCursor());
  EXPECT_TRUE(Underlined(d.LblPcTempFolder));
  EXPECT_TRUE(d.LblExePath->HandCursor());
}

TEST_F(AboutDialog, OpenFolderAndCloseProgramEndsTheProgramTheUsualWay) {
  bool mainClosed = false;
  mainForm->OnHide = [&](TObject*) { mainClosed = true; };
  mainForm->Show();
  TFrmAbout& d = Open(Args());
  TTimer timer(nullptr);
  timer.SetInterval(50);
  timer.OnTimer = [&](TObject*) {
    timer.SetEnabled(false);
    d.MnuOpenExeFolderCloseExe->Click();
  };
  const int result = d.ShowModal();
  PumpUntil([&] { return mainClosed; }, 5000);
  EXPECT_EQ(result, mrOk);
  ASSERT_EQ(gShellCalls.size(), 1u);
  EXPECT_EQ(gShellCalls[0].Target, folder.Path());
  EXPECT_TRUE(mainClosed);
}

// Esc and Enter close the dialog with OK from whatever control has the focus, the memo too.
struct TKeyCase {
  const char* name;
  WORD key;
  int focus;  // 0 the OK button, 1 the copy button, 2 the memo, 3 the page control's tabs
};
void PrintTo(const TKeyCase& c, std::ostream* os) { *os << c.name; }

class AboutKeys : public AboutDialog, public ::testing::WithParamInterface<TKeyCase> {};

TEST_P(AboutKeys, CloseWithOk) {
  const TKeyCase& c = GetParam();
  TFrmAbout& d = Open(Args());
  TTimer timer(nullptr);
  timer.SetInterval(100);
  timer.OnTimer = [&](TObject*) {
    timer.SetEnabled(false);
    if (c.focus == 2) {
      d.PageControl->SetActivePage(d.TshExtInfo);
      d.MmoExtInfo->SetFocus();
    } else if (c.focus == 1) {
      d.BtnCopyInfo->SetFocus();
    } else if (c.focus == 3) {
      d.PageControl->SetFocus();
    } else {
      d.BtnOK->SetFocus();
    }
    Clipboard().Clear();
    PressKey(c.key);
  };
  EXPECT_EQ(d.ShowModal(), mrOk);
  // The key did nothing else: the copy button did not copy.
  EXPECT_EQ(ClipboardAsText(), L"");
}

INSTANTIATE_TEST_SUITE_P(About, AboutKeys,
                         ::testing::Values(TKeyCase{"EnterOnOk", VK_RETURN, 0}, TKeyCase{"EscOnOk", VK_ESCAPE, 0},
                                           TKeyCase{"EnterOnCopy", VK_RETURN, 1}, TKeyCase{"EscOnCopy", VK_ESCAPE, 1},
                                           TKeyCase{"EnterInTheMemo", VK_RETURN, 2},
                                           TKeyCase{"EscInTheMemo", VK_ESCAPE, 2},
                                           TKeyCase{"EnterOnTheTabs", VK_RETURN, 3}),
                         TCaseName());

TEST_F(AboutDialog, TheBannerPlaysOnlyAfterBothPicturesWereDoubleClicked) {
  TFrmAbout& d = Open(Args());
  d.Show();
  auto doubleClick = [](TPictureImage* image) {
    ::SendMessageW(image->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 2));
  };
  doubleClick(d.ImgAppIcon);
  doubleClick(d.ImgAppIcon);
  PumpFor(150);
  EXPECT_EQ(Shown(d.LblEe), L"");
  doubleClick(d.ImgLogo);
  EXPECT_EQ(Shown(d.LblEe), L"W|");
  std::vector<std::wstring> seen;
  PumpUntil(
      [&] {
        const std::wstring now = Shown(d.LblEe);
        if (seen.empty() || seen.back() != now) seen.push_back(now);
        return now.empty();
      },
      10000);
  // Letter by letter with a cursor, then the whole banner, then nothing; the window answered
  // all the while (the pump went on).
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen[seen.size() - 2], TFrmAbout::kBanner);
  EXPECT_EQ(seen.back(), L"");
  EXPECT_EQ(std::wstring(TFrmAbout::kBanner).size(), 16u);
  // Either picture plays it again from now on.
  doubleClick(d.ImgLogo);
  EXPECT_EQ(Shown(d.LblEe), L"W|");
}

TEST_F(AboutDialog, EnglishWhenTheDispatcherSaysSo) {
  DmLangQel->LangDisp->SetActiveLanguage(2);
  TFrmAbout& d = Open(Args());
  EXPECT_EQ(Shown(&d), L"About");
  EXPECT_EQ(d.TshVersionInfo->Caption(), L"&Version Info");
  EXPECT_EQ(d.TshExtInfo->Caption(), L"&More Information");
  EXPECT_EQ(Shown(d.BtnRemoteSupport), L"Remote Support");
  EXPECT_EQ(d.BtnCopyInfo->Hint(), L"Copy information to clipboard");
  EXPECT_EQ(Shown(d.LblExeCrc32), L"Determine");
  EXPECT_EQ(d.BtnCopyPcName->Hint(), L"Copy to clipboard");
  EXPECT_EQ(d.MnuOpenExeFolderCloseExe->Caption(), L"Open folder, close program");
  // The copied captions are the fixed German ones.
  EXPECT_TRUE(d.BuildVersionInfo().find(L"\r\nExe-Größe  : ") != std::wstring::npos);
  DmLangQel->LangDisp->SetActiveLanguage(1);
  EXPECT_EQ(Shown(&d), L"Info");
  EXPECT_EQ(d.TshVersionInfo->Caption(), L"&Versions-Info");
  EXPECT_EQ(d.BtnCopyPcName->Hint(), L"In Zwischenablage kopieren");
}

}  // namespace
