#pragma once
// The traffic logger a channel can carry: the channel hands it event texts and the bytes it
// sends and receives; the logger filters them by log type, stamps them, renders bytes as text or
// dumps and passes every finished line to OutputLine, which a concrete logger implements.
#include "base/LinkList.h"
#include "base/Sets.h"

#include <cstdint>
#include <string>

// Classifies every text and every block of bytes a channel hands to its logger.
enum TLogType : std::uint8_t { ltInfo, ltSend, ltReceive, ltError, ltAction, ltStatus, ltProgress, ltWarning };
using TLogTypes = TSet<TLogType, 8>;

// How LogData renders bytes.
enum TLogDataFormat : std::uint8_t { lfNone, lfText, lfHexdump4, lfHexDump8, lfHexDump16, lfBinDump1 };

// What the stamp in front of each line holds.
enum TLogDateOption : std::uint8_t { ldDate, ldTime, ldTimeMillisec, ldDuration };
using TLogDateOptions = TSet<TLogDateOption, 4>;

// A logger is a list node, so loggers can be kept in a list.
class TLogger : public TListNode {
public:
  TLogger() = default;

  TLogTypes LogTypes() const noexcept { return FLogTypes; }
  void SetLogTypes(TLogTypes value) noexcept { FLogTypes = value; }
  bool Enabled() const noexcept { return FEnabled; }
  void SetEnabled(bool value) noexcept { FEnabled = value; }
  TLogDataFormat LogDataFormat() const noexcept { return FLogDataFormat; }
  void SetLogDataFormat(TLogDataFormat value) noexcept { FLogDataFormat = value; }
  TLogDateOptions LogDateOptions() const noexcept { return FLogDateOptions; }
  void SetLogDateOptions(TLogDateOptions value) noexcept { FLogDateOptions = value; }
  // When the last stamped line was formatted (local time); 0 before the first.
  double LastLog() const noexcept { return FLastLog; }

  // One stamped line (lines of a text with several lines go out as one, indented); an empty
  // text of type ltInfo is an empty line without stamp.
  void Log(const std::wstring& text, TLogType logType);

  // Virtual operations after SortKey, in this order.
  // Writes one finished line.
  virtual void OutputLine(const std::wstring& line, TLogType logType) = 0;
  // Renders DataLength bytes in the LogDataFormat, every line stamped on its own.
  virtual void LogData(const void* data, int dataLength, TLogType logType);
  // Nothing here; a concrete logger may empty its output.
  virtual void ClearLog();
  // A line of 77 hyphens, type ltInfo.
  virtual void Separator();

  // Text behind the stamp the date options ask for ("stamp: "); further lines of Text are
  // indented under the first. Text unchanged when no option is set. Records the time of the line.
  std::wstring StampText(const std::wstring& text);

protected:
  // The current local date and time; tests give the logger a clock of their own.
  virtual double CurrentTime() const;

private:
  bool Passes(TLogType logType) const noexcept { return FEnabled && FLogTypes.Contains(logType); }
  void OutputStamped(const std::wstring& line, TLogType logType) { OutputLine(StampText(line), logType); }
  std::wstring Stamp(double time) const;

  TLogTypes FLogTypes = TLogTypes::All();
  bool FEnabled = true;
  TLogDataFormat FLogDataFormat = lfText;
  TLogDateOptions FLogDateOptions;
  double FLastLog = 0;
};
