#pragma once
// The traffic logger a channel can carry: the channel hands it event texts and the bytes it
// sends and receives; a concrete logger decides how they are shown or stored.
#include "net/Channel.h"

#include <string>

class TLogger {
public:
  TLogger() = default;
  TLogger(const TLogger&) = delete;
  TLogger& operator=(const TLogger&) = delete;
  virtual ~TLogger() = default;

  virtual void Log(const std::wstring& Text, TLogType LogType) = 0;
  virtual void LogData(const void* Data, int DataLength, TLogType LogType) = 0;
};
