// The traffic logger: what a stamped line costs, against the bare sendto of the datagram it
// logs. Every row handles 100,000 lines or datagrams; the logger's output only counts them.
#include "base/Handle.h"
#include "bench/micro/MicroBench.h"
#include "net/Logger.h"
#include "net/Udp.h"

#include <memory>
#include <string>

namespace {

constexpr int kLines = 100000;
const std::string kDatagram(100, 'x');

class TCountingLogger : public TLogger {
public:
  std::int64_t Chars = 0;
  void OutputLine(const std::wstring& Line, TLogType) override { Chars += static_cast<std::int64_t>(Line.size()); }
};

std::unique_ptr<TCountingLogger> StampingLogger(TLogDataFormat format) {
  auto logger = std::make_unique<TCountingLogger>();
  logger->SetLogDateOptions({ldDate, ldTimeMillisec, ldDuration});
  logger->SetLogDataFormat(format);
  return logger;
}

// A bound socket nobody reads: datagrams beyond its buffer are dropped, the sends still count.
struct TSink {
  TSocketHandle Socket{::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP)};
  sockaddr_in Address{};
  TSink() {
    Address.sin_family = AF_INET;
    Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(Socket.Get(), reinterpret_cast<const sockaddr*>(&Address), sizeof Address);
    int length = sizeof Address;
    ::getsockname(Socket.Get(), reinterpret_cast<sockaddr*>(&Address), &length);
  }
  int Port() const { return ntohs(Address.sin_port); }
};

TSink& Sink() {
  static TSink sink;
  return sink;
}

}  // namespace

MICRO_BENCH("Logger 100000 lines, date+ms+duration stamp") {
  auto logger = StampingLogger(lfText);
  for (int i = 0; i < kLines; ++i) logger->Log(L"Send Datagram to 127.0.0.1:6702", ltAction);
  KeepResult(logger->Chars);
  return kLines;
}

MICRO_BENCH("Logger 100000 lines, no stamp") {
  TCountingLogger logger;
  for (int i = 0; i < kLines; ++i) logger.Log(L"Send Datagram to 127.0.0.1:6702", ltAction);
  KeepResult(logger.Chars);
  return kLines;
}

MICRO_BENCH("Logger 100000 stamped text lines of 100 bytes") {
  auto logger = StampingLogger(lfText);
  for (int i = 0; i < kLines; ++i) logger->LogData(kDatagram.data(), static_cast<int>(kDatagram.size()), ltSend);
  KeepResult(logger->Chars);
  return kLines;
}

MICRO_BENCH("sendto 100000 x 100 bytes, bare (baseline)") {
  static TSocketHandle sender(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  const sockaddr_in target = Sink().Address;
  for (int i = 0; i < kLines; ++i)
    ::sendto(sender.Get(), kDatagram.data(), static_cast<int>(kDatagram.size()), 0,
             reinterpret_cast<const sockaddr*>(&target), sizeof target);
  return kLines;
}

MICRO_BENCH("SendDatagram 100000 x 100 bytes, no logger") {
  static TUdpClient client;
  for (int i = 0; i < kLines; ++i) client.SendDatagram(L"127.0.0.1", Sink().Port(), kDatagram);
  return kLines;
}

MICRO_BENCH("SendDatagram 100000 x 100 bytes, stamped logger") {
  static TUdpClient client(StampingLogger(lfText));
  for (int i = 0; i < kLines; ++i) client.SendDatagram(L"127.0.0.1", Sink().Port(), kDatagram);
  return kLines;
}
