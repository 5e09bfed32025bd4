#include "net/Udp.h"

#include "base/Strings.h"

#include <chrono>
#include <cstring>

namespace {

// Room for the largest datagram, so none is cut short or refused as too long.
constexpr int kRecvBufferSize = 65536;

std::wstring AddressText(const sockaddr_in& address) { return IpToStr(address.sin_addr.s_addr); }
std::wstring PortText(const sockaddr_in& address) { return std::to_wstring(ntohs(address.sin_port)); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// TUdpClient

TUdpClient::TUdpClient(std::unique_ptr<TLogger> logger)
    : TWinSocket(std::move(logger)), FRecvBuffer(std::make_unique_for_overwrite<char[]>(kRecvBufferSize)) {
  SetSocket(OpenSocket());
}

SOCKET TUdpClient::OpenSocket() noexcept { return ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP); }

void TUdpClient::ReopenSocket() {
  SetSocket(INVALID_SOCKET);  // the old one goes first, so its port is free for the new one
  SetSocket(OpenSocket());
}

void TUdpClient::SetSockAddr(std::uint32_t address, int port) noexcept {
  std::memset(&FSockAddr, 0, sizeof FSockAddr);
  FSockAddr.sin_family = AF_INET;
  FSockAddr.sin_port = htons(static_cast<u_short>(port & 0xFFFF));
  FSockAddr.sin_addr.s_addr = address;
  FSAL = sizeof FSockAddr;
}

void TUdpClient::SendTo(const sockaddr_in& address, const std::string& data, int flags) {
  ::sendto(Socket(), data.data(), static_cast<int>(data.size()), flags, reinterpret_cast<const sockaddr*>(&address),
           sizeof address);
}

void TUdpClient::SendDatagram(const std::wstring& peer, int port, const std::string& datagram) {
  // A peer that is neither a dotted address nor a name that resolves would otherwise go to
  // 255.255.255.255, a broadcast nobody asked for. That address given as such is sent as given
  // (the system refuses it unless broadcasts were switched on).
  std::uint32_t address;
  if (!LookUpHost(peer, address)) return;
  SetSockAddr(address, port);
  SendTo(FSockAddr, datagram, MSG_DONTROUTE);
  Log(L"Send Datagram to " + AddressText(FSockAddr) + L":" + PortText(FSockAddr), ltAction);
  LogData(datagram.data(), static_cast<int>(datagram.size()), ltSend);
}

void TUdpClient::SendBroadcast(int port, const std::string& datagram) {
  SetSockAddr(INADDR_BROADCAST, port);
  // Stays on for the life of the socket.
  int permit = -1;
  ::setsockopt(Socket(), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&permit), sizeof permit);
  SendTo(FSockAddr, datagram, MSG_DONTROUTE);
  Log(L"UDP Broadcast", ltAction);
  LogData(datagram.data(), static_cast<int>(datagram.size()), ltSend);
}

bool TUdpClient::ReceiveOne(std::string& datagram) {
  FSAL = sizeof FSockAddr;
  int received = ::recvfrom(Socket(), FRecvBuffer.get(), kRecvBufferSize, 0, reinterpret_cast<sockaddr*>(&FSockAddr),
                            &FSAL);
  // An empty datagram and a failed receive both come back empty; failures raise nothing.
  if (received <= 0) {
    datagram.clear();
    return received == 0 || ::WSAGetLastError() != WSAEWOULDBLOCK;
  }
  datagram.assign(FRecvBuffer.get(), static_cast<size_t>(received));
  // The message is made only for a logger: a flood pays nothing for it otherwise.
  if (Logger()) {
    Log(L"Received data from " + AddressText(FSockAddr) + L":" + PortText(FSockAddr), ltInfo);
    LogData(datagram.data(), received, ltReceive);
  }
  return true;
}

std::string TUdpClient::RecvDatagram() {
  std::string datagram;
  ReceiveOne(datagram);
  return datagram;
}

int TUdpClient::DatagramWaiting() {
  if (!DataAvailable(0)) return -1;
  u_long waiting = 0;
  ::ioctlsocket(Socket(), FIONREAD, &waiting);
  return static_cast<int>(waiting);
}

std::wstring TUdpClient::LastPeer() const { return AddressText(FSockAddr); }

void TUdpClient::Connect(const std::wstring& connectString) {
  size_t firstComma = connectString.find(L',');
  FPeer = connectString.substr(0, firstComma);
  FPort = 0;
  if (firstComma != std::wstring::npos) {
    size_t secondComma = connectString.find(L',', firstComma + 1);
    size_t length = secondComma == std::wstring::npos ? std::wstring::npos : secondComma - firstComma - 1;
    FPort = StrToIntDef(std::wstring_view(connectString).substr(firstComma + 1, length), 0);
  }
  SetConnected(true);
}

void TUdpClient::Disconnect() { SetConnected(false); }

void TUdpClient::Send(const void* buffer, int length) {
  std::string datagram;
  if (buffer && length > 0) datagram.assign(static_cast<const char*>(buffer), static_cast<size_t>(length));
  SendDatagram(FPeer, FPort, datagram);
}

void TUdpClient::Recv(std::string& buffer) { buffer = RecvDatagram(); }
int TUdpClient::InQueue() { return DatagramWaiting(); }
int TUdpClient::OutQueue() { return 0; }
// Datagrams are not discarded, and the line buffer is kept.
void TUdpClient::FlushInQueue() {}
void TUdpClient::FlushOutQueue() {}

// ---------------------------------------------------------------------------------------------
// TUdpServer

TUdpServer::TUdpServer(std::unique_ptr<TLogger> logger, int port) : TUdpClient(std::move(logger)) {
  SetReceiveBuffer();
  SetPort(port);
}

void TUdpServer::SetReceiveBuffer() noexcept {
  // Not checked: the system may grant less, and a smaller buffer still works.
  int size = kReceiveBufferSize;
  ::setsockopt(Socket(), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&size), sizeof size);
}

void TUdpServer::SetPort(int value) {
  if (FPort != 0) {
    ReopenSocket();
    SetReceiveBuffer();
  }
  FPort = value;
  Log(FPort != 0 ? L"Bind to Port " + std::to_wstring(FPort) : std::wstring(L"Bind to a port"), ltAction);
  SetSockAddr(INADDR_ANY, FPort);
  sockaddr_in& local = SockAddr();
  if (::bind(Socket(), reinterpret_cast<const sockaddr*>(&local), sizeof local) == SOCKET_ERROR) {
    int error = ::WSAGetLastError();
    FPort = 0;
    HandleError(error);
    return;
  }
  if (FPort == 0) {
    int length = sizeof local;
    if (::getsockname(Socket(), reinterpret_cast<sockaddr*>(&local), &length) == SOCKET_ERROR) {
      HandleError(::WSAGetLastError());
      return;
    }
    FPort = ntohs(local.sin_port);
    Log(L"Port No. is " + std::to_wstring(FPort), ltInfo);
  }
}

void TUdpServer::Dispatch(const std::string& datagram) {
  // The reply goes to this sender even if the handler sends elsewhere meanwhile.
  const sockaddr_in sender = SockAddr();
  FILETIME now;
  ::GetSystemTimePreciseAsFileTime(&now);
  FOrigin.Sender = sender;
  FOrigin.ReceivedAt = (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
  std::string reply = HandleDatagram(datagram);
  if (!reply.empty()) {
    SendTo(sender, reply, 0);
    Log(L"Sent Data to " + AddressText(sender), ltAction);
    LogData(reply.data(), static_cast<int>(reply.size()), ltSend);
  }
}

void TUdpServer::Poll(std::uint32_t timeoutMsec) {
  while (DataAvailable(timeoutMsec)) Dispatch(RecvDatagram());
}

namespace {

// Switches a socket to non-blocking mode for one scope.
class TNonBlockingScope {
public:
  explicit TNonBlockingScope(SOCKET socket) noexcept : FSocket(socket) { SetMode(1); }
  TNonBlockingScope(const TNonBlockingScope&) = delete;
  TNonBlockingScope& operator=(const TNonBlockingScope&) = delete;
  ~TNonBlockingScope() {
    if (FSocket != INVALID_SOCKET) SetMode(0);
  }
  // The socket was replaced: there is nothing to switch back.
  void Forget() noexcept { FSocket = INVALID_SOCKET; }

private:
  void SetMode(u_long nonBlocking) noexcept { ::ioctlsocket(FSocket, FIONBIO, &nonBlocking); }
  SOCKET FSocket;
};

}  // namespace

bool TUdpServer::Poll(std::uint32_t timeoutMsec, std::uint32_t budgetMsec) {
  using TClock = std::chrono::steady_clock;
  const TClock::time_point end = TClock::now() + std::chrono::milliseconds(budgetMsec);
  std::string datagram;
  while (DataAvailable(timeoutMsec)) {
    const unsigned generation = SocketGeneration();
    TNonBlockingScope drain(Socket());
    while (ReceiveOne(datagram)) {
      Dispatch(datagram);
      if (TClock::now() >= end) return true;
      // A handler that rebound the server left a new, blocking socket: wait on it again first.
      if (SocketGeneration() != generation) {
        drain.Forget();
        break;
      }
    }
  }
  return false;
}

std::string TUdpServer::HandleDatagram(const std::string&) { throw EAbstractError(); }
