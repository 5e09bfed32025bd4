#pragma once
// The popup notification: a small borderless window in the middle of its owner that shows a
// short text, and PopupTick, the check mark that confirms a command. The library reaches the
// window only through the popup hooks (base/Misc.h); PopupMsgShow and PopupMsgHide are their
// implementations.
#include "base/Strings.h"
#include "toolkit/Forms.h"

#include <string>

// The text PopupTick shows. The popup draws it large, filling most of its height.
inline constexpr wchar_t kTickMark[] = L"\u2714";

class TFrmPopupMsg : public TForm {
public:
  explicit TFrmPopupMsg(TComponent* owner);
  ~TFrmPopupMsg() override;

  // Creates the window if there is none (owned by OwnerForm, or by the main window when it
  // is null), then shows Text in it.
  static void ShowMsg(const std::wstring& text, TComponent* ownerForm, TAlignment align);
  // Frees the window, if any. (A class operation: it hides TForm::Hide on purpose.)
  static void Hide();

  // Shows Text (line breaks normalised, blanks at both ends removed); the window grows to hold
  // it and never shrinks.
  void ApplyText(const std::wstring& text, TAlignment align);
  // Where the text goes, in client pixels.
  RECT TextArea() const;
  void InvalidateText();
  void PaintText(TCanvas& canvas);

  const std::wstring& ShownText() const noexcept { return FText; }
  TAlignment Alignment() const noexcept { return FAlign; }
  COLORREF BgColor() const noexcept { return FBgColor; }
  COLORREF BorderColor() const noexcept { return FBorderColor; }

private:
  void FormPaint(TObject* sender, TCanvas& canvas);
  void FormCloseQuery(TObject* sender, bool& canClose);
  int ClientPixelsWidth() const;
  int ClientPixelsHeight() const;
  // Chooses the font of the tick mark: a face that has its glyph, in the size whose ink fills
  // three quarters of the client height. False when no face has it.
  bool FitMark();
  void PaintMark(TCanvas& canvas);

  std::wstring FText;
  int FEmQuad = 1;
  int FTextWidth = 0;
  int FTextHeight = 0;
  TAlignment FAlign = taCenter;
  COLORREF FBgColor = 0;
  COLORREF FBorderColor = 0;
  TFontHandle FMarkFont;  // while the tick mark shows: its font
  GLYPHMETRICS FMarkGlyph{};  // and its glyph's ink box
};

// The one popup window while a text is shown; null otherwise.
extern TFrmPopupMsg* FrmPopupMsg;

// The popup hooks' implementations.
void PopupMsgShow(const std::wstring& text, TAlignment align, TForm* owner);
void PopupMsgHide();

// Confirms a command: the information sound, and a check mark over Owner (or the main window)
// for a quarter of a second. Blocks the calling thread meanwhile.
void PopupTick(TForm* owner);
