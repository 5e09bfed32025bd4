// Receiving datagrams on loopback: the UDP server's poll loop against plain Winsock receive
// loops on a socket with the same receive buffer. Each run sends a burst of 1000 datagrams of
// 100 bytes and then receives all of them, so the rows differ only in how they receive.
#include "base/Handle.h"
#include "bench/micro/MicroBench.h"
#include "net/Udp.h"

#include <string>

namespace {

constexpr int kBurst = 1000;
const std::string kDatagram(100, 'x');

class TCountingServer : public TUdpServer {
public:
  TCountingServer() : TUdpServer(nullptr, 0) {}
  std::int64_t Handled = 0;
  std::string HandleDatagram(const std::string& Datagram) override {
    Handled += Datagram.empty() ? 0 : 1;
    return {};
  }
};

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

int BoundPort(SOCKET s) {
  sockaddr_in local{};
  int length = sizeof local;
  ::getsockname(s, reinterpret_cast<sockaddr*>(&local), &length);
  return ntohs(local.sin_port);
}

// A plain socket bound to loopback with the server's receive buffer.
TSocketHandle PlainReceiver() {
  TSocketHandle s(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  int size = TUdpServer::kReceiveBufferSize;
  ::setsockopt(s.Get(), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&size), sizeof size);
  sockaddr_in local = Loopback(0);
  ::bind(s.Get(), reinterpret_cast<const sockaddr*>(&local), sizeof local);
  return s;
}

void SendBurst(int port) {
  static TSocketHandle sender(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  sockaddr_in target = Loopback(port);
  for (int i = 0; i < kBurst; ++i)
    ::sendto(sender.Get(), kDatagram.data(), static_cast<int>(kDatagram.size()), 0,
             reinterpret_cast<const sockaddr*>(&target), sizeof target);
}

}  // namespace

MICRO_BENCH("UDP 1000 via non-blocking recv (send + drain)") {
  static TSocketHandle sink = PlainReceiver();
  SendBurst(BoundPort(sink.Get()));
  // Drains without waiting: the cheapest receive Winsock offers.
  char buffer[256];
  u_long nonBlocking = 1;
  ::ioctlsocket(sink.Get(), FIONBIO, &nonBlocking);
  while (::recv(sink.Get(), buffer, sizeof buffer, 0) > 0) {
  }
  return kBurst;
}

MICRO_BENCH("UDP 1000 via TUdpServer::Poll(0, 200)") {
  static TCountingServer server;
  server.Handled = 0;
  SendBurst(server.Port());
  int idleRounds = 0;
  while (server.Handled < kBurst && idleRounds < 1000)
    if (!server.Poll(0, 200)) {
      ++idleRounds;
      ::Sleep(1);
    }
  return server.Handled;
}

MICRO_BENCH("UDP 1000 via select(0) + recvfrom (baseline)") {
  static TSocketHandle receiver = PlainReceiver();
  SendBurst(BoundPort(receiver.Get()));
  char buffer[65536];
  std::int64_t received = 0;
  for (int idleRounds = 0; received < kBurst && idleRounds < 1000;) {
    fd_set readSet;
    FD_ZERO(&readSet);
    FD_SET(receiver.Get(), &readSet);
    timeval zero{};
    if (::select(0, &readSet, nullptr, nullptr, &zero) == 1) {
      sockaddr_in from{};
      int fromLength = sizeof from;
      if (::recvfrom(receiver.Get(), buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLength) > 0)
        ++received;
    } else {
      ++idleRounds;
      ::Sleep(1);
    }
  }
  return received;
}

MICRO_BENCH("UDP 1000 via blocking recvfrom (baseline)") {
  static TSocketHandle receiver = PlainReceiver();
  SendBurst(BoundPort(receiver.Get()));
  char buffer[65536];
  for (int i = 0; i < kBurst; ++i) {
    sockaddr_in from{};
    int fromLength = sizeof from;
    ::recvfrom(receiver.Get(), buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
  }
  return kBurst;
}
