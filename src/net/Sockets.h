#pragma once
// Channels on Windows Sockets: the socket channel base, address conversion, name resolution,
// the Winsock error texts, and Winsock start-up and clean-up.
#include "base/Handle.h"
#include "base/Win.h"
#include "net/Channel.h"
#include "net/Logger.h"

#include <cstdint>
#include <string>
#include <vector>

enum TPendingAction : std::uint8_t { paNone, paConnect, paListen, paAccept, paClose, paSend, paRecv };

// IPv4 addresses, each in network byte order.
using TInAddrArray = std::vector<std::uint32_t>;

// Raised for every Winsock error: the message is the error's name, ": " and its description.
class ESocketsError : public EChannelError {
public:
  using EChannelError::EChannelError;
};

class TWinSocket : public TChannel {
public:
  // Waiting for data without limit.
  static constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;

  explicit TWinSocket(std::unique_ptr<TLogger> logger = nullptr);

  // The socket handle; INVALID_SOCKET when there is none. TWinSocket never opens one itself.
  SOCKET Socket() const noexcept { return FSocket.Get(); }
  bool IsSocketValid() const noexcept { return FSocket.Valid(); }
  TPendingAction PendingAction() const noexcept { return FPendingAction; }
  void SetPendingAction(TPendingAction value) noexcept { FPendingAction = value; }

  // True when data can be read before TimeoutMillisec passes (kInfinite: no limit, 0: only
  // look). False at once without a socket.
  bool DataAvailable(std::uint32_t timeoutMillisec);
  // Cancels a blocking Winsock 1.1 call in progress; raises ESocketsError when there was one.
  void CancelPendingAction();

  // Records the code; the connection-loss codes clear Connected; 0 and WSAEINTR return
  // quietly, every other code raises ESocketsError.
  void HandleError(std::int32_t errorCode) override;
  std::string RecvWait(std::uint32_t timeoutMillisec) override;

protected:
  // Replaces the owned socket (closing the old one).
  void SetSocket(SOCKET value) noexcept {
    FSocket.Reset(value);
    ++FSocketGeneration;
  }
  // Changes whenever the socket is replaced (a handle value alone may be reused).
  unsigned SocketGeneration() const noexcept { return FSocketGeneration; }

private:
  TSocketHandle FSocket;
  unsigned FSocketGeneration = 0;
  TPendingAction FPendingAction = paNone;
};

// Dotted-decimal text of an address (network byte order); empty when the platform gives none.
std::wstring IpToStr(std::uint32_t address);
// The address in a dotted text; INADDR_NONE (all ones, also 255.255.255.255) for any other text.
std::uint32_t StrToIp(const std::wstring& text);
bool IsIpValid(std::uint32_t address);
// The IPv4 addresses of a host entry in list order; empty for none.
TInAddrArray HostAddresses(const hostent* hostEntry);
// A dotted address as given, else the first address of a name lookup, else INADDR_NONE.
std::uint32_t ResolveHost(const std::wstring& host);
// True when Host names an address: a dotted address (255.255.255.255 included) or a name that
// resolves; Address is then what ResolveHost gives. False, with INADDR_NONE, for anything else.
bool LookUpHost(const std::wstring& host, std::uint32_t& address);
std::wstring ResolveHostToStr(const std::wstring& host);

// "WSAEADDRINUSE" for 10048; "WinSock Error #<code>" for codes without a name.
std::wstring WinsockErrorName(std::int32_t errorCode);
// "Address already in use" for 10048; "Error #<code>" for codes without a description.
std::wstring WinsockErrorText(std::int32_t errorCode);

// Unit start and stop: Winsock 1.1 for the whole program. Start raises ESocketsError
// ("WsaStartup not successful") when Winsock cannot start.
void SocketsStart();
void SocketsStop();
