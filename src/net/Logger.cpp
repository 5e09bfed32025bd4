#include "net/Logger.h"

#include "base/DateTime.h"
#include "base/Locale.h"
#include "base/Strings.h"

#include <cmath>

namespace {

constexpr double kMSecsPerDay = 86400000.0;

// "YYYY-MM-DD", "HH:NN:SS" and ".ZZZ" of T; the colons are the locale's time separator.
struct TStampParts {
  std::wstring Date, Time, MSec;
};

TStampParts StampParts(double t) {
  const wchar_t sep = LocaleSnapshot().TimeSeparator;
  SYSTEMTIME st;
  if (!DateTimeToSystemTime(t, st))  // outside the system's years: the general formatter
    return {FormatDateTime(L"yyyy-mm-dd", t), FormatDateTime(L"hh:nn:ss", t), FormatDateTime(L".zzz", t)};
  // By hand: a stamp is made for every line, and the general formatter parses its pattern each time.
  return {IntToStrZeroPad(st.wYear, 4) + L'-' + IntToStrZeroPad(st.wMonth, 2) + L'-' + IntToStrZeroPad(st.wDay, 2),
          IntToStrZeroPad(st.wHour, 2) + sep + IntToStrZeroPad(st.wMinute, 2) + sep + IntToStrZeroPad(st.wSecond, 2),
          L'.' + IntToStrZeroPad(st.wMilliseconds, 3)};
}

// The time from Last to T, 12 characters wide, leading zero fields blanked: "      01.500" for
// 1.5 seconds. Hours go on counting past a day (a day and an hour read 25:00:00.000). Blank
// before the first line, for no time and when the clock was set back.
std::wstring DurationText(double t, double last) {
  const std::wstring blank(12, L' ');
  const double days = t - last;
  if (last == 0 || !(days >= 0) || days > 1e8) return blank;
  const std::int64_t ms = std::llround(days * kMSecsPerDay);
  const wchar_t sep = LocaleSnapshot().TimeSeparator;
  std::wstring d = IntToStrZeroPad(ms / 3600000, 2) + sep + IntToStrZeroPad(ms / 60000 % 60, 2) + sep +
                   IntToStrZeroPad(ms / 1000 % 60, 2) + L'.' + IntToStrZeroPad(ms % 1000, 3);
  const std::wstring zeroField = std::wstring(L"00") + sep;
  if (d.starts_with(zeroField)) d.replace(0, 3, 3, L' ');
  if (d.compare(3, 3, zeroField) == 0 && d.starts_with(L"   ")) d.replace(0, 6, 6, L' ');
  if (d.starts_with(L"      00")) d.replace(0, 8, 8, L' ');
  if (d == L"        .000") d = blank;
  return d;
}

// " 01000001  41   65  A": binary, hexadecimal, decimal and the byte itself (control bytes by name).
std::wstring BinDumpLine(unsigned char b) {
  std::wstring line = L" " + IntToBin(b, 8, 0) + L"  " + BytesToHex(std::string(1, static_cast<char>(b))) + L"  " +
                      PadLeft(std::to_wstring(b), 3) + L"  ";
  if (b < 32)
    line += L'<' + std::wstring(ControlCharNames[b]) + L'>';
  else if (b == 32)
    line += L"<SPACE>";
  else
    line += static_cast<wchar_t>(b);  // Latin-1 reading
  return line;
}

}  // namespace

void TLogger::Log(const std::wstring& text, TLogType logType) {
  if (!Passes(logType)) return;
  // A blank line carries no stamp and does not count as a logged line.
  if (logType == ltInfo && text.empty()) {
    OutputLine(std::wstring(), ltInfo);
    return;
  }
  OutputStamped(text, logType);
}

std::wstring TLogger::Stamp(double time) const {
  std::wstring stamp;
  auto add = [&stamp](const std::wstring& part) {
    if (!stamp.empty()) stamp += L' ';
    stamp += part;
  };
  const bool withDate = FLogDateOptions.Contains(ldDate);
  const bool withTime = FLogDateOptions.Contains(ldTime) || FLogDateOptions.Contains(ldTimeMillisec);
  if (withDate || withTime) {
    TStampParts parts = StampParts(time);
    if (withDate) add(parts.Date);
    if (withTime) add(FLogDateOptions.Contains(ldTimeMillisec) ? parts.Time + parts.MSec : parts.Time);
  }
  if (FLogDateOptions.Contains(ldDuration)) add(DurationText(time, FLastLog));
  return stamp;
}

std::wstring TLogger::StampText(const std::wstring& text) {
  // One reading of the clock per line: the duration of the next line is measured from the
  // time this line shows.
  const double now = CurrentTime();
  std::wstring stamp = FLogDateOptions.Empty() ? std::wstring() : Stamp(now);
  FLastLog = now;
  if (stamp.empty()) return text;
  stamp += L": ";
  return HangingIndent(stamp, text);
}

void TLogger::LogData(const void* data, int dataLength, TLogType logType) {
  if (!data || dataLength <= 0 || FLogDataFormat == lfNone || !Passes(logType)) return;
  const auto* bytes = static_cast<const unsigned char*>(data);
  switch (FLogDataFormat) {
    case lfText: {
      std::wstring line;
      for (int i = 0; i < dataLength; ++i) {
        const unsigned char b = bytes[i];
        if (b < 32) {
          line += L'^';
          line += static_cast<wchar_t>(b + 64);  // CR is ^M, LF ^J
        } else {
          line += static_cast<wchar_t>(b);  // Latin-1 reading
        }
        if (b == 10 || line.size() > 100) {
          OutputStamped(line, logType);
          line.clear();
        }
      }
      if (!line.empty()) OutputStamped(line, logType);
      break;
    }
    case lfHexdump4:
    case lfHexDump8:
    case lfHexDump16: {
      const int bytesPerRow = FLogDataFormat == lfHexdump4 ? 4 : FLogDataFormat == lfHexDump8 ? 8 : 16;
      ForEachHexDumpRow(data, dataLength, bytesPerRow, L" ",
                        [this, logType](const std::wstring& row) { OutputStamped(row, logType); });
      break;
    }
    case lfBinDump1:
      for (int i = 0; i < dataLength; ++i) OutputStamped(BinDumpLine(bytes[i]), logType);
      break;
    default:  // lfNone, or a value outside the formats
      break;
  }
}

void TLogger::ClearLog() {}

void TLogger::Separator() { Log(std::wstring(77, L'-'), ltInfo); }

double TLogger::CurrentTime() const { return Now(); }
