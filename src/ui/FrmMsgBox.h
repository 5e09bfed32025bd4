#pragma once
// The message box: the library's own dialog behind the message-box hooks (base/Misc.h). An
// icon, a headline, an optional message under it, up to three buttons (a standard set chosen by
// the Windows message-box flags, or captions given by the caller), an optional check box for
// not showing the message again, Ctrl+C and a context menu that copy the text, and optional
// blinking, flashing, beeping and a coloured background. It sizes itself to its text: wrapped
// to the available width, as tall as nearly the screen, scrolled beyond that.
#include "base/Sets.h"
#include "toolkit/Containers.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"

#include <cstdint>
#include <string>
#include <string_view>

class TsiLang;

enum TMsgBoxOption : std::uint8_t {
  moBlink,    // the icon blinks
  moFlash,    // the caption and taskbar button flash once
  moBeep,     // the system sound of the icon kind plays when the box shows
  moColored,  // light-yellow background, black text
};
using TMsgBoxOptions = TSet<TMsgBoxOption, 4>;

class TFrmMsgBox : public TForm {
public:
  explicit TFrmMsgBox(TComponent* owner);
  ~TFrmMsgBox() override;

  // Shows a box modally and returns the number of the button that closed it: the Windows
  // dialog result of a standard button, -1, -2 or -3 for the caller's buttons (buttons:
  // captions separated by "|"), 2 when the window was closed. Without headline the message
  // becomes the headline; without caption the program's title is the caption; without owner
  // the main window is the owner. DsaText shows the check box with that caption, checked as
  // DsaFlag says; DsaFlag receives its state (false without the check box).
  static int Execute(const std::wstring& headline, const std::wstring& message, const std::wstring& caption,
                     const std::wstring& buttons, std::uint32_t flags, const std::wstring& dsaText, bool& dsaFlag,
                     TForm* owner, TMsgBoxOptions options);
  // The short forms return the absolute value of the result.
  static int Execute(const std::wstring& headline, const std::wstring& message, std::uint32_t flags);
  static int Execute(const std::wstring& headline, const std::wstring& message, std::uint32_t flags,
                     TMsgBoxOptions options);
  static int Execute(const std::wstring& headline, const std::wstring& message, std::uint32_t flags,
                     const std::wstring& dsaText, bool& dsaFlag, TMsgBoxOptions options);

  // The window's parts, in the order of its description; the window owns them.
  TImage* ImgIcon;
  TScrollBox* ScrollBox;
  TPaintBox* PaintBox;
  TPanel* PnlButtons;
  TButton* Button1;
  TButton* Button2;
  TButton* Button3;
  TPanel* PnlDsa;
  TCheckBox* ChkDsa;
  TTimer* TimBlink;
  TPopupMenu* MnuText;
  TMenuItem* MnuCopy;
  TsiLang* siLang;

  // Gives the buttons their captions and results (a button without caption is hidden), widens
  // all three alike when a caption needs it, focuses the button the flags choose and makes
  // button EscIndex (1 to 3) the one Esc presses; EscIndex 0 removes the close box.
  void SetButtons(const std::wstring& caption1, int result1, const std::wstring& caption2, int result2,
                  const std::wstring& caption3, int result3, int escIndex);
  // The box's text as one text: headline, an empty line and the message (control characters
  // shown as "^X"). It is the text area's window text, so that screen readers and UI
  // automation can read what the box says.
  std::wstring MessageText() const;
  // Puts MessageText and a final line break on the clipboard and confirms with the tick popup.
  void CopyMessageText();
  // The shared button captions from the window's translation table.
  void UpdateStrings();

  const std::wstring& Headline() const noexcept { return FHeadline; }
  const std::wstring& Message() const noexcept { return FMessage; }

private:
  void FormCreate(TObject* sender);
  void FormShow(TObject* sender);
  void FormKeyPress(TObject* sender, wchar_t& key);
  void FormCloseQuery(TObject* sender, bool& canClose);
  void PaintBoxPaint(TObject* sender, TCanvas& canvas);
  void TimBlinkTimer(TObject* sender);
  void MnuCopyClick(TObject* sender);
  void ScrollBoxMouseWheel(TObject* sender, TShiftState shift, int wheelDelta, int x, int y, bool& handled);
  void siLangChangeLanguage(TObject* sender);

  // The standard buttons of the flags, or the caller's (captions only when Initial is false).
  void ApplyButtons(bool initial);
  void SetButtonCaptions(const std::wstring& caption1, const std::wstring& caption2, const std::wstring& caption3);
  // Wraps and measures headline and message for a width (device pixels); W and H receive the
  // size of the whole text.
  void WrapAndMeasure(TCanvas& canvas, int width, int& w, int& h);
  // The steps of showing: colours, icon, buttons and headline font; the text wrapped into the
  // text area, which grows with it up to the screen (returns the text's width, device pixels);
  // the window sized around text, buttons and check box; what the flags ask of the window.
  void ApplyLook();
  int LayOutText();
  void FitWindow(int textWidth);
  void ApplyWindowFlags();

  std::wstring FHeadline;
  std::wstring FMessage;
  std::wstring FHeadlineUnwrapped;
  std::wstring FMessageUnwrapped;
  std::wstring FButtons;
  std::wstring FDsaText;
  bool FDsaFlag = false;
  std::uint32_t FFlags = 0;
  TMsgBoxOptions FOptions;
  bool FGeblunken = true;
  bool FFlashed = false;
  TFontDesc FHeadlineFont;
  int FHeadlineH = 0;  // device pixels
  int FMessageH = 0;
  int FGap = 0;
  int FButtonsRight = 0;  // design pixels, in PnlButtons
  bool FLaidOut = false;
};

// Every control character but CR and LF as "^" and the character 64 above it (a tab is "^I").
std::wstring EscapeControlChars(std::wstring_view s);

// The button captions every message box uses, in the active language.
extern std::wstring CBtnText_OK;
extern std::wstring CBtnText_Cancel;
extern std::wstring CBtnText_Retry;
extern std::wstring CBtnText_Ignore;
extern std::wstring CBtnText_Yes;
extern std::wstring CBtnText_No;

// Unit start and stop: the captions' German texts and the three message-box hooks.
void FrmMsgBoxStart();
void FrmMsgBoxStop();
