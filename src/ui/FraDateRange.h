#pragma once
// The date range frame: a span of time chosen by calendar weeks, months, quarters, years or
// dates, turned into a half-open range (start inclusive, end exclusive) with two display
// texts. The frame remembers the user's last choice in a settings store.
#include "base/DateTime.h"
#include "toolkit/Containers.h"

#include <cstdint>
#include <string>

class TButton;
class TDateTimePicker;
class TLabel;
class TPageControl;
class TSettings;
class TsiLang;
class TTabSheet;
class TVormIntEdit;

class TFraDateRange : public TFrame {
public:
  explicit TFraDateRange(TComponent* owner);
  ~TFraDateRange() override;

  // The pages, in tab order.
  enum TPage : std::uint8_t { dpWeek, dpMonth, dpQuarter, dpYear, dpDate };
  static constexpr int kPageCount = 5;
  // The key of each page in the stored choice.
  static const wchar_t* KindKey(int page);

  // Follows the active language, takes the store (AppSettings when none) and the entry of the
  // stored choice (the frame's own entry in the store's form section when empty), and shows
  // that choice, or the first-use values when nothing is stored.
  void Initialize(TSettings* settings, const std::wstring& entry);
  // The range of the active page; stores the choice when SaveSettings. Never fails: fields out
  // of their ranges are counted on (month 13 is January of the next year, an empty field is 0).
  void GetValues(double& fromDt, double& toDt, std::wstring& fromDtStr, std::wstring& toDtStr, bool saveSettings);
  TDateRange GetValues(bool saveSettings);
  // Checks the active page; the first problem is shown in a message box, its field gets the
  // focus, and the result is false.
  bool CheckControls();
  // Focuses the first field of the active page.
  void FocusFirstControl();

  int ActivePage() const;
  void SetActivePage(int page);
  // The stored choice as GetValues(true) writes it.
  std::wstring SettingsText() const;
  // Shows a stored choice (any text).
  void ApplySettingsText(const std::wstring& value);
  // The first-use values: the week page, from 1/2000 to now.
  void ApplyDefaults();
  const std::wstring& Entry() const noexcept { return FEntry; }
  TSettings* Settings() const noexcept { return FSettings; }
  int MinYear() const noexcept { return FMinYear; }
  int MaxYear() const noexcept { return FMaxYear; }

  // One "from" or "to" row of a page.
  struct TRow {
    TLabel* LblRow = nullptr;        // "Von" / "Bis"
    TVormIntEdit* EdtNumber = nullptr;  // week, month or quarter (none on the year and date pages)
    TVormIntEdit* EdtYear = nullptr;    // none on the date page
    TDateTimePicker* DtpDate = nullptr;  // the date page only
    TButton* BtnInc = nullptr;
    TButton* BtnDec = nullptr;
    TButton* BtnCurrent = nullptr;
  };

  TPageControl* PgcRange;
  TTabSheet* Tsh[kPageCount];
  TRow Rows[kPageCount][2];  // [page][0 from, 1 to]
  TsiLang* siLang;
  // The date pattern of the date page's texts (the locale's short date pattern).
  std::wstring DateFormat;

private:
  void BuildPage(int page);
  TButton* NewButton(TTabSheet* sheet, const std::wstring& name, int left, int top, int width,
                     const std::wstring& caption);
  void StepClick(int page, int row, int delta);
  void CurrentClick(int page, int row);
  // The "from" or "to" date of the date page, whole days.
  double PickerDate(int row) const;
  void SetPickerDate(int row, double date);
  // Reports a failed check and focuses the field.
  bool Fail(const std::wstring& message, TVormIntEdit* field);
  bool CheckYears(int page);
  std::wstring Text(const wchar_t* id) const;

  TSettings* FSettings = nullptr;
  std::wstring FEntry;
  std::int32_t FMinYear = 1980;
  std::int32_t FMaxYear = 2099;
};
