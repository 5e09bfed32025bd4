// UDP client and server on real Winsock over the loopback interface. Every server binds to a
// port the system chooses, so these tests never compete for fixed ports.
#include "net/Udp.h"

#include "support/TestSupport.h"
#include "NetTestSupport.h"

#include <functional>
#include <thread>

namespace {

// Records every datagram it handles and answers with Reply.
class TTestServer : public TUdpServer {
public:
  explicit TTestServer(int port, std::unique_ptr<TLogger> logger = nullptr) : TUdpServer(std::move(logger), port) {}

  std::vector<std::string> Received;
  std::vector<std::wstring> Senders;
  std::string Reply;
  std::function<void(TTestServer&)> OnDatagram;

  std::string HandleDatagram(const std::string& datagram) override {
    Received.push_back(datagram);
    Senders.push_back(LastPeer());
    if (OnDatagram) OnDatagram(*this);
    return Reply;
  }

  // Handles exactly one datagram, waiting for it as long as the arrival limit allows.
  bool HandleOne() { return Poll(kArrivalLimitMsec, 0); }
};

std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 % 251);
  return bytes;
}

// ---------------------------------------------------------------------------------------------
// Datagrams arrive whole

struct TDatagramCase {
  const char* name;
  std::string bytes;
};

class UdpDatagrams : public ::testing::TestWithParam<TDatagramCase> {};

TEST_P(UdpDatagrams, ArriveWhole) {
  const std::string& bytes = GetParam().bytes;
  TTestServer server(0);
  TLoopbackPeer peer;
  ASSERT_TRUE(peer.SendTo(server.Port(), bytes));
  ASSERT_TRUE(server.HandleOne());
  ASSERT_EQ(server.Received.size(), 1u);
  EXPECT_EQ(server.Received[0].size(), bytes.size());
  EXPECT_TRUE(server.Received[0] == bytes);  // not EXPECT_EQ: no 64 KB dump on failure
  EXPECT_EQ(server.Senders[0], L"127.0.0.1");
}

INSTANTIATE_TEST_SUITE_P(TUdpServer, UdpDatagrams,
                         ::testing::Values(TDatagramCase{"Empty", ""}, TDatagramCase{"OneByte", "x"},
                                           TDatagramCase{"ZeroByteInside", std::string("ab\0cd", 5)},
                                           TDatagramCase{"CrLfInside", "line 1\r\nline 2\r\n"},
                                           TDatagramCase{"Bytes4096", Pattern(4096)},
                                           TDatagramCase{"Bytes4097", Pattern(4097)},
                                           TDatagramCase{"Bytes10000", Pattern(10000)},
                                           TDatagramCase{"LargestUdpDatagram", Pattern(TUdpClient::kMaxDatagram)}),
                         TCaseName());

// The handler reads where and when each datagram came from beside it: the sending socket's
// address and port, and a receive time between the send and the end of the handling.
TEST(UdpServer, OriginNamesEachDatagramsSenderAndReceiveTime) {
  auto systemTime = [] {
    FILETIME now;
    ::GetSystemTimePreciseAsFileTime(&now);
    return (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
  };
  TTestServer server(0);
  std::vector<TUdpServer::TDatagramOrigin> origins;
  server.OnDatagram = [&](TTestServer& self) { origins.push_back(self.Origin()); };
  TLoopbackPeer first, second;
  const std::uint64_t before = systemTime();
  ASSERT_TRUE(first.SendTo(server.Port(), "one"));
  ASSERT_TRUE(server.HandleOne());
  ASSERT_TRUE(second.SendTo(server.Port(), "two"));
  ASSERT_TRUE(server.HandleOne());
  const std::uint64_t after = systemTime();
  ASSERT_EQ(origins.size(), 2u);
  EXPECT_EQ(ntohs(origins[0].Sender.sin_port), first.Port());
  EXPECT_EQ(ntohs(origins[1].Sender.sin_port), second.Port());
  EXPECT_EQ(origins[1].Sender.sin_addr.s_addr, LoopbackAddress());
  EXPECT_GE(origins[0].ReceivedAt, before);
  EXPECT_LE(origins[0].ReceivedAt, origins[1].ReceivedAt);
  EXPECT_LE(origins[1].ReceivedAt, after);
}

TEST(UdpServer, DatagramsOneAfterAnotherKeepTheirBoundaries) {
  TTestServer server(0);
  TLoopbackPeer peer;
  ASSERT_TRUE(peer.SendTo(server.Port(), Pattern(5000)));
  ASSERT_TRUE(peer.SendTo(server.Port(), "short"));
  ASSERT_TRUE(server.HandleOne());
  ASSERT_TRUE(server.HandleOne());
  ASSERT_EQ(server.Received.size(), 2u);
  EXPECT_TRUE(server.Received[0] == Pattern(5000));
  EXPECT_EQ(server.Received[1], "short");
}

// ---------------------------------------------------------------------------------------------
// Binding

TEST(UdpServerBind, PortZeroBindsToAChosenPortAndReadsIt) {
  auto record = std::make_shared<TLogRecord>();
  TTestServer server(0, RecordingLogger(record));
  ASSERT_NE(server.Port(), 0);
  EXPECT_EQ(LocalPort(server.Socket()), server.Port());
  EXPECT_EQ(record->Entries,
            (std::vector<TLogEntry>{TextEntry(L"Bind to a port", ltAction),
                                    TextEntry(L"Port No. is " + std::to_wstring(server.Port()), ltInfo)}));
}

TEST(UdpServerBind, PortAboveRangeBindsItsLow16BitsAndKeepsTheValue) {
  auto record = std::make_shared<TLogRecord>();
  TTestServer server(65536, RecordingLogger(record));
  EXPECT_EQ(server.Port(), 65536);
  // 65536 is bound as port 0, so the system chose a port, which is not read back.
  const int bound = LocalPort(server.Socket());
  ASSERT_NE(bound, 0);
  EXPECT_EQ(record->Texts(), std::vector<std::wstring>{L"Bind to Port 65536"});
  TLoopbackPeer peer;
  ASSERT_TRUE(peer.SendTo(bound, "through the low bits"));
  ASSERT_TRUE(server.HandleOne());
  EXPECT_EQ(server.Received, std::vector<std::string>{"through the low bits"});
}

TEST(UdpServerBind, PortInUseRaisesAndLeavesNoSocketBehind) {
  TTestServer holder(0);
  const int port = holder.Port();

  const int before = OpenSocketCount();
  {
    TUdpClient client;  // shows that the count sees an open socket
    ASSERT_EQ(OpenSocketCount(), before + 1);
  }
  ASSERT_EQ(OpenSocketCount(), before);

  auto record = std::make_shared<TLogRecord>();
  try {
    TTestServer server(port, RecordingLogger(record));
    FAIL() << "bound to a port in use";
  } catch (const ESocketsError& e) {
    EXPECT_EQ(e.Message(), L"WSAEADDRINUSE: Address already in use");
  }
  EXPECT_EQ(OpenSocketCount(), before);
  EXPECT_TRUE(record->LoggerFreed);
  EXPECT_EQ(record->Texts(), (std::vector<std::wstring>{L"Bind to Port " + std::to_wstring(port),
                                                       L"WSAEADDRINUSE: Address already in use"}));
  EXPECT_EQ(record->Entries.back().LogType, ltError);
}

TEST(UdpServerBind, SettingTheSamePortReplacesTheSocket) {
  auto record = std::make_shared<TLogRecord>();
  TTestServer server(0, RecordingLogger(record));
  const int port = server.Port();
  TLoopbackPeer peer;
  ASSERT_TRUE(peer.SendTo(port, "queued on the old socket"));
  ASSERT_TRUE(server.DataAvailable(kArrivalLimitMsec));

  record->Entries.clear();
  server.SetPort(port);
  EXPECT_EQ(server.Port(), port);
  EXPECT_EQ(LocalPort(server.Socket()), port);
  EXPECT_EQ(record->Texts(), std::vector<std::wstring>{L"Bind to Port " + std::to_wstring(port)});
  // The datagram queued on the old socket went with it.
  EXPECT_EQ(server.DatagramWaiting(), -1);
  EXPECT_GE(ReceiveBufferSize(server.Socket()), 4 * 1024 * 1024);

  ASSERT_TRUE(peer.SendTo(port, "to the new socket"));
  ASSERT_TRUE(server.HandleOne());
  EXPECT_EQ(server.Received, std::vector<std::string>{"to the new socket"});
}

TEST(UdpServerBind, SettingPortZeroMovesToAnotherChosenPort) {
  auto record = std::make_shared<TLogRecord>();
  TTestServer server(0, RecordingLogger(record));
  record->Entries.clear();
  server.SetPort(0);
  EXPECT_NE(server.Port(), 0);
  EXPECT_EQ(LocalPort(server.Socket()), server.Port());
  EXPECT_EQ(record->Texts(), (std::vector<std::wstring>{L"Bind to a port", L"Port No. is " + std::to_wstring(server.Port())}));
  TLoopbackPeer peer;
  ASSERT_TRUE(peer.SendTo(server.Port(), "moved"));
  ASSERT_TRUE(server.HandleOne());
  EXPECT_EQ(server.Received, std::vector<std::string>{"moved"});
}

TEST(UdpServerBind, FailedBindKeepsAnUnboundSocketThatTheNextBindUses) {
  TTestServer holder(0);
  TTestServer server(0);
  EXPECT_THROW(server.SetPort(holder.Port()), ESocketsError);
  EXPECT_EQ(server.Port(), 0);
  ASSERT_TRUE(server.IsSocketValid());
  EXPECT_EQ(LocalPort(server.Socket()), 0);

  const SOCKET unbound = server.Socket();
  server.SetPort(0);
  EXPECT_EQ(server.Socket(), unbound);  // bound, not replaced
  EXPECT_NE(server.Port(), 0);
  EXPECT_EQ(LocalPort(server.Socket()), server.Port());
}

TEST(UdpServerBind, ServerAsksForALargeReceiveBufferAndTheClientKeepsTheDefault) {
  TTestServer server(0);
  // Linux (under Wine) caps the request at net.core.rmem_max and doubles it; Windows grants it.
  EXPECT_GE(ReceiveBufferSize(server.Socket()), 4 * 1024 * 1024);
  TUdpClient client;
  EXPECT_LT(ReceiveBufferSize(client.Socket()), 4 * 1024 * 1024);
}

// ---------------------------------------------------------------------------------------------
// Polling and replies

TEST(UdpServerPoll, ReplyGoesBackToTheSenderFromTheServersPort) {
  auto record = std::make_shared<TLogRecord>();
  TTestServer server(0, RecordingLogger(record));
  server.Reply = "pong";
  TLoopbackPeer peer;
  record->Entries.clear();
  ASSERT_TRUE(peer.SendTo(server.Port(), "ping"));
  ASSERT_TRUE(server.HandleOne());

  std::optional<TReceived> answer = peer.Receive(kArrivalLimitMsec);
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->Data, "pong");
  EXPECT_EQ(answer->FromPort, server.Port());
  EXPECT_EQ(record->Entries,
            (std::vector<TLogEntry>{
                TextEntry(L"Received data from 127.0.0.1:" + std::to_wstring(peer.Port()), ltInfo),
                DataEntry("ping", ltReceive), TextEntry(L"Sent Data to 127.0.0.1", ltAction),
                DataEntry("pong", ltSend)}));
}

TEST(UdpServerPoll, EmptyReplySendsNothing) {
  TTestServer server(0);
  TLoopbackPeer peer;
  ASSERT_TRUE(peer.SendTo(server.Port(), "ping"));
  ASSERT_TRUE(server.HandleOne());
  // Anything sent on loopback would be there long before this wait ends.
  EXPECT_FALSE(peer.Receive(500));
}

TEST(UdpServerPoll, ReplyReachesTheSenderEvenWhenTheHandlerSendsElsewhere) {
  TTestServer server(0);
  TLoopbackPeer peer, bystander;
  server.Reply = "reply";
  server.OnDatagram = [&bystander](TTestServer& s) { s.SendDatagram(L"127.0.0.1", bystander.Port(), "aside"); };
  ASSERT_TRUE(peer.SendTo(server.Port(), "ping"));
  ASSERT_TRUE(server.HandleOne());

  EXPECT_EQ(peer.Receive(kArrivalLimitMsec).value_or(TReceived{}).Data, "reply");
  EXPECT_EQ(bystander.Receive(kArrivalLimitMsec).value_or(TReceived{}).Data, "aside");
}

TEST(UdpServerPoll, BudgetZeroHandlesOneDatagramPerCall) {
  TTestServer server(0);
  TLoopbackPeer peer;
  for (const char* d : {"1", "2", "3"}) ASSERT_TRUE(peer.SendTo(server.Port(), d));
  for (size_t handled = 1; handled <= 3; ++handled) {
    EXPECT_TRUE(server.Poll(kArrivalLimitMsec, 0));
    EXPECT_EQ(server.Received.size(), handled);
  }
  EXPECT_FALSE(server.Poll(0, 0));
  EXPECT_EQ(server.Received, (std::vector<std::string>{"1", "2", "3"}));
}

TEST(UdpServerPoll, NothingWaitingReturnsFalseWithoutHandling) {
  TTestServer server(0);
  EXPECT_FALSE(server.Poll(0, 0));
  EXPECT_FALSE(server.Poll(0, 1000));
  server.Poll(0);
  EXPECT_TRUE(server.Received.empty());
}

TEST(UdpServerPoll, LargeBudgetDrainsEverythingAndReportsNothingLeft) {
  TTestServer server(0);
  TLoopbackPeer peer;
  for (const char* d : {"a", "b", "c"}) ASSERT_TRUE(peer.SendTo(server.Port(), d));
  // Returns once a wait of one second finds nothing more.
  EXPECT_FALSE(server.Poll(1000, 600000));
  EXPECT_EQ(server.Received, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(UdpServerPoll, BudgetedDrainLeavesTheSocketBlocking) {
  TTestServer server(0);
  TLoopbackPeer peer;
  for (const char* d : {"a", "b"}) ASSERT_TRUE(peer.SendTo(server.Port(), d));
  // Both are there once the first is (loopback delivers in the send): drained without a wait
  // for more.
  ASSERT_TRUE(server.DataAvailable(kArrivalLimitMsec));
  EXPECT_FALSE(server.Poll(0, 600000));
  ASSERT_TRUE(peer.SendTo(server.Port(), "x"));
  server.OnDatagram = [](TTestServer&) { throw EChannelError(L"handler failed"); };
  EXPECT_THROW(server.Poll(kArrivalLimitMsec, 600000), EChannelError);
  // A receive now waits for the next datagram instead of coming back empty at once.
  std::thread late([&] {
    ::Sleep(300);
    TLoopbackPeer sender;
    sender.SendTo(server.Port(), "late");
  });
  EXPECT_EQ(server.RecvDatagram(), "late");
  late.join();
}

TEST(UdpServerPoll, HandlerThatRebindsEndsTheDrainOfTheOldSocket) {
  TTestServer server(0);
  TLoopbackPeer peer;
  for (const char* d : {"a", "b"}) ASSERT_TRUE(peer.SendTo(server.Port(), d));
  server.OnDatagram = [](TTestServer& s) {
    s.OnDatagram = nullptr;
    s.SetPort(0);  // a new socket, with nothing waiting on it
  };
  // Without the check the drain would block in a receive on the new, blocking socket.
  EXPECT_FALSE(server.Poll(0, 600000));
  EXPECT_EQ(server.Received, std::vector<std::string>{"a"});
}

TEST(UdpServerPoll, PollWithoutBudgetHandlesEveryDatagram) {
  TTestServer server(0);
  TLoopbackPeer peer;
  for (const char* d : {"a", "b", "c"}) ASSERT_TRUE(peer.SendTo(server.Port(), d));
  server.Poll(1000);
  EXPECT_EQ(server.Received, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(UdpServerPoll, HandlerExceptionEndsThePollAndReachesTheCaller) {
  TTestServer server(0);
  server.OnDatagram = [](TTestServer&) { throw EChannelError(L"handler failed"); };
  TLoopbackPeer peer;
  ASSERT_TRUE(peer.SendTo(server.Port(), "x"));
  EXPECT_THROW(server.Poll(kArrivalLimitMsec), EChannelError);
  EXPECT_EQ(server.Received.size(), 1u);
}

TEST(UdpServerPoll, ServerWithoutHandlerRaisesAbstractError) {
  TUdpServer server(nullptr, 0);
  TLoopbackPeer peer;
  ASSERT_TRUE(peer.SendTo(server.Port(), "x"));
  EXPECT_THROW(server.Poll(kArrivalLimitMsec), EAbstractError);
}

// ---------------------------------------------------------------------------------------------
// Queue queries

TEST(UdpQueue, DatagramWaitingIsMinusOneWhenNothingWaits) {
  TTestServer server(0);
  EXPECT_EQ(server.DatagramWaiting(), -1);
  EXPECT_EQ(server.InQueue(), -1);
  EXPECT_FALSE(server.DataWaiting());
  EXPECT_EQ(server.OutQueue(), 0);
}

TEST(UdpQueue, DatagramWaitingCountsTheWaitingBytes) {
  TTestServer server(0);
  TLoopbackPeer peer;
  ASSERT_TRUE(peer.SendTo(server.Port(), "hello"));
  ASSERT_TRUE(server.DataAvailable(kArrivalLimitMsec));
  EXPECT_EQ(server.DatagramWaiting(), 5);
  EXPECT_TRUE(server.DataWaiting());
  server.FlushInQueue();  // discards nothing
  EXPECT_EQ(server.InQueue(), 5);
  ASSERT_TRUE(server.HandleOne());
  EXPECT_EQ(server.DatagramWaiting(), -1);
}

TEST(UdpQueue, EmptyDatagramWaitingIsZeroBytesAndNoDataWaiting) {
  TTestServer server(0);
  TLoopbackPeer peer;
  ASSERT_TRUE(peer.SendTo(server.Port(), ""));
  ASSERT_TRUE(server.DataAvailable(kArrivalLimitMsec));
  EXPECT_EQ(server.DatagramWaiting(), 0);
  EXPECT_FALSE(server.DataWaiting());
}

// ---------------------------------------------------------------------------------------------
// Client: connect string, sending, receiving

struct TConnectCase {
  const char* name;
  const wchar_t* connectString;
  const wchar_t* peer;
  int port;
};

class UdpConnect : public ::testing::TestWithParam<TConnectCase> {};

TEST_P(UdpConnect, SplitsPeerAndPort) {
  const TConnectCase& c = GetParam();
  TUdpClient client;
  client.Connect(c.connectString);
  EXPECT_EQ(client.Peer(), c.peer);
  EXPECT_EQ(client.PeerPort(), c.port);
  EXPECT_TRUE(client.Connected());
  client.Disconnect();
  EXPECT_FALSE(client.Connected());
}

INSTANTIATE_TEST_SUITE_P(TUdpClient, UdpConnect,
                         ::testing::Values(TConnectCase{"AddressAndPort", L"192.168.1.7,6702", L"192.168.1.7", 6702},
                                           TConnectCase{"NoComma", L"loghost", L"loghost", 0},
                                           TConnectCase{"PortNotANumber", L"loghost,abc", L"loghost", 0},
                                           TConnectCase{"ThirdFieldIgnored", L"loghost,7000,x", L"loghost", 7000},
                                           TConnectCase{"HexPort", L"loghost,$1A0B", L"loghost", 0x1A0B},
                                           TConnectCase{"LeadingSpaces", L"loghost,  42", L"loghost", 42},
                                           TConnectCase{"TrailingCharacters", L"loghost,42 ", L"loghost", 0},
                                           TConnectCase{"EmptyPort", L"loghost,", L"loghost", 0},
                                           TConnectCase{"EmptyPeer", L",6702", L"", 6702},
                                           TConnectCase{"EmptyText", L"", L"", 0},
                                           TConnectCase{"NegativePort", L"loghost,-1", L"loghost", -1}),
                         TCaseName());

TEST(UdpClient, SendGoesToTheConnectedPeer) {
  TTestServer server(0);
  auto record = std::make_shared<TLogRecord>();
  TUdpClient client(RecordingLogger(record));
  client.Connect(L"127.0.0.1," + std::to_wstring(server.Port()));
  client.Send(std::string("hello"));
  client.Send(nullptr, 0);
  ASSERT_TRUE(server.HandleOne());
  ASSERT_TRUE(server.HandleOne());
  EXPECT_EQ(server.Received, (std::vector<std::string>{"hello", ""}));
  const std::wstring sendText = L"Send Datagram to 127.0.0.1:" + std::to_wstring(server.Port());
  EXPECT_EQ(record->Entries,
            (std::vector<TLogEntry>{TextEntry(sendText, ltAction), DataEntry("hello", ltSend),
                                    TextEntry(sendText, ltAction), DataEntry("", ltSend)}));
}

TEST(UdpClient, SendDatagramResolvesHostNames) {
  TTestServer server(0);
  TUdpClient client;
  client.SendDatagram(L"localhost", server.Port(), "by name");
  ASSERT_TRUE(server.HandleOne());
  EXPECT_EQ(server.Received, std::vector<std::string>{"by name"});
}

TEST(UdpClient, SendDatagramToAPeerWithoutAddressSendsNothing) {
  auto record = std::make_shared<TLogRecord>();
  TUdpClient client(RecordingLogger(record));
  EXPECT_NO_THROW(client.SendDatagram(L"no-such-host.invalid", 6702, "lost"));
  EXPECT_TRUE(record->Entries.empty());
  // Never sent, so the socket was never bound implicitly.
  EXPECT_EQ(LocalPort(client.Socket()), 0);
}

TEST(UdpClient, SendDatagramToTheDottedBroadcastAddressIsAttempted) {
  auto record = std::make_shared<TLogRecord>();
  TUdpClient client(RecordingLogger(record));
  // Broadcasts are not switched on for the socket, so the system refuses it: nothing leaves.
  EXPECT_NO_THROW(client.SendDatagram(L"255.255.255.255", 65000, "asked for"));
  EXPECT_EQ(record->Entries, (std::vector<TLogEntry>{TextEntry(L"Send Datagram to 255.255.255.255:65000", ltAction),
                                                     DataEntry("asked for", ltSend)}));
  BOOL permitted = TRUE;
  int length = sizeof permitted;
  ASSERT_EQ(::getsockopt(client.Socket(), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<char*>(&permitted), &length), 0);
  EXPECT_FALSE(permitted);
}

TEST(UdpClient, SendBroadcastPermitsBroadcastsAndLogs) {
  auto record = std::make_shared<TLogRecord>();
  TUdpClient client(RecordingLogger(record));
  // Whether the datagram leaves depends on the machine's interfaces; a failed send is silent.
  EXPECT_NO_THROW(client.SendBroadcast(65000, "to everybody"));
  BOOL permitted = FALSE;
  int length = sizeof permitted;
  ASSERT_EQ(::getsockopt(client.Socket(), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<char*>(&permitted), &length), 0);
  EXPECT_TRUE(permitted);
  EXPECT_EQ(record->Entries,
            (std::vector<TLogEntry>{TextEntry(L"UDP Broadcast", ltAction), DataEntry("to everybody", ltSend)}));
}

TEST(UdpClient, ReceivesAndNamesTheLastPeer) {
  TLoopbackPeer peer;
  TUdpClient client;
  client.SendDatagram(L"127.0.0.1", peer.Port(), "hi");  // binds the client implicitly
  std::optional<TReceived> first = peer.Receive(kArrivalLimitMsec);
  ASSERT_TRUE(first);
  const int clientPort = first->FromPort;

  ASSERT_TRUE(peer.SendTo(clientPort, "back"));
  EXPECT_EQ(client.RecvWait(kArrivalLimitMsec), "back");
  EXPECT_EQ(client.LastPeer(), L"127.0.0.1");
}

TEST(UdpClient, LinesAndCountsAcrossDatagrams) {
  TLoopbackPeer peer;
  TUdpClient client;
  client.Connect(L"127.0.0.1," + std::to_wstring(peer.Port()));
  client.Send(std::string("hi"));
  std::optional<TReceived> first = peer.Receive(kArrivalLimitMsec);
  ASSERT_TRUE(first);
  const int clientPort = first->FromPort;

  for (const char* d : {"ab\r\nc", "d\r\n", "xyz", "12"}) ASSERT_TRUE(peer.SendTo(clientPort, d));
  EXPECT_EQ(client.RecvLine("\r\n", TCharset(), kArrivalLimitMsec), "ab");
  EXPECT_EQ(client.RecvLine("\r\n", TCharset(), kArrivalLimitMsec), "cd");
  std::string buffer;
  client.Recv(buffer, 5);  // one datagram per receive, appended whole
  EXPECT_EQ(buffer, "xyz12");
}

}  // namespace
