// Levels as senders write them: level words (whole, any case, near the start) and syslog
// priority prefixes.
#include "app/LogLevels.h"

#include "support/TestSupport.h"

#include <string>

namespace {

struct TLevelCase {
  const char* name;
  std::wstring line;
  TLogLevel level;
};

class LogLevels : public ::testing::TestWithParam<TLevelCase> {};

TEST_P(LogLevels, LevelOfLine) { EXPECT_EQ(LevelOf(GetParam().line), GetParam().level); }

INSTANTIATE_TEST_SUITE_P(
    Words, LogLevels,
    ::testing::Values(TLevelCase{"Plain", L"server started on port 8080", lvNormal},
                      TLevelCase{"Empty", L"", lvNormal},
                      TLevelCase{"ErrorUpper", L"2026-12-11 14:03:07 ERROR disk full", lvError},
                      TLevelCase{"ErrorBracketsLower", L"[error] disk full", lvError},
                      TLevelCase{"Fatal", L"Fatal: out of cheese", lvError},
                      TLevelCase{"Critical", L"level=CRITICAL msg=x", lvError},
                      TLevelCase{"Fehler", L"Fehler beim Öffnen", lvError},
                      TLevelCase{"Warn", L"W/WARN: low memory", lvWarning},
                      TLevelCase{"Warning", L"warning: unused", lvWarning},
                      TLevelCase{"Warnung", L"WARNUNG Platte fast voll", lvWarning},
                      TLevelCase{"Debug", L"debug value=3", lvDebug},
                      TLevelCase{"Trace", L"<trace> enter", lvDebug},
                      TLevelCase{"FirstWordWins", L"DEBUG retry after error", lvDebug},
                      // Words inside other words, or joined to letters, digits or underscores.
                      TLevelCase{"Plural", L"0 errors, 2 warnings", lvNormal},
                      TLevelCase{"Prefixed", L"NoError returned", lvNormal},
                      TLevelCase{"Underscore", L"error_count=0", lvNormal},
                      TLevelCase{"Digits", L"ERROR2 is a code name", lvNormal},
                      TLevelCase{"Umlaut", L"FEHLERÄNDERUNG", lvNormal},
                      TLevelCase{"Debugger", L"debugger attached", lvNormal},
                      // Only the first 80 characters count; a word cut there does not.
                      TLevelCase{"EndsAtCharacter80", std::wstring(74, L'x') + L" ERROR", lvError},
                      TLevelCase{"Beyond80", std::wstring(80, L'x') + L" ERROR", lvNormal},
                      TLevelCase{"CutAt80", std::wstring(76, L' ') + L"ERRORS", lvNormal}),
    TCaseName());

INSTANTIATE_TEST_SUITE_P(
    Syslog, LogLevels,
    ::testing::Values(TLevelCase{"Emergency", L"<0>kernel panic", lvError},
                      TLevelCase{"Error", L"<11>disk", lvError},           // user.err
                      TLevelCase{"Warning", L"<12>disk", lvWarning},       // user.warning
                      TLevelCase{"Notice", L"<13>disk", lvNormal},
                      TLevelCase{"Info", L"<14>disk", lvNormal},
                      TLevelCase{"Debug", L"<15>disk", lvDebug},
                      TLevelCase{"Highest", L"<191>local7.debug", lvDebug},
                      TLevelCase{"PriorityBeatsWords", L"<14>ERROR in the text", lvNormal},
                      // Bad prefixes are text: their words still count.
                      TLevelCase{"TooLarge", L"<192>ERROR", lvError},
                      TLevelCase{"LeadingZero", L"<011>x", lvNormal},
                      TLevelCase{"NoDigits", L"<>x", lvNormal},
                      TLevelCase{"Unclosed", L"<11 x", lvNormal},
                      TLevelCase{"FourDigits", L"<1000>x", lvNormal},
                      TLevelCase{"NotAtStart", L" <11>x", lvNormal},
                      TLevelCase{"Letters", L"<warn>x", lvWarning}),
    TCaseName());

}  // namespace
