#pragma once
// The language module: the program's language list (German, English), the language dispatcher
// that every translated window links to, and the library's translatable texts. Library code
// reads the program-wide text variables below (StrCopyToClipboard ...) instead of literal
// texts; the numbered texts (IDS_29 ...) are fetched from DmLangQel->siLang by id.
#include "lang/SiLang.h"
#include "toolkit/DataModule.h"

#include <cstdint>
#include <span>
#include <string>

// One entry of the language list.
struct TLanguageInfo {
  const wchar_t* NameGerman;
  const wchar_t* NameEnglish;
  const wchar_t* NativeName;
  const wchar_t* Tag;
  int PrimaryLangId;  // the Windows primary and sub-language ids
  int SubLangId;
};
// Index 0 is language 1: German ("de-DE", 7/1), then English ("en-US", 9/1).
std::span<const TLanguageInfo> LanguageList();

class TDmLangQel : public TDataModule {
public:
  explicit TDmLangQel(TComponent* owner);
  ~TDmLangQel() override;

  TsiLang* siLang = nullptr;              // the module's table: dialog captions and strings
  TsiLangDispatcher* LangDisp = nullptr;  // the dispatcher of every library dialog

  // Every text variable := its string in the active language, or the German one when that is empty.
  void UpdateStrings();
  // 1 or 2 for a language tag: the language of that tag, else of its language part ("de" of
  // "de-AT"), else English.
  static int LanguageIndex(const std::wstring& langTag);
  // 1 or 2 for the user's locale (refreshes the text variables first).
  int LocaleLanguage();
  // The same rule for a Windows language id (German and English of any region get their
  // language, every other locale English).
  static int LocaleLanguageOf(std::uint16_t langId);
  // The tag of the dispatcher's active language; empty when the index is out of range.
  std::wstring CurLanguageTag() const;

  // An application's own second dispatcher, kept in step with the external translation file.
  TsiLangDispatcher* AppLangDisp() const noexcept { return FAppLangDisp; }
  void SetAppLangDisp(TsiLangDispatcher* d);
  // The external translation file (format: lang/SiLang.h). Set to a file that exists and can be
  // read, it loads into every table linked to LangDisp (and to AppLangDisp) now and into every
  // table that links later; anything else leaves it empty and loads nothing.
  const std::wstring& ExternalSilFile() const noexcept { return FExternalSilFile; }
  void SetExternalSilFile(const std::wstring& path);

  // LangDisp's link event: a table that links gets the external file's texts.
  void LangDispLinkToDispatcher(TObject* sender, TsiLang* linked);

private:
  void DatamoduleCreate(TObject* sender);
  void siLangChangeLanguage(TObject* sender);

  TsiLangDispatcher* FAppLangDisp = nullptr;
  std::wstring FExternalSilFile;
};

// The program-wide instance: created when the unit starts, freed when it stops.
extern TDmLangQel* DmLangQel;
void DmLangStart();
void DmLangStop();

// The module's table (DmLangTable.cpp): its dialog captions and all of its strings.
std::span<const TsiRow> DmLangTableRows();

// The 349 named strings of the module's table, each mirrored in a program-wide text variable of
// the same name (the German text after start, empty after stop).
#define TAVRINO_LANG_STRINGS(X) \
  X(CDialogTypeCaption_Copy) \
  X(CDialogTypeCaption_Edit) \
  X(CDialogTypeCaption_New) \
  X(CDialogTypeCaption_View) \
  X(StrActive) \
  X(StrActivePlural) \
  X(StrAdd) \
  X(StrAllItems) \
  X(StrApos) \
  X(StrAttrDataType_BigMemo) \
  X(StrAttrDataType_Boolean) \
  X(StrAttrDataType_Combobox) \
  X(StrAttrDataType_Date) \
  X(StrAttrDataType_DateTime) \
  X(StrAttrDataType_Decimal) \
  X(StrAttrDataType_Headline) \
  X(StrAttrDataType_Integer) \
  X(StrAttrDataType_Memo) \
  X(StrAttrDataType_None) \
  X(StrAttrDataType_Selection) \
  X(StrAttrDataType_String) \
  X(StrAttrDataType_Time) \
  X(StrBackslash) \
  X(StrBlobEmbed) \
  X(StrBlobEmbedded) \
  X(StrBlobFolderLink) \
  X(StrBlobFolderLinked) \
  X(StrBlobLink) \
  X(StrBlobLinked) \
  X(StrBlobLinkFile) \
  X(StrBlobLoadFrom) \
  X(StrBlobUrlLink) \
  X(StrBlobUrlLinked) \
  X(StrBrowse) \
  X(StrCancel) \
  X(StrCancelled) \
  X(StrCause) \
  X(StrClose) \
  X(StrColon) \
  X(StrColumn) \
  X(StrComma) \
  X(StrZevrikSupportUrl) \
  X(StrContinue) \
  X(StrCopy) \
  X(StrCopyNoun) \
  X(StrCount) \
  X(StrCpkTypeBoth) \
  X(StrCpkTypeNever) \
  X(StrCpkTypeToLtl) \
  X(StrCpkTypeToUtl) \
  X(StrDash) \
  X(StrDatafiles_All) \
  X(StrDatafiles_AllGraphic) \
  X(StrDatafiles_BMP) \
  X(StrDatafiles_Clipboard) \
  X(StrDatafiles_CSV) \
  X(StrDatafiles_Excel) \
  X(StrDatafiles_HTML) \
  X(StrDatafiles_IniFile) \
  X(StrDatafiles_JPEG) \
  X(StrDatafiles_Json) \
  X(StrDatafiles_Logfile) \
  X(StrDatafiles_Misc) \
  X(StrDatafiles_PDF) \
  X(StrDatafiles_PNG) \
  X(StrDatafiles_Text) \
  X(StrDatafiles_TIFF) \
  X(StrDatafiles_WAV) \
  X(StrDatafiles_Word) \
  X(StrDatafiles_Zip) \
  X(StrDataMaxLength) \
  X(StrDataMinLength) \
  X(StrDataMissing) \
  X(StrDataNotBoolean) \
  X(StrDataNotDate) \
  X(StrDataNotDateTime) \
  X(StrDataNotFloat) \
  X(StrDataNotFound) \
  X(StrDataNotInteger) \
  X(StrDataNotSingleLine) \
  X(StrDataNotTime) \
  X(StrDataTooEarly) \
  X(StrDataTooLarge) \
  X(StrDataTooLate) \
  X(StrDataTooLong) \
  X(StrDataTooShort) \
  X(StrDataTooSmall) \
  X(StrDatatype_BMP) \
  X(StrDataType_Clipboard) \
  X(StrDatatype_CSV) \
  X(StrDatatype_Excel) \
  X(StrDatatype_ExcelFile) \
  X(StrDatatype_HTML) \
  X(StrDatatype_JPEG) \
  X(StrDatatype_PDF) \
  X(StrDatatype_PNG) \
  X(StrDatatype_Text) \
  X(StrDatatype_TIFF) \
  X(StrDatatype_WAV) \
  X(StrDatatype_Word) \
  X(StrDatatype_Zip) \
  X(StrDataUnknown) \
  X(StrDataWrongFormat) \
  X(StrDate) \
  X(StrDay) \
  X(StrDays) \
  X(StrDbBackupTooOld) \
  X(StrDbBackupTooOldHead) \
  X(StrDeactivated) \
  X(StrDeactivatedPlural) \
  X(StrDefault) \
  X(StrDelete) \
  X(StrDescription) \
  X(StrDirDoesNotExist) \
  X(StrDirMissing) \
  X(StrDnrCdRom) \
  X(StrDnrDbNameEmpty) \
  X(StrDnrFileNoExist) \
  X(StrDnrOK) \
  X(StrDnrRemoteDrive) \
  X(StrDnrUncPath) \
  X(StrDnrUnknownDrive) \
  X(StrDocument) \
  X(StrDocuments) \
  X(StrDoScan) \
  X(StrDot) \
  X(StrEdit) \
  X(StrEmpty) \
  X(StrErroneous) \
  X(StrError) \
  X(StrEvalTimeRange) \
  X(StrExcelDirtyTerm) \
  X(StrExcelNotPresent) \
  X(StrExcelWbAlreadyOpen) \
  X(StrExcelWbNoAssign) \
  X(StrExcelWbNoSave) \
  X(StrExcelWbNotAssigned) \
  X(StrExcelWbWriteProt) \
  X(StrException) \
  X(StrExlamationMark) \
  X(StrExport) \
  X(StrExportFile) \
  X(StrExportType) \
  X(StrFieldType) \
  X(StrFile) \
  X(StrFileDoesNotExist) \
  X(StrFileMissing) \
  X(StrFilename) \
  X(StrFileNotFound) \
  X(StrFolder) \
  X(StrFolderNotFound) \
  X(StrFriday) \
  X(StrFriday_Short) \
  X(StrFrom) \
  X(StrGrandTotal) \
  X(StrHint) \
  X(StrHour) \
  X(StrHours) \
  X(StrHourShort) \
  X(StrHoursShort) \
  X(StrHyphen) \
  X(StrIdentifier) \
  X(StrIgnore) \
  X(StrImport) \
  X(StrImportFile) \
  X(StrImportType) \
  X(StrInactive) \
  X(StrInactivePlural) \
  X(StrInfo) \
  X(StrInherited) \
  X(StrKW) \
  X(StrLanguage) \
  X(StrLanguageCode) \
  X(StrLanguages) \
  X(StrLegend) \
  X(StrLink) \
  X(StrLocked) \
  X(StrLockedPlural) \
  X(StrLog) \
  X(StrMiddleDot) \
  X(StrMilliSecond) \
  X(StrMilliSeconds) \
  X(StrMinute) \
  X(StrMinutes) \
  X(StrMinuteShort) \
  X(StrMonday) \
  X(StrMonday_Short) \
  X(StrMonth) \
  X(StrMonths) \
  X(StrMonthShort_1) \
  X(StrMonthShort_10) \
  X(StrMonthShort_11) \
  X(StrMonthShort_12) \
  X(StrMonthShort_2) \
  X(StrMonthShort_3) \
  X(StrMonthShort_4) \
  X(StrMonthShort_5) \
  X(StrMonthShort_6) \
  X(StrMonthShort_7) \
  X(StrMonthShort_8) \
  X(StrMonthShort_9) \
  X(StrMonth_1) \
  X(StrMonth_10) \
  X(StrMonth_11) \
  X(StrMonth_12) \
  X(StrMonth_2) \
  X(StrMonth_3) \
  X(StrMonth_4) \
  X(StrMonth_5) \
  X(StrMonth_6) \
  X(StrMonth_7) \
  X(StrMonth_8) \
  X(StrMonth_9) \
  X(StrName) \
  X(StrNew) \
  X(StrNo) \
  X(StrNoItemsFound) \
  X(StrNone) \
  X(StrNotes) \
  X(StrOk) \
  X(StrOptional) \
  X(StrPage) \
  X(StrPassword) \
  X(StrPerson) \
  X(StrPosition) \
  X(StrPrintoutHasNoPages) \
  X(StrPwdRule_MinDigits) \
  X(StrPwdRule_MinLength) \
  X(StrPwdRule_MinLetters) \
  X(StrPwdRule_MinLowercase) \
  X(StrPwdRule_MinSymbols) \
  X(StrPwdRule_MinUppercase) \
  X(StrPwdViolation_IllegalChars) \
  X(StrPwdViolation_MinDigits) \
  X(StrPwdViolation_MinLength) \
  X(StrPwdViolation_MinLetters) \
  X(StrPwdViolation_MinLowercaseLetters) \
  X(StrPwdViolation_MinSymbols) \
  X(StrPwdViolation_MinUppercaseLetters) \
  X(StrQgGridGroupByBoxCaption) \
  X(StrQgGridNoDataInfoText) \
  X(StrQuarter) \
  X(StrQuarters) \
  X(StrQuestionMark) \
  X(StrQuote) \
  X(StrReason) \
  X(StrRefresh) \
  X(StrRemarks) \
  X(StrRemoteSupport) \
  X(StrRemove) \
  X(StrRepeat) \
  X(StrReplace) \
  X(StrRequired) \
  X(StrRequiredField) \
  X(StrResult) \
  X(StrResults) \
  X(StrRow) \
  X(StrSaturday) \
  X(StrSaturday_Short) \
  X(StrScan) \
  X(StrSecond) \
  X(StrSeconds) \
  X(StrSecondShort) \
  X(StrSemicolon) \
  X(StrSignature) \
  X(StrSlash) \
  X(StrSpace) \
  X(strStrDecimals) \
  X(strStrDecs) \
  X(strStrLength) \
  X(StrSubTotal) \
  X(StrSuccess) \
  X(StrSuccessful) \
  X(StrSum) \
  X(StrSunday) \
  X(StrSunday_Short) \
  X(StrThursday) \
  X(StrThursday_Short) \
  X(StrTime) \
  X(StrTimeRange) \
  X(StrTimeRange_Centuries) \
  X(StrTimeRange_Century) \
  X(StrTimeRange_Day) \
  X(StrTimeRange_Days) \
  X(StrTimeRange_Decade) \
  X(StrTimeRange_Decades) \
  X(StrTimeRange_Month) \
  X(StrTimeRange_Months) \
  X(StrTimeRange_Quarter) \
  X(StrTimeRange_Quarters) \
  X(StrTimeRange_Week) \
  X(StrTimeRange_Weeks) \
  X(StrTimeRange_Year) \
  X(StrTimeRange_Years) \
  X(StrTo) \
  X(StrToday) \
  X(StrTomorrow) \
  X(StrTuesday) \
  X(StrTuesday_Short) \
  X(StrUpdate) \
  X(StrUser) \
  X(StrUserName) \
  X(StrUsers) \
  X(StrVersion) \
  X(StrView) \
  X(StrWarning) \
  X(StrWednesday) \
  X(StrWednesday_Short) \
  X(StrWeek) \
  X(StrWeeks) \
  X(StrXofY) \
  X(StrYear) \
  X(StrYears) \
  X(StrYes) \
  X(StrYesterday) \
  X(StrTemplate) \
  X(StrPath) \
  X(StrSetting) \
  X(StrSettings) \
  X(StrTzStandard) \
  X(StrTzDst) \
  X(StrDatafiles_SqlFile) \
  X(StrDatatype_SQL) \
  X(StrDatafiles_XmlFile) \
  X(StrDatatype_XML) \
  X(StrDatafiles_ExeFile) \
  X(StrDatatype_Exe) \
  X(StrDatafiles_FdbFile) \
  X(StrDatafiles_FbkFile) \
  X(StrMailSender) \
  X(StrMailRecipient) \
  X(StrMailRecipients) \
  X(StrMailSubject) \
  X(StrMailMessage) \
  X(StrMailAttachment) \
  X(StrMailAttachments) \
  X(StrZusatzfeld) \
  X(StrRows) \
  X(StrColumns) \
  X(StrCopyToClipboard) \
  X(StrPasteFromClipboard) \
  X(StrPaste) \
  X(StrDatafiles_EMF) \
  X(StrDatafiles_SVG) \
  X(StrDatatype_EMF) \
  X(StrDatatype_SVG) \
  X(StrYouGotNoRights) \
  X(StrDatafiles_Licence) \
  X(StrDnrQuotedFilename)

#define TAVRINO_DECLARE_LANG_STRING(name) extern std::wstring name;
TAVRINO_LANG_STRINGS(TAVRINO_DECLARE_LANG_STRING)
#undef TAVRINO_DECLARE_LANG_STRING

// A named string's id and its variable.
struct TLangStringVar {
  const wchar_t* Id;
  std::wstring* Variable;
};
std::span<const TLangStringVar> LangStringVariables();
