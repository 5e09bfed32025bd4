#pragma once
// The About dialog: the program's title and version, the facts about the program file and the
// computer, all of it copied to the clipboard in a fixed layout for support requests, the
// program folder, and the remote-support launcher.
#include "toolkit/BitBtn.h"
#include "toolkit/Buttons.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"
#include "toolkit/Pictures.h"
#include "toolkit/StdCtrls.h"
#include "ui/AboutFacts.h"

#include <string>

class TsiLang;
class TVormHyperlinkLabel;

// A label that offers a click: the hand pointer while it does. A path too long for the room it
// has is shortened in its middle ("C:\...\Tavrino\"), its hint then telling it whole.
class TClickLabel : public TLabel {
public:
  explicit TClickLabel(TComponent* owner) : TLabel(owner) {}
  bool HandCursor() const noexcept { return FHandCursor; }
  void SetHandCursor(bool value) noexcept { FHandCursor = value; }
  // Shows Path in at most MaxWidth design pixels.
  void SetPath(const std::wstring& path, int maxWidth);

protected:
  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
  bool FHandCursor = false;
  bool FPathEllipsis = false;
};

// The badge beside the program's facts: none, a picture of the caller's, or the built-in
// "powered by Firebird" badge.
struct TAboutBadge {
  const TPictureImage* Picture = nullptr;
  bool Firebird = false;
  static TAboutBadge BuiltInFirebird() { return {nullptr, true}; }
};

// What a program tells the dialog about itself.
struct TAboutArgs {
  std::wstring AppTitle;
  std::wstring Version;       // empty: the program file's version
  std::wstring ExtendedInfo;  // the fourth tab; hidden when empty
  TAboutBadge Badge;
  std::wstring Info1, Info2;
};

class TFrmAbout : public TForm {
public:
  explicit TFrmAbout(TComponent* owner);
  ~TFrmAbout() override;

  // Creates the dialog, fills it with the arguments and the facts of the running program,
  // shows it modally and frees it.
  static void Execute(const std::wstring& appTitle, const std::wstring& version, const std::wstring& extendedInfo,
                      TAboutBadge gloatLogo = {}, const std::wstring& info1 = {}, const std::wstring& info2 = {});

  // Fills the dialog (Execute does this under the busy cursor).
  void Fill(const TAboutArgs& args, const TAboutFacts& facts);
  const TAboutFacts& Facts() const noexcept { return FFacts; }

  // The version information as the labels show it now (the checksum computed first when it can be).
  std::wstring BuildVersionInfo();
  // The text the Copy button puts on the clipboard.
  std::wstring CopyInfo();

  // ---- the window's parts, in the order of its description ----
  TPanel* PnlLogo;
  TPictureImage* ImgLogo;
  TLabel* LblEe;
  TPageControl* PageControl;
  TButton* BtnOK;
  TPictureImage* ImgGloatLogoFirebird;
  // first tab
  TTabSheet* TshInfo;
  TPictureImage* ImgAppIcon;
  TLabel* LblAppTitle;
  TLabel* Label5;
  TLabel* LblVersion;
  TLabel* LblInfo1;
  TLabel* LblInfo2;
  TLabel* Label2;
  TLabel* Label3;
  TLabel* Label4;
  TVormHyperlinkLabel* LblHomepage;
  TPictureImage* ImgGloatLogo;
  TBitBtn* BtnRemoteSupport;
  TBitBtn* BtnCopyInfo;
  // second tab
  TTabSheet* TshVersionInfo;
  TLabel* LblVersion2Caption;
  TLabel* LblVersion2;
  TLabel* LblExeVersionCaption;
  TLabel* LblExeVersion;
  TLabel* LblExePathCaption;
  TClickLabel* LblExePath;
  TSpeedButton* BtnExeFolderMenu;
  TSpeedButton* BtnCopyExeFolder;
  TLabel* LblExeNameCaption;
  TLabel* LblExeName;
  TLabel* LblExeDateTimeCaption;
  TLabel* LblExeDateTime;
  TLabel* LblExeSizeCaption;
  TLabel* LblExeSize;
  TLabel* LblExeCrc32Caption;
  TClickLabel* LblExeCrc32;
  TBitBtn* BtnCopyVersionInfo;
  TPopupMenu* MnuExeFolder;
  TMenuItem* MnuOpenExeFolderCloseExe;
  TMenuItem* MnuOpenExeFolder;
  TMenuItem* MnuCopyExeFolder;
  // third tab
  TTabSheet* TshPcInfo;
  TLabel* LblPcNameCaption;
  TLabel* LblPcName;
  TSpeedButton* BtnCopyPcName;
  TLabel* LblPcOsCaption;
  TLabel* LblPcOs;
  TLabel* LblPcUserCaption;
  TLabel* LblPcUser;
  TLabel* LblPcCodepageCaption;
  TLabel* LblPcCodepage;
  TLabel* LblPcTempFolderCaption;
  TClickLabel* LblPcTempFolder;
  // fourth tab
  TTabSheet* TshExtInfo;
  TMemo* MmoExtInfo;
  TPopupMenu* MnuExtInfo;
  TMenuItem* MnuCopyExtInfo;
  TTimer* TimEe;
  TsiLang* siLang;

  // Set by double clicks on the program icon and on the logo; both together start the banner.
  bool FEE1 = false;
  bool FEE2 = false;
  // The banner of the hidden animation (16 characters).
  static constexpr const wchar_t* kBanner = L"Weichware, gell!";

private:
  void FormShow(TObject* sender);
  void FormKeyDown(TObject* sender, unsigned short& key, TShiftState shift);
  void BtnCopyInfoClick(TObject* sender);
  void BtnCopyVersionInfoClick(TObject* sender);
  void BtnCopyPcNameClick(TObject* sender);
  void BtnCopyExeFolderClick(TObject* sender);
  void BtnExeFolderMenuClick(TObject* sender);
  void MnuOpenExeFolderClick(TObject* sender);
  void MnuOpenExeFolderCloseExeClick(TObject* sender);
  void LblPcTempFolderClick(TObject* sender);
  void LblVersion2DblClick(TObject* sender);
  void LblExeCrc32Click(TObject* sender);
  void ImgAppIconDblClick(TObject* sender);
  void ImgLogoDblClick(TObject* sender);
  void BtnRemoteSupportClick(TObject* sender);
  void TimEeTimer(TObject* sender);
  void siLangChangeLanguage(TObject* sender);

  // Value columns and the buttons beside values, after the texts they depend on.
  void ArrangeRows();
  void ShowExeCrc32();
  // The checksum of the program file, computed when it is not yet known; false (nothing shown)
  // when the file cannot be read.
  bool EnsureExeCrc32();
  void RunEasterEgg();
  void CopyAndTick(const std::wstring& text);

  TAboutFacts FFacts;
  bool FFilled = false;
  int FEeStep = 0;
};
