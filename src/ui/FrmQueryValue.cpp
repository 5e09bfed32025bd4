#include "ui/FrmQueryValue.h"

#include "base/Misc.h"
#include "base/Strings.h"
#include "lang/DmLang.h"
#include "lang/SiLang.h"
#include "toolkit/CheckLst.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"
#include "ui/CmpStandard.h"
#include "ui/FraDateRange.h"
#include "ui/TextMeasure.h"
#include "ui/WinHelpers.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <span>

namespace {

// Lists show at most this many rows; longer ones scroll.
constexpr int kMaxListRows = 30;
// The memo of the multi-line query shows this many lines at least and at most.
constexpr int kMinMemoLines = 6, kMaxMemoLines = 10;

const TsiRow kTable[] = {
    {stCaptions, L"TFrmQueryValue", L"Abfrage", L"Prompt"},
    {stCaptions, L"BtnOK", L"&OK", L"&OK"},
    {stCaptions, L"BtnCancel", L"Abbrechen", L"Cancel"},
    {stCaptions, L"BtnCheckAll", L"&Alle", L"&All"},
    {stCaptions, L"BtnCheckNone", L"&Keine", L"&None"},
    {stCaptions, L"MnuCheckListSelectAll", L"Alle auswählen", L"Select all"},
    {stCaptions, L"MnuCheckListUnselectAll", L"Keinen auswählen", L"Unselect all"},
    {stHints, L"LblCheckedItems", L"Ausgewählte Einträge", L"Checked entries"},
    {stHints, L"BtnCheckAll", L"Alle auswählen", L"Check all"},
    {stHints, L"BtnCheckNone", L"Alle abwählen", L"Uncheck all"},
};

// Creates a control of the window at design bounds, hidden unless told otherwise.
template <class T>
T* NewControl(TForm* owner, TControl* parent, const wchar_t* name, TDesignRect bounds, bool visible = false) {
  auto* control = NewComponent<T>(owner, name);
  control->SetBounds(bounds.Left, bounds.Top, bounds.Width, bounds.Height);
  control->SetVisible(visible);
  control->SetParent(parent);
  return control;
}

// The window of a query: owned by OwnerForm, or placed over the main window.
std::unique_ptr<TFrmQueryValue> NewQueryForm(TForm* ownerForm) {
  auto form = std::make_unique<TFrmQueryValue>(ownerForm);
  if (!ownerForm)
    if (TForm* main = Application().MainForm(); main && main != form.get() && main->IsShowing())
      form->SetPopupParent(main->Handle());
  ApplyMainFormFont(form.get());
  return form;
}

int CountLines(const std::wstring& text) {
  if (text.empty()) return 0;
  int lines = 1;
  for (size_t at = text.find(L"\r\n"); at != std::wstring::npos; at = text.find(L"\r\n", at + 2)) ++lines;
  return lines;
}

}  // namespace

TFrmQueryValue::TFrmQueryValue(TComponent* owner) : TForm(owner) {
  SetName(L"FrmQueryValue");
  SetCaption(L"Abfrage");
  SetBorderStyle(bsDialog);
  SetBorderIcons({biSystemMenu});
  SetClientSize(309, 120);
  SetColor(clBtnFace);
  SetFont(TFontDesc::FromPoints(L"Segoe UI", 9));
  SetKeyPreview(true);
  SetShowHint(true);
  SetPosition(poOwnerFormCenter);

  // The stack of top-aligned controls, in this order.
  LblCaption = NewControl<TLabel>(this, this, L"LblCaption", {8, 8, 293, 15}, true);
  TFontDesc bold = Font();
  bold.Style |= fsBold;
  LblCaption->SetFont(bold);
  LblCaption->SetAutoSize(false);
  LblCaption->SetWordWrap(true);
  LblCaption->SetShowAccelChar(false);
  LblCaption->SetAlign(alTop);
  LblCaption->SetMargins({8, 8, 8, 8});
  LblCaption->SetAlignWithMargins(true);

  Shape = NewControl<TPanel>(this, this, L"Shape", {8, 31, 293, 25});
  Shape->SetColor(clYellow);

  auto stacked = [](TControl* control, TMargins margins) {
    control->SetAlign(alTop);
    control->SetMargins(margins);
    control->SetAlignWithMargins(true);
  };
  MmoText = NewComponent<TMemo>(this, L"MmoText");
  MmoText->SetScrollBars(ssBoth);
  MmoText->SetWordWrap(false);
  MmoText->SetBounds(8, 31, 293, 77);
  MmoText->SetVisible(false);
  MmoText->SetParent(this);
  stacked(MmoText, {8, 0, 8, 0});

  LstOption = NewControl<TListBox>(this, this, L"LstOption", {8, 108, 293, 69});
  LstOption->SetItemHeight(15);
  stacked(LstOption, {8, 0, 8, 0});
  LstOption->OnClick = [this](TObject* sender) { LstOptionClick(sender); };
  LstOption->OnDblClick = [this](TObject* sender) { LstOptionDblClick(sender); };

  LblDetails = NewControl<TLabel>(this, this, L"LblDetails", {8, 181, 293, 15});
  LblDetails->SetAutoSize(false);
  LblDetails->SetWordWrap(true);
  LblDetails->SetShowAccelChar(false);
  stacked(LblDetails, {8, 4, 8, 4});

  ChkBoolean = NewControl<TCheckBox>(this, this, L"ChkBoolean", {8, 208, 293, 17});
  stacked(ChkBoolean, {8, 8, 8, 8});

  MnuCheckListBox = NewComponent<TPopupMenu>(this, L"MnuCheckListBox");
  MnuCheckListSelectAll = NewComponent<TMenuItem>(this, L"MnuCheckListSelectAll");
  MnuCheckListSelectAll->SetCaption(L"Alle auswählen");
  MnuCheckListSelectAll->OnClick = [this](TObject* sender) { MnuCheckListSelectAllClick(sender); };
  MnuCheckListBox->Add(MnuCheckListSelectAll);
  MnuCheckListUnselectAll = NewComponent<TMenuItem>(this, L"MnuCheckListUnselectAll");
  MnuCheckListUnselectAll->SetCaption(L"Keinen auswählen");
  MnuCheckListUnselectAll->OnClick = [this](TObject* sender) { MnuCheckListUnselectAllClick(sender); };
  MnuCheckListBox->Add(MnuCheckListUnselectAll);

  LstCheckbox = NewControl<TCheckListBox>(this, this, L"LstCheckbox", {8, 233, 293, 73});
  LstCheckbox->SetItemHeight(17);
  LstCheckbox->SetPopupMenu(MnuCheckListBox);
  stacked(LstCheckbox, {8, 0, 8, 0});
  LstCheckbox->OnClickCheck = [this](TObject* sender) { LstCheckboxClickCheck(sender); };
  LstCheckbox->OnDblClick = [this](TObject* sender) { LstCheckboxDblClick(sender); };

  PnlCheckAllNone = NewControl<TPanel>(this, this, L"PnlCheckAllNone", {8, 306, 293, 29});
  stacked(PnlCheckAllNone, {8, 0, 8, 0});
  LblCheckedItems = NewControl<TLabel>(this, PnlCheckAllNone, L"LblCheckedItems", {0, 4, 100, 15}, true);
  LblCheckedItems->SetHint(L"Ausgewählte Einträge");
  // Right-aligned from the edge inwards: "Keine" at the edge, "Alle" left of it.
  BtnCheckNone = NewControl<TButton>(this, PnlCheckAllNone, L"BtnCheckNone", {232, 4, 61, 23}, true);
  BtnCheckAll = NewControl<TButton>(this, PnlCheckAllNone, L"BtnCheckAll", {164, 4, 60, 23}, true);
  for (TButton* button : {BtnCheckNone, BtnCheckAll}) {
    button->SetAlign(alRight);
    button->SetMargins({8, 4, 0, 2});
    button->SetAlignWithMargins(true);
  }
  BtnCheckAll->SetCaption(L"&Alle");
  BtnCheckAll->SetHint(L"Alle auswählen");
  BtnCheckAll->SetTabOrder(0);
  BtnCheckAll->OnClick = [this](TObject* sender) { BtnCheckAllClick(sender); };
  BtnCheckNone->SetCaption(L"&Keine");
  BtnCheckNone->SetHint(L"Alle abwählen");
  BtnCheckNone->OnClick = [this](TObject* sender) { BtnCheckNoneClick(sender); };

  // The editors of one line each, placed by the query.
  EdtText = NewControl<TEdit>(this, this, L"EdtText", {8, 408, 293, 23});
  EdtInteger = NewControl<TVormIntEdit>(this, this, L"EdtInteger", {136, 464, 121, 23});
  EdtInteger->SetEmptyOnZero(true);
  EdtInteger->SetNegativeAllowed(false);
  EdtInteger->SetHexadecimal(false);
  EdtInteger->SetMaxLength(8);
  EdtDecimal = NewControl<TVormDecimalEdit>(this, this, L"EdtDecimal", {8, 464, 121, 23});
  EdtDecimal->SetDecimalSeparator(dsFromLocale);
  EdtDecimal->SetEmptyOnZero(true);
  EdtDecimal->SetDecimals(2);
  EdtDecimal->SetTrailingZeros(true);
  EdtDecimal->SetNegativeAllowed(false);
  EdtDecimal->SetMaxLength(12);
  DtpDate = NewControl<TVormDateTimePicker>(this, this, L"DtpDate", {28, 436, 101, 23});
  ChkDateTime = NewControl<TCheckBox>(this, this, L"ChkDateTime", {8, 438, 17, 17});
  ChkDateTime->OnClick = [this](TObject* sender) { ChkDateTimeClick(sender); };
  EdtTime = NewControl<TVormTimeEdit>(this, this, L"EdtTime", {136, 436, 53, 23});
  EdtTime->SetTimeFormat(tfHHNNSS);
  EdtTime->SetMaxLength(8);
  EdtTime->SetZeroAsEmpty(true);
  EdtTime->SetWrongBgndColor(15132415);
  EdtTime->SetWrongTextColor(200);
  EdtTime->SetBounds(136, 436, 53, 23);
  FraDateRange = NewControl<TFraDateRange>(this, this, L"FraDateRange", {8, 492, 265, 78});

  PnlBottom = NewControl<TPanel>(this, this, L"PnlBottom", {0, 70, 309, 50}, true);
  PnlBottom->SetAlign(alBottom);
  PnlButtons = NewControl<TPanel>(this, PnlBottom, L"PnlButtons", {116, 0, 193, 50}, true);
  PnlButtons->SetAlign(alRight);
  BtnOK = NewControl<TButton>(this, PnlButtons, L"BtnOK", {8, 12, 85, 25}, true);
  BtnOK->SetCaption(L"&OK");
  BtnOK->SetDefault(true);
  BtnOK->OnClick = [this](TObject* sender) { BtnOKClick(sender); };
  BtnCancel = NewControl<TButton>(this, PnlButtons, L"BtnCancel", {100, 12, 85, 25}, true);
  BtnCancel->SetCaption(L"Abbrechen");
  BtnCancel->SetCancel(true);
  BtnCancel->SetModalResult(mrCancel);

  OnKeyPress = [this](TObject* sender, wchar_t& key) { FormKeyPress(sender, key); };

  // The table after the controls: it translates them by name.
  siLang = NewComponent<TsiLang>(this, L"siLang");
  siLang->SetLangTags({L"de-DE", L"en-US", L"ru-RU"});
  siLang->SetTable(std::span<const TsiRow>(kTable));
  if (DmLangQel) siLang->SetLangDispatcher(DmLangQel->LangDisp);
  DoCreate();
}

TFrmQueryValue::~TFrmQueryValue() { DestroyComponents(); }

// ---- window steps ----

int TFrmQueryValue::MeasureTextHeight(const std::wstring& text, const TFontDesc& font, int width) const {
  const int dpi = Dpi();
  TWindowDc dc(nullptr);  // the screen's
  const TSharedFont shared = SharedFont(font, dpi);
  TSelectObject select(dc.Get(), shared->Get());
  RECT r{0, 0, width > 0 ? ScaleToDpi(width, dpi) - 1 : 0, 0};
  UINT format = DT_CALCRECT | DT_NOPREFIX | DT_NOCLIP;
  if (width > 0) format |= DT_WORDBREAK;
  ::DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r, format);
  // Design pixels that hold the text whole.
  return (static_cast<int>(r.bottom - r.top) * 96 + dpi - 1) / dpi;
}

void TFrmQueryValue::SetPrompt(const std::wstring& caption) {
  FPad = LblCaption->Left();
  LblCaption->SetCaption(caption);
  LblCaption->SetHeight(MeasureTextHeight(caption, LblCaption->Font(), ClientWidth() - 2 * FPad) + FPad);
}

int TFrmQueryValue::DesignSpacingUnit() const { return std::max(1, UnscaleFromDpi(SpacingUnit(nullptr), ControlPPI(nullptr))); }

int TFrmQueryValue::CaptionBottom() const { return LblCaption->Margins().Top + LblCaption->Height(); }

void TFrmQueryValue::EndClientAt(int bottom) { SetClientHeight(bottom + PnlBottom->Height()); }

void TFrmQueryValue::UpdateCheckedCount() {
  LblCheckedItems->SetCaption(std::to_wstring(LstCheckbox->CheckedCount()) + L" / " +
                              std::to_wstring(LstCheckbox->Items().Count()));
}

void TFrmQueryValue::ShowExplanation() {
  const int index = LstOption->ItemIndex();
  LblDetails->SetCaption(index >= 0 && index < static_cast<int>(FExplainedItems.size())
                             ? FExplainedItems[static_cast<size_t>(index)].Explanation
                             : std::wstring());
}

bool TFrmQueryValue::ValidateInput() {
  switch (FKind) {
    case qkDateRange:
      // The frame says what is wrong; the dialog stays open with everything as the user left it.
      return FraDateRange->CheckControls();
    case qkDateTime:
      if (ChkDateTime->Visible() && !ChkDateTime->Checked()) return true;
      if (EdtTime->IsCorrect()) return true;
      // A time that does not read as one would otherwise become midnight without a word.
      MsgBox3(StrErroneous, FormatPlaceholder(StrDataNotTime, EdtTime->Text()), L"", MB_ICONEXCLAMATION, this);
      if (EdtTime->CanFocus()) EdtTime->SetFocus();
      return false;
    default:
      return true;
  }
}

void TFrmQueryValue::SetAllChecks(bool checked, bool keepGrayedAndDisabled) {
  // Headers are titles without a box: they are never counted as checked.
  for (int i = 0; i < LstCheckbox->Items().Count(); ++i) {
    if (LstCheckbox->Header(i)) continue;
    if (keepGrayedAndDisabled && (LstCheckbox->State(i) == cbGrayed || !LstCheckbox->ItemEnabled(i))) continue;
    LstCheckbox->SetChecked(i, checked);
  }
  UpdateCheckedCount();
}

// ---- handlers ----

void TFrmQueryValue::BtnOKClick(TObject*) { SetModalResult(ValidateInput() ? mrOk : mrNone); }

void TFrmQueryValue::FormKeyPress(TObject*, wchar_t& key) {
  if (key == 27) {
    SetModalResult(mrCancel);
    key = 0;
  }
}

void TFrmQueryValue::LstOptionClick(TObject*) { ShowExplanation(); }

void TFrmQueryValue::LstOptionDblClick(TObject*) {
  if (LstOption->ItemIndex() >= 0) BtnOKClick(BtnOK);
}

void TFrmQueryValue::LstCheckboxClickCheck(TObject*) { UpdateCheckedCount(); }

// The list toggles the entry itself on a double click; the count follows.
void TFrmQueryValue::LstCheckboxDblClick(TObject*) { UpdateCheckedCount(); }

void TFrmQueryValue::BtnCheckAllClick(TObject*) { SetAllChecks(true, true); }

void TFrmQueryValue::BtnCheckNoneClick(TObject*) { SetAllChecks(false, true); }

void TFrmQueryValue::MnuCheckListSelectAllClick(TObject*) { SetAllChecks(true, false); }

void TFrmQueryValue::MnuCheckListUnselectAllClick(TObject*) { SetAllChecks(false, false); }

void TFrmQueryValue::ChkDateTimeClick(TObject*) {
  const bool present = ChkDateTime->Checked();
  DtpDate->SetEnabled(present);
  EdtTime->SetEnabled(present);
}

// ---- the queries ----

bool TFrmQueryValue::QueryInteger(const std::wstring& caption, std::int32_t& value, bool positiveOnly) {
  auto form = NewQueryForm(nullptr);
  form->SetPrompt(caption);
  TVormIntEdit* edit = form->EdtInteger;
  edit->SetBounds(form->FPad, form->CaptionBottom(), edit->Width(), edit->Height());
  edit->SetNegativeAllowed(!positiveOnly);
  edit->SetAsInteger(value);
  edit->SetVisible(true);
  form->EndClientAt(edit->Top() + edit->Height());
  form->SetActiveControl(edit);
  form->OnShow = [edit](TObject*) { edit->SelectAll(); };
  if (form->ShowModal() != mrOk) return false;
  value = edit->AsInteger();
  return true;
}

namespace {

// The decimal queries share everything but the value's type.
template <class TValue, class TRead, class TWrite>
bool QueryDecimal(const std::wstring& caption, TValue& value, int decimals, bool positiveOnly, TWrite write,
                  TRead read) {
  auto form = NewQueryForm(nullptr);
  form->LblCaption->SetCaption(caption);
  TVormDecimalEdit* edit = form->EdtDecimal;
  edit->SetBounds(form->Shape->Left(), form->Shape->Top(), edit->Width(), edit->Height());
  edit->SetNegativeAllowed(!positiveOnly);
  edit->SetDecimals(decimals);
  write(*edit, value);
  edit->SetVisible(true);
  form->SetClientHeight(edit->Top() + edit->Height() + form->PnlBottom->Height());
  form->SetActiveControl(edit);
  form->OnShow = [edit](TObject*) { edit->SelectAll(); };
  if (form->ShowModal() != mrOk) return false;
  value = read(*edit);
  return true;
}

}  // namespace

bool TFrmQueryValue::QueryCurrency(const std::wstring& caption, TCurrency& value, int decimals, bool positiveOnly) {
  return QueryDecimal(
      caption, value, decimals, positiveOnly, [](TVormDecimalEdit& e, const TCurrency& v) { e.SetAsCurrency(v); },
      [](const TVormDecimalEdit& e) { return e.AsCurrency(); });
}

bool TFrmQueryValue::QueryFloat(const std::wstring& caption, double& value, int decimals, bool positiveOnly) {
  return QueryDecimal(
      caption, value, decimals, positiveOnly, [](TVormDecimalEdit& e, double v) { e.SetAsFloat(v); },
      [](const TVormDecimalEdit& e) { return e.AsFloat(); });
}

bool TFrmQueryValue::QueryBoolean(const std::wstring& caption, bool& value) {
  auto form = NewQueryForm(nullptr);
  form->LblCaption->SetVisible(false);
  form->ChkBoolean->SetCaption(caption);
  form->ChkBoolean->SetChecked(value);
  form->ChkBoolean->SetVisible(true);
  const TMargins& m = form->ChkBoolean->Margins();
  form->EndClientAt(m.Top + form->ChkBoolean->Height());
  form->SetActiveControl(form->ChkBoolean);
  if (form->ShowModal() != mrOk) return false;
  value = form->ChkBoolean->Checked();
  return true;
}

namespace {

bool QueryLine(TFrmQueryValue& form, int maxLength, std::wstring& value, bool password, int left, int top) {
  TEdit* edit = form.EdtText;
  // Each character of a password shows as a small "o".
  if (password) edit->SetPasswordChar(L'o');
  edit->SetBounds(left, top, edit->Width(), edit->Height());
  edit->SetMaxLength(maxLength);
  edit->SetText(value);
  edit->SetVisible(true);
  form.SetClientHeight(edit->Top() + edit->Height() + form.PnlBottom->Height());
  form.SetActiveControl(edit);
  form.OnShow = [edit](TObject*) { edit->SelectAll(); };
  if (form.ShowModal() != mrOk) return false;
  value = edit->Text();
  return true;
}

}  // namespace

bool TFrmQueryValue::QueryText(const std::wstring& caption, int maxLength, std::wstring& value) {
  auto form = NewQueryForm(nullptr);
  form->SetPrompt(caption);
  return QueryLine(*form, maxLength, value, false, form->FPad, form->CaptionBottom());
}

bool TFrmQueryValue::QueryPassword(const std::wstring& caption, int maxLength, std::wstring& value) {
  auto form = NewQueryForm(nullptr);
  form->LblCaption->SetCaption(caption);
  return QueryLine(*form, maxLength, value, true, form->Shape->Left(), form->Shape->Top());
}

bool TFrmQueryValue::QueryMultilineText(const std::wstring& caption, std::wstring& value, TForm* ownerForm) {
  auto form = NewQueryForm(ownerForm);
  form->LblCaption->SetCaption(caption);
  const int u = form->DesignSpacingUnit();
  const int lines = std::clamp(CountLines(NormalizeLineBreaks(value)), kMinMemoLines, kMaxMemoLines);
  const int lineHeight = std::max(form->MeasureTextHeight(L"Ägy", form->Font(), 0), 3 * u);
  TMemo* memo = form->MmoText;
  memo->Lines().SetText(NormalizeLineBreaks(value));
  memo->SetVisible(true);
  form->HandleNeeded();
  // The memo's client area holds the lines; its frame and scroll bar come on top.
  const int frame = memo->Height() - memo->ClientHeight();
  memo->SetHeight(u + lines * lineHeight + frame);
  form->SetClientHeight(form->CaptionBottom() + form->LblCaption->Margins().Bottom + memo->Height() +
                        form->PnlBottom->Height());
  form->SetActiveControl(memo);
  form->OnShow = [memo](TObject*) { ScrollMemoToEnd(memo); };
  if (form->ShowModal() != mrOk) return false;
  value = memo->Text();
  return true;
}

bool TFrmQueryValue::QueryOption(const std::wstring& caption, const std::wstring& options, bool mustSelect, int& index,
                                 TForm* ownerForm) {
  TStringList lines;
  lines.SetText(options);
  if (mustSelect) {
    if (lines.Count() == 0) return false;
    index = std::clamp(index, 0, lines.Count() - 1);
  }
  return QueryList(caption, lines, index, ownerForm, false);
}

bool TFrmQueryValue::QueryList(const std::wstring& caption, const std::wstring& options, int& index,
                               TForm* ownerForm, bool dawio) {
  TStringList lines;
  lines.SetText(options);
  return QueryList(caption, lines, index, ownerForm, dawio);
}

bool TFrmQueryValue::QueryList(const std::wstring& caption, const TStrings& options, int& index, TForm* ownerForm,
                               bool dawio) {
  const int count = options.Count();
  if (count == 0) return false;
  if (dawio && count == 1) {
    index = 0;
    return true;
  }
  auto form = NewQueryForm(ownerForm);
  const int p = form->LblCaption->Left();
  form->LblCaption->SetCaption(caption);
  TListBox* list = form->LstOption;
  list->Items().Assign(options);
  list->SetItemIndex(index >= 0 && index < count ? index : 0);
  list->SetHeight(list->HeightForRows(std::min(count, kMaxListRows)));
  list->SetVisible(true);
  form->HandleNeeded();
  const TMonitor monitor = Screen().MonitorFromWindow(form->Handle());
  const int monitorWidth = form->Unscale(monitor.WorkArea.right - monitor.WorkArea.left);
  const int width = std::min(std::max(form->PnlButtons->Width(), ListWidth(list)) + 2 * p, monitorWidth - 2 * p);
  form->SetClientWidth(width);
  const int captionHeight = form->MeasureTextHeight(caption, form->LblCaption->Font(), width - 2 * p);
  form->LblCaption->SetHeight(captionHeight);
  form->SetClientHeight(2 * p + captionHeight + list->Height() + form->PnlBottom->Height());
  list->SetAlign(alClient);
  form->SetActiveControl(list);
  if (form->ShowModal() != mrOk) return false;
  index = list->ItemIndex();
  return true;
}

bool TFrmQueryValue::QueryExplainedList(const std::wstring& caption, const TExplainedItems& items, int& index,
                                        bool dawio) {
  if (items.empty()) {
    index = -1;
    return false;
  }
  if (dawio && items.size() == 1) {
    index = 0;
    return true;
  }
  auto form = NewQueryForm(nullptr);
  form->FExplainedItems = items;
  form->LblCaption->SetCaption(caption);
  TListBox* list = form->LstOption;
  const int count = static_cast<int>(items.size());
  for (const TExplainedItem& item : items) list->Items().Add(item.Item);
  list->SetItemIndex(index >= 0 && index < count ? index : 0);
  list->SetHeight(list->HeightForRows(std::min(count, kMaxListRows)));
  list->SetVisible(true);
  int details = 0;
  for (const TExplainedItem& item : items)
    details = std::max(details, form->MeasureTextHeight(item.Explanation, form->LblDetails->Font(), form->LblDetails->Width()));
  const int u = form->DesignSpacingUnit();
  const int listBottom = form->CaptionBottom() + form->LblCaption->Margins().Bottom + list->Height();
  form->SetClientHeight((details > 0 ? u + details + u : 0) + listBottom + form->PnlBottom->Height());
  form->LblDetails->SetHeight(details + u);
  form->LblDetails->SetVisible(details > 0);
  form->ShowExplanation();
  form->SetActiveControl(list);
  if (form->ShowModal() != mrOk) return false;
  index = list->ItemIndex();
  return true;
}

bool TFrmQueryValue::QueryExplainedList(const std::wstring& caption, const std::vector<TObjectEntry>& options,
                                        const TStrings& details, TObject*& value, bool dawio) {
  if (options.empty()) return false;
  if (dawio && options.size() == 1) {
    value = options.front().Object;
    return true;
  }
  const size_t count = std::max(options.size(), static_cast<size_t>(details.Count()));
  TExplainedItems items(count);
  int index = -1;
  for (size_t i = 0; i < count; ++i) {
    if (i < options.size()) {
      items[i].Item = options[i].Text;
      items[i].Data = static_cast<std::int32_t>(i);
      if (options[i].Object == value) index = static_cast<int>(i);
    }
    if (i < static_cast<size_t>(details.Count())) items[i].Explanation = details.Get(static_cast<int>(i));
  }
  if (!QueryExplainedList(caption, items, index, false)) return false;
  // Entries without an object of their own (more explanations than entries) give none.
  value = index >= 0 && static_cast<size_t>(index) < options.size() ? options[static_cast<size_t>(index)].Object
                                                                     : nullptr;
  return true;
}

bool TFrmQueryValue::QueryCheckboxList(const std::wstring& caption, TCheckBoxEntryList& options) {
  if (options.Items.empty()) return false;
  auto form = NewQueryForm(nullptr);
  form->LblCaption->SetCaption(caption);
  TCheckListBox* list = form->LstCheckbox;
  list->SetVisible(true);
  form->PnlCheckAllNone->SetVisible(true);
  std::vector<size_t> source;  // the entry of each list item
  for (size_t i = 0; i < options.Items.size(); ++i) {
    const TCheckBoxListEntry& entry = options.Items[i];
    if (!entry.IsVisible) continue;
    const int item = list->Items().Add(entry.Text);
    list->SetChecked(item, entry.IsChecked);
    list->SetHeader(item, entry.IsHeader);
    source.push_back(i);
  }
  if (source.empty()) return false;
  const int count = static_cast<int>(source.size());
  list->SetItemIndex(0);
  form->PnlCheckAllNone->SetVisible(count > 1);
  form->UpdateCheckedCount();
  list->SetHeight(list->HeightForRows(std::min(count, kMaxListRows)));
  // The stack of caption, list and footer follows from their alignment, in this order.
  const int listBottom = form->CaptionBottom() + form->LblCaption->Margins().Bottom + list->Height();
  form->SetClientHeight(listBottom + (count > 1 ? form->PnlCheckAllNone->Height() : 0) + form->PnlBottom->Height());
  form->SetActiveControl(list);
  if (form->ShowModal() != mrOk) return false;
  for (int item = 0; item < count; ++item)
    options.Items[source[static_cast<size_t>(item)]].IsChecked = list->Checked(item);
  return true;
}

bool TFrmQueryValue::QueryDate(const std::wstring& caption, double& value, bool mayEmpty) {
  auto form = NewQueryForm(nullptr);
  form->LblCaption->SetCaption(caption);
  TVormDateTimePicker* picker = form->DtpDate;
  picker->SetShowCheckbox(mayEmpty);
  picker->SetTop(form->Shape->Top());
  if (!mayEmpty) picker->SetLeft(form->Shape->Left());
  picker->SetDateTimeZ(value);
  picker->SetVisible(true);
  form->SetClientHeight(picker->Top() + picker->Height() + form->PnlBottom->Height());
  form->SetActiveControl(picker);
  if (form->ShowModal() != mrOk) return false;
  // Whole days; 0 when the picker's box was unticked.
  value = picker->DateTimeZ();
  return true;
}

bool TFrmQueryValue::QueryDateTime(const std::wstring& caption, double& value, bool mayEmpty, bool querySeconds) {
  auto form = NewQueryForm(nullptr);
  form->FKind = qkDateTime;
  form->LblCaption->SetCaption(caption);
  TVormDateTimePicker* picker = form->DtpDate;
  TVormTimeEdit* time = form->EdtTime;
  const int top = form->Shape->Top();
  picker->SetTop(top);
  time->SetTop(top);
  time->SetTimeFormat(querySeconds ? tfHHNNSS : tfHHNN);
  if (mayEmpty) {
    form->ChkDateTime->SetTop(top + (picker->Height() - form->ChkDateTime->Height()) / 2);
    form->ChkDateTime->SetChecked(value != 0);
    form->ChkDateTime->SetVisible(true);
  } else {
    picker->SetLeft(form->Shape->Left());
    time->SetLeft(picker->Left() + picker->Width() + 8);
  }
  const double shown = value != 0 ? value : Now();
  picker->SetDateTimeZ(shown);
  time->SetTime(shown);
  picker->SetVisible(true);
  time->SetVisible(true);
  if (mayEmpty) form->ChkDateTimeClick(form->ChkDateTime);
  form->SetClientHeight(top + std::max(picker->Height(), time->Height()) + form->PnlBottom->Height());
  form->SetActiveControl(mayEmpty ? static_cast<TControl*>(form->ChkDateTime) : picker);
  if (form->ShowModal() != mrOk) return false;
  if (mayEmpty && !form->ChkDateTime->Checked())
    value = 0;
  else
    value = ComposeDateTime(std::floor(picker->DateTime()), time->Time());
  return true;
}

bool TFrmQueryValue::QueryDateRange(const std::wstring& caption, TDateRange& dateRange, TSettings* settings,
                                    const std::wstring& settingsEntry) {
  dateRange.Clear();
  auto form = NewQueryForm(nullptr);
  form->FKind = qkDateRange;
  form->LblCaption->SetCaption(caption);
  TFraDateRange* frame = form->FraDateRange;
  frame->SetBounds(form->Shape->Left(), form->Shape->Top(), frame->Width(), frame->Height());
  frame->SetVisible(true);
  frame->Initialize(settings, settingsEntry);
  form->SetClientHeight(frame->Top() + frame->Height() + form->PnlBottom->Height());
  form->SetActiveControl(FirstFocusableControl(frame->Tsh[frame->ActivePage()]));
  if (form->ShowModal() != mrOk) return false;
  dateRange = frame->GetValues(true);
  return true;
}
