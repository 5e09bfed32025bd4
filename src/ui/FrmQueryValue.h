#pragma once
// The value query dialog: one window that asks the user for a single value of one of many
// kinds (whole or decimal number, money, yes/no, one or several lines of text, password, date,
// date and time, date range, an entry of a list, a set of entries of a check list). Every kind
// has a class-level function that creates the window, shows only the controls of its kind,
// sizes the window to them, shows it modally and copies the value back when the user confirms
// with OK; on cancel the caller's value is left as it was.
#include "base/DateTime.h"
#include "base/StringList.h"
#include "settings/Settings.h"
#include "toolkit/Forms.h"

#include <cstdint>
#include <string>
#include <vector>

class TButton;
class TCheckBox;
class TCheckListBox;
class TEdit;
class TFraDateRange;
class TLabel;
class TListBox;
class TMemo;
class TMenuItem;
class TPanel;
class TPopupMenu;
class TsiLang;
class TVormDateTimePicker;
class TVormDecimalEdit;
class TVormIntEdit;
class TVormTimeEdit;
struct TCurrency;

// An entry of the explained list: the text shown in the list, the explanation shown below it
// while the entry is selected, and a number for the caller.
struct TExplainedItem {
  std::wstring Item;
  std::wstring Explanation;
  std::int32_t Data = 0;
};
using TExplainedItems = std::vector<TExplainedItem>;

// An entry of a list that carries an object of the caller's (the explained list's string-list form).
struct TObjectEntry {
  std::wstring Text;
  TObject* Object = nullptr;
};

class TFrmQueryValue : public TForm {
public:
  explicit TFrmQueryValue(TComponent* owner);
  ~TFrmQueryValue() override;

  // ---- the queries: true only when the user confirmed with OK ----
  static bool QueryInteger(const std::wstring& caption, std::int32_t& value, bool positiveOnly);
  static bool QueryCurrency(const std::wstring& caption, TCurrency& value, int decimals, bool positiveOnly);
  static bool QueryFloat(const std::wstring& caption, double& value, int decimals, bool positiveOnly);
  static bool QueryBoolean(const std::wstring& caption, bool& value);
  static bool QueryText(const std::wstring& caption, int maxLength, std::wstring& value);
  static bool QueryPassword(const std::wstring& caption, int maxLength, std::wstring& value);
  static bool QueryMultilineText(const std::wstring& caption, std::wstring& value, TForm* ownerForm);
  // Options: one entry per line. With MustSelect an empty text gives false, and Index is
  // brought into the list first.
  static bool QueryOption(const std::wstring& caption, const std::wstring& options, bool mustSelect, int& index,
                          TForm* ownerForm);
  // Dawio: with exactly one entry the answer is that entry, without a window.
  static bool QueryList(const std::wstring& caption, const TStrings& options, int& index, TForm* ownerForm,
                        bool dawio);
  static bool QueryList(const std::wstring& caption, const std::wstring& options, int& index, TForm* ownerForm,
                        bool dawio);
  static bool QueryCheckboxList(const std::wstring& caption, TCheckBoxEntryList& options);
  // Details[i] explains Options[i]; Value is the object of the chosen entry (and chooses the
  // entry the list starts on).
  static bool QueryExplainedList(const std::wstring& caption, const std::vector<TObjectEntry>& options,
                                 const TStrings& details, TObject*& value, bool dawio);
  static bool QueryExplainedList(const std::wstring& caption, const TExplainedItems& items, int& index, bool dawio);
  // MayEmpty: the date may be left out (0).
  static bool QueryDate(const std::wstring& caption, double& value, bool mayEmpty);
  static bool QueryDateTime(const std::wstring& caption, double& value, bool mayEmpty, bool querySeconds);
  // The frame's choice is kept at SettingsEntry of Settings (AppSettings when none). On cancel
  // DateRange is cleared.
  static bool QueryDateRange(const std::wstring& caption, TDateRange& dateRange, TSettings* settings,
                             const std::wstring& settingsEntry);

  // Height of Text in Font wrapped to Width (no wrapping when Width <= 0), in design pixels of
  // the window's DPI, as drawn without prefix processing.
  int MeasureTextHeight(const std::wstring& text, const TFontDesc& font, int width) const;

  // The window's parts, in the order of its description; the window owns them.
  TLabel* LblCaption;
  TPanel* Shape;  // never shown: its left and top are where the one-line editors go
  TMemo* MmoText;
  TListBox* LstOption;
  TLabel* LblDetails;
  TCheckBox* ChkBoolean;
  TCheckListBox* LstCheckbox;
  TPanel* PnlCheckAllNone;
  TLabel* LblCheckedItems;
  TButton* BtnCheckAll;
  TButton* BtnCheckNone;
  TEdit* EdtText;
  TVormIntEdit* EdtInteger;
  TVormDecimalEdit* EdtDecimal;
  TVormDateTimePicker* DtpDate;
  TCheckBox* ChkDateTime;
  TVormTimeEdit* EdtTime;
  TFraDateRange* FraDateRange;
  TPanel* PnlBottom;
  TPanel* PnlButtons;
  TButton* BtnOK;
  TButton* BtnCancel;
  TPopupMenu* MnuCheckListBox;
  TMenuItem* MnuCheckListSelectAll;
  TMenuItem* MnuCheckListUnselectAll;
  TsiLang* siLang;

private:
  // What the window asks for; decides what OK checks.
  enum TQueryKind : std::uint8_t { qkOther, qkDateTime, qkDateRange };

  void BtnOKClick(TObject* sender);
  void FormKeyPress(TObject* sender, wchar_t& key);
  void LstOptionClick(TObject* sender);
  void LstOptionDblClick(TObject* sender);
  void LstCheckboxClickCheck(TObject* sender);
  void LstCheckboxDblClick(TObject* sender);
  void BtnCheckAllClick(TObject* sender);
  void BtnCheckNoneClick(TObject* sender);
  void MnuCheckListSelectAllClick(TObject* sender);
  void MnuCheckListUnselectAllClick(TObject* sender);
  void ChkDateTimeClick(TObject* sender);

  // The prompt, measured: the label grows to hold it.
  void SetPrompt(const std::wstring& caption);
  void UpdateCheckedCount();
  void ShowExplanation();
  // False keeps the window open: the user's entry cannot be taken as it is (and is told so).
  bool ValidateInput();
  // The bottom edge of the prompt in the stack of top-aligned controls (design pixels).
  int CaptionBottom() const;
  // The bottom panel right under the given design y.
  void EndClientAt(int bottom);
  // The spacing unit in design pixels.
  int DesignSpacingUnit() const;
  // Checks or unchecks the entries of the check list one by one; the buttons leave grayed and
  // disabled entries alone, the context menu does not.
  void SetAllChecks(bool checked, bool keepGrayedAndDisabled);

  TExplainedItems FExplainedItems;
  int FPad = 8;
  TQueryKind FKind = qkOther;
};
