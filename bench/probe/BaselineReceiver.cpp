// The bare receive loop of Tavrino's pattern, as the receive benchmark's baseline: a UDP
// socket with an 8 MiB receive buffer request in blocking mode, polled by a 200 ms timer;
// each tick receives while select (timeout 0) says readable. After every tick it prints
// "<unix-time-ms> <datagrams-received-so-far>".
//   BaselineReceiver <port>
#include "base/Handle.h"
#include "base/Win.h"
#include "bench/probe/ProbeClock.h"

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

constexpr int ReceiveBufferRequest = 8 * 1024 * 1024;
constexpr UINT PollIntervalMs = 200;

bool Readable(SOCKET s) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  timeval zero{0, 0};
  return ::select(0, &set, nullptr, nullptr, &zero) > 0;
}

class TWinsock {
public:
  TWinsock() { FOk = ::WSAStartup(MAKEWORD(2, 2), &FData) == 0; }
  TWinsock(const TWinsock&) = delete;
  TWinsock& operator=(const TWinsock&) = delete;
  ~TWinsock() {
    if (FOk) ::WSACleanup();
  }
  bool Ok() const noexcept { return FOk; }

private:
  WSADATA FData{};
  bool FOk = false;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int port = argc > 1 ? _wtoi(argv[1]) : 0;
  if (port <= 0 || port > 65535) {
    std::fprintf(stderr, "usage: BaselineReceiver <port>\n");
    return 1;
  }
  TWinsock winsock;
  if (!winsock.Ok()) {
    std::fprintf(stderr, "WSAStartup failed\n");
    return 2;
  }
  TSocketHandle sock(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  if (!sock) {
    std::fprintf(stderr, "socket failed: %d\n", ::WSAGetLastError());
    return 2;
  }
  int size = ReceiveBufferRequest;
  ::setsockopt(sock.Get(), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&size),
               sizeof size);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = ::htons(static_cast<u_short>(port));
  addr.sin_addr.s_addr = INADDR_ANY;
  if (::bind(sock.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    std::fprintf(stderr, "bind to port %d failed: %d\n", port, ::WSAGetLastError());
    return 3;
  }

  std::vector<char> buffer(65536);
  long long count = 0;
  ::SetTimer(nullptr, 0, PollIntervalMs, nullptr);
  std::printf("%lld %lld\n", UnixTimeMs(), count);  // bound: ready to receive
  std::fflush(stdout);
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message != WM_TIMER) continue;
    while (Readable(sock.Get())) {
      sockaddr_in from{};
      int fromLen = sizeof from;
      ::recvfrom(sock.Get(), buffer.data(), static_cast<int>(buffer.size()), 0,
                 reinterpret_cast<sockaddr*>(&from), &fromLen);
      ++count;
    }
    // Nobody reads any more (the orchestrator is gone): end instead of receiving for ever.
    if (std::printf("%lld %lld\n", UnixTimeMs(), count) < 0 || std::fflush(stdout) != 0) break;
  }
  return 0;
}
