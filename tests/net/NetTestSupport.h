#pragma once
// Helpers of the networking tests: a logger that records what a channel hands it, and a
// plain Winsock socket on the loopback interface that plays the other side.
#include "base/Handle.h"
#include "base/Unicode.h"
#include "base/Win.h"
#include "net/Logger.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <typeinfo>
#include <vector>

struct TLogEntry {
  std::wstring Text;  // for Log (the line it outputs)
  std::string Data;   // for LogData
  TLogType LogType;
  bool IsData;

  bool operator==(const TLogEntry&) const = default;
};

inline TLogEntry TextEntry(std::wstring text, TLogType type) { return {std::move(text), {}, type, false}; }
inline TLogEntry DataEntry(std::string data, TLogType type) { return {{}, std::move(data), type, true}; }

inline void PrintTo(const TLogEntry& e, std::ostream* os) {
  *os << (e.IsData ? "data[" + std::to_string(e.Data.size()) + "]" : "text \"" + TextToUtf8(e.Text) + "\"")
      << " type " << static_cast<int>(e.LogType);
}

// What the logger saw; it outlives the logger, which the channel owns and frees.
struct TLogRecord {
  std::vector<TLogEntry> Entries;
  bool LoggerFreed = false;

  std::vector<std::wstring> Texts() const {
    std::vector<std::wstring> texts;
    for (const TLogEntry& e : Entries)
      if (!e.IsData) texts.push_back(e.Text);
    return texts;
  }
};

class TRecordingLogger : public TLogger {
public:
  explicit TRecordingLogger(std::shared_ptr<TLogRecord> record) : FRecord(std::move(record)) {}
  ~TRecordingLogger() override { FRecord->LoggerFreed = true; }

  // Without stamp options a text reaches OutputLine unchanged; bytes are recorded as they come.
  void OutputLine(const std::wstring& line, TLogType logType) override {
    FRecord->Entries.push_back(TextEntry(line, logType));
  }
  void LogData(const void* data, int dataLength, TLogType logType) override {
    FRecord->Entries.push_back(
        DataEntry(dataLength > 0 ? std::string(static_cast<const char*>(data), static_cast<size_t>(dataLength)) : "",
                  logType));
  }

private:
  std::shared_ptr<TLogRecord> FRecord;
};

inline std::unique_ptr<TLogger> RecordingLogger(const std::shared_ptr<TLogRecord>& record) {
  return std::make_unique<TRecordingLogger>(record);
}

// Calls HandleError(code). With a message: expects exactly E carrying it, logged as an error
// first. Without: expects neither an exception nor a log entry.
template <class E, class TChannelType>
void CheckHandleError(TChannelType& channel, const TLogRecord& record, std::int32_t code, const wchar_t* message) {
  if (!message) {
    EXPECT_NO_THROW(channel.HandleError(code));
    EXPECT_TRUE(record.Entries.empty());
    return;
  }
  try {
    channel.HandleError(code);
    ADD_FAILURE() << "no exception";
  } catch (const EChannelError& e) {
    EXPECT_EQ(typeid(e), typeid(E));
    EXPECT_EQ(e.Message(), message);
  }
  EXPECT_EQ(record.Entries, std::vector<TLogEntry>{TextEntry(message, ltError)});
}

inline std::uint32_t LoopbackAddress() { return htonl(INADDR_LOOPBACK); }

// The local port a socket is bound to; 0 when it is not bound.
inline int LocalPort(SOCKET s) {
  sockaddr_in local{};
  int length = sizeof local;
  if (::getsockname(s, reinterpret_cast<sockaddr*>(&local), &length) != 0) return 0;
  return ntohs(local.sin_port);
}

inline int ReceiveBufferSize(SOCKET s) {
  int size = 0;
  int length = sizeof size;
  ::getsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<char*>(&size), &length);
  return size;
}

// Sockets this process has open, found by asking every small handle value for its socket
// type. Windows and Wine hand out socket handles as small multiples of 4. (Wine's
// GetProcessHandleCount reports 0, so counting handles cannot show a leaked socket there.)
inline int OpenSocketCount() {
  int count = 0;
  for (std::uintptr_t h = 4; h < 0x10000; h += 4) {
    int type = 0;
    int length = sizeof type;
    if (::getsockopt(static_cast<SOCKET>(h), SOL_SOCKET, SO_TYPE, reinterpret_cast<char*>(&type), &length) == 0) ++count;
  }
  return count;
}

struct TReceived {
  std::string Data;
  int FromPort;
};

// A plain UDP socket bound to 127.0.0.1 on a port the system chooses.
class TLoopbackPeer {
public:
  TLoopbackPeer() : FSocket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP)) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = LoopbackAddress();
    ::bind(FSocket.Get(), reinterpret_cast<const sockaddr*>(&local), sizeof local);
    FPort = LocalPort(FSocket.Get());
  }

  int Port() const { return FPort; }
  SOCKET Socket() const { return FSocket.Get(); }

  // True when the whole datagram went out.
  bool SendTo(int port, const std::string& data) const {
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(static_cast<u_short>(port));
    target.sin_addr.s_addr = LoopbackAddress();
    int sent = ::sendto(FSocket.Get(), data.data(), static_cast<int>(data.size()), 0,
                        reinterpret_cast<const sockaddr*>(&target), sizeof target);
    return sent == static_cast<int>(data.size());
  }

  // Waits up to timeoutMsec for one datagram; nothing when none came.
  std::optional<TReceived> Receive(std::uint32_t timeoutMsec) const {
    fd_set readSet;
    FD_ZERO(&readSet);
    FD_SET(FSocket.Get(), &readSet);
    timeval timeout{static_cast<long>(timeoutMsec / 1000), static_cast<long>(timeoutMsec % 1000 * 1000)};
    if (::select(0, &readSet, nullptr, nullptr, &timeout) != 1) return std::nullopt;
    std::string buffer(65536, '\0');
    sockaddr_in from{};
    int fromLength = sizeof from;
    int received = ::recvfrom(FSocket.Get(), buffer.data(), static_cast<int>(buffer.size()), 0,
                              reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (received < 0) return std::nullopt;
    buffer.resize(static_cast<size_t>(received));
    return TReceived{std::move(buffer), ntohs(from.sin_port)};
  }

private:
  TSocketHandle FSocket;
  int FPort = 0;
};

// Generous limit for a wait that ends as soon as the datagram is there.
constexpr std::uint32_t kArrivalLimitMsec = 10000;
