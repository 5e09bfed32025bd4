#pragma once
// UDP endpoints over IPv4: a client that sends datagrams to a peer or as a broadcast and
// receives from anybody, and a server bound to a local port that hands every datagram to a
// handler and sends its reply back to the sender.
#include "net/Sockets.h"

#include <cstdint>
#include <memory>
#include <string>

class TUdpClient : public TWinSocket {
public:
  // Opens the socket; a failed open leaves none (waits then see no data, a bind fails).
  explicit TUdpClient(std::unique_ptr<TLogger> logger = nullptr);

  // One datagram to Peer (dotted address or host name); nothing is sent when the peer has no
  // address. A failed send raises nothing.
  void SendDatagram(const std::wstring& peer, int port, const std::string& datagram);
  void SendBroadcast(int port, const std::string& datagram);
  // Blocks until a datagram is there; empty for an empty datagram or a failed receive.
  std::string RecvDatagram();
  // Bytes waiting as the platform reports them; -1 when no datagram waits.
  int DatagramWaiting();
  // Address of the sender of the last datagram received (or the target of the last sent).
  std::wstring LastPeer() const;

  // "peer,port": only stores peer and port and counts as connected; no network activity.
  void Connect(const std::wstring& connectString) override;
  void Disconnect() override;
  using TChannel::Send;
  void Send(const void* buffer, int length) override;
  using TChannel::Recv;
  void Recv(std::string& buffer) override;
  int InQueue() override;
  int OutQueue() override;
  void FlushInQueue() override;
  void FlushOutQueue() override;

  const std::wstring& Peer() const noexcept { return FPeer; }
  int PeerPort() const noexcept { return FPort; }

  // The largest datagram UDP over IPv4 carries; every datagram up to it arrives whole.
  static constexpr int kMaxDatagram = 65507;

protected:
  // Closes the socket and opens a fresh one with the same parameters.
  void ReopenSocket();
  // Sends Data to Address with the given flags; the result is deliberately not examined.
  void SendTo(const sockaddr_in& address, const std::string& data, int flags);
  // The address of the last datagram received or sent, also the local one while binding.
  sockaddr_in& SockAddr() noexcept { return FSockAddr; }
  // One receive into Datagram (empty for an empty datagram or a failed receive). False only
  // when the socket is in non-blocking mode and nothing is waiting.
  bool ReceiveOne(std::string& datagram);
  // Clears the address, then sets IPv4, Address (network byte order) and the low 16 bits
  // of Port.
  void SetSockAddr(std::uint32_t address, int port) noexcept;

private:
  static SOCKET OpenSocket() noexcept;

  sockaddr_in FSockAddr{};
  int FSAL = sizeof(sockaddr_in);
  std::wstring FPeer;
  int FPort = 0;  // the peer's port
  // One receive buffer for the life of the channel, large enough for any datagram.
  std::unique_ptr<char[]> FRecvBuffer;
};

class TUdpServer : public TUdpClient {
public:
  // The receive buffer the server asks for, so bursts are queued rather than dropped while
  // the owner is busy between polls.
  static constexpr int kReceiveBufferSize = 8 * 1024 * 1024;

  // Binds to Port on every local interface (0: a port the system chooses). Raises
  // ESocketsError when the bind fails; the socket and the logger are freed then.
  TUdpServer(std::unique_ptr<TLogger> logger, int port);

  // The bound port: the chosen one after binding to 0; 0 after a failed bind.
  int Port() const noexcept { return FPort; }
  // Rebinds: a bound socket is replaced by a new one, so datagrams queued on it are lost.
  void SetPort(int value);

  // Handles every datagram that arrives while waits of TimeoutMsec find one.
  void Poll(std::uint32_t timeoutMsec);
  // Like Poll, but after each handled datagram stops once BudgetMsec have passed since the
  // call began: true then (more may be waiting); false when a wait found no datagram.
  // Once a wait has found data, the datagrams waiting are received without a wait before
  // each one (the socket is non-blocking for that drain and blocking again afterwards): half
  // the system calls, which counts where each call is a round trip, as under Wine.
  bool Poll(std::uint32_t timeoutMsec, std::uint32_t budgetMsec);

  // Handles one datagram; a non-empty result goes back to its sender as the reply.
  virtual std::string HandleDatagram(const std::string& datagram);

  // Where and when the datagram being handled came from: read it inside HandleDatagram (the
  // handler's interface stays the datagram alone).
  struct TDatagramOrigin {
    sockaddr_in Sender{};
    std::uint64_t ReceivedAt = 0;  // system time (UTC) of the receive, in 100 ns since 1601
  };
  const TDatagramOrigin& Origin() const noexcept { return FOrigin; }

private:
  void SetReceiveBuffer() noexcept;
  // Hands one received datagram to HandleDatagram and sends the reply, if any, to its sender.
  void Dispatch(const std::string& datagram);

  int FPort = 0;  // the local port
  TDatagramOrigin FOrigin;
};
