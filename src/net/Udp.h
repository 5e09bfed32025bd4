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
  explicit TUdpClient(std::unique_ptr<TLogger> Logger = nullptr);

  // One datagram to Peer (dotted address or host name); nothing is sent when the peer has no
  // address. A failed send raises nothing.
  void SendDatagram(const std::wstring& Peer, int Port, const std::string& Datagram);
  void SendBroadcast(int Port, const std::string& Datagram);
  // Blocks until a datagram is there; empty for an empty datagram or a failed receive.
  std::string RecvDatagram();
  // Bytes waiting as the platform reports them; -1 when no datagram waits.
  int DatagramWaiting();
  // Address of the sender of the last datagram received (or the target of the last sent).
  std::wstring LastPeer() const;

  // "peer,port": only stores peer and port and counts as connected; no network activity.
  void Connect(const std::wstring& ConnectString) override;
  void Disconnect() override;
  using TChannel::Send;
  void Send(const void* Buffer, int Length) override;
  using TChannel::Recv;
  void Recv(std::string& Buffer) override;
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
  void SendTo(const sockaddr_in& Address, const std::string& Data, int Flags);
  // The address of the last datagram received or sent, also the local one while binding.
  sockaddr_in& SockAddr() noexcept { return FSockAddr; }
  // Clears the address, then sets IPv4, Address (network byte order) and the low 16 bits
  // of Port.
  void SetSockAddr(std::uint32_t Address, int Port) noexcept;

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
  TUdpServer(std::unique_ptr<TLogger> Logger, int Port);

  // The bound port: the chosen one after binding to 0; 0 after a failed bind.
  int Port() const noexcept { return FPort; }
  // Rebinds: a bound socket is replaced by a new one, so datagrams queued on it are lost.
  void SetPort(int Value);

  // Handles every datagram that arrives while waits of TimeoutMsec find one.
  void Poll(std::uint32_t TimeoutMsec);
  // Like Poll, but after each handled datagram stops once BudgetMsec have passed since the
  // call began: true then (more may be waiting); false when a wait found no datagram.
  bool Poll(std::uint32_t TimeoutMsec, std::uint32_t BudgetMsec);

  // Handles one datagram; a non-empty result goes back to its sender as the reply.
  virtual std::string HandleDatagram(const std::string& Datagram);

private:
  void SetReceiveBuffer() noexcept;
  bool PollLoop(std::uint32_t TimeoutMsec, const std::uint32_t* BudgetMsec);

  int FPort = 0;  // the local port
};
