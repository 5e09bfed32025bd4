#pragma once
// The traffic logger a channel can carry: the channel hands it event texts and the bytes it
// sends and receives; a concrete logger decides how they are shown or stored.
#include "base/Sets.h"

#include <cstdint>
#include <string>

// Classifies every text and every block of bytes a channel hands to its logger.
enum TLogType : std::uint8_t { ltInfo, ltSend, ltReceive, ltError, ltAction, ltStatus, ltProgress, ltWarning };
using TLogTypes = TSet<TLogType, 8>;

class TLogger {
public:
  TLogger() = default;
  TLogger(const TLogger&) = delete;
  TLogger& operator=(const TLogger&) = delete;
  virtual ~TLogger() = default;

  virtual void Log(const std::wstring& Text, TLogType LogType) = 0;
  virtual void LogData(const void* Data, int DataLength, TLogType LogType) = 0;
};
