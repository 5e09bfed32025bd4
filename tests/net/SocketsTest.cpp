// The Winsock channel base and the socket unit's routines, on real Winsock and loopback.
#include "net/Sockets.h"

#include "support/TestSupport.h"
#include "NetTestSupport.h"

#include <chrono>
#include <thread>

namespace {

// A Winsock channel over a plain socket bound to 127.0.0.1 (or over no socket at all).
class TTestSocket : public TWinSocket {
public:
  explicit TTestSocket(bool bound = true, std::unique_ptr<TLogger> logger = nullptr) : TWinSocket(std::move(logger)) {
    if (!bound) return;
    SetSocket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = LoopbackAddress();
    ::bind(Socket(), reinterpret_cast<const sockaddr*>(&local), sizeof local);
  }
  // Puts any value in place of the socket, for example one that is no socket.
  void Adopt(SOCKET s) { SetSocket(s); }
  int Port() const { return LocalPort(Socket()); }

  int Receives = 0;
  void Connect(const std::wstring&) override { SetConnected(true); }
  using TChannel::Recv;
  void Recv(std::string& buffer) override {
    ++Receives;
    buffer.assign(100, '\0');
    int n = ::recv(Socket(), buffer.data(), static_cast<int>(buffer.size()), 0);
    buffer.resize(n > 0 ? static_cast<size_t>(n) : 0);
  }
};

// ---------------------------------------------------------------------------------------------
// Winsock error names and descriptions

struct TErrorTextCase {
  const char* name;
  std::int32_t code;
  const wchar_t* errorName;
  const wchar_t* errorText;
};

class WinsockErrorTexts : public ::testing::TestWithParam<TErrorTextCase> {};

TEST_P(WinsockErrorTexts, NameAndDescription) {
  const TErrorTextCase& c = GetParam();
  EXPECT_EQ(WinsockErrorName(c.code), c.errorName);
  EXPECT_EQ(WinsockErrorText(c.code), c.errorText);
}

INSTANTIATE_TEST_SUITE_P(
    Sockets, WinsockErrorTexts,
    ::testing::Values(
        TErrorTextCase{"FirstRow", 10004, L"WSAEINTR", L"Interrupted function call"},
        TErrorTextCase{"AddressInUse", 10048, L"WSAEADDRINUSE", L"Address already in use"},
        TErrorTextCase{"ConnectionReset", 10054, L"WSAECONNRESET", L"Connection reset by peer"},
        TErrorTextCase{"LongDescription", 10047, L"WSAEAFNOSUPPORT", L"Address family not supported by protocol family"},
        TErrorTextCase{"NotInitialised", 10093, L"WSANOTINITIALISED", L"Successful WSAStartup() not yet performed"},
        TErrorTextCase{"VersionText", 10092, L"WSAVERNOTSUPPORTED", L"WINSOCK.DLL version out of range"},
        TErrorTextCase{"DescriptionIsTheName", 10103, L"WSAECANCELLED", L"WSAECANCELLED"},
        TErrorTextCase{"UnderscoreName", 10108, L"WSASERVICE_NOT_FOUND", L"WSASERVICE_NOT_FOUND"},
        TErrorTextCase{"LastOfTheRange", 10112, L"WSAEREFUSED", L"WSAEREFUSED"},
        TErrorTextCase{"HostNotFound", 11001, L"WSAHOST_NOT_FOUND", L"Host not found"},
        TErrorTextCase{"LastRow", 11004, L"WSANO_DATA", L"Valid name, no data record of requested type"},
        TErrorTextCase{"AccessHasNoDescription", 10013, L"WSAEACCES", L"Error #10013"},
        TErrorTextCase{"BadFileHasNoDescription", 10009, L"WSAEBADF", L"Error #10009"},
        TErrorTextCase{"RemoteHasNoDescription", 10071, L"WSAEREMOTE", L"Error #10071"},
        TErrorTextCase{"UnknownCode", 12345, L"WinSock Error #12345", L"Error #12345"},
        TErrorTextCase{"SmallUnknownCode", 5, L"WinSock Error #5", L"Error #5"},
        TErrorTextCase{"GapInTheTable", 10094, L"WinSock Error #10094", L"Error #10094"},
        TErrorTextCase{"Zero", 0, L"WinSock Error #0", L"Error #0"},
        TErrorTextCase{"Negative", -1, L"WinSock Error #-1", L"Error #-1"}),
    TCaseName());

// ---------------------------------------------------------------------------------------------
// HandleError of a Winsock channel

struct TSocketErrorCase {
  const char* name;
  std::int32_t code;
  const wchar_t* message;  // nullptr: no exception
  bool connectedAfter;
};

class WinSocketHandleError : public ::testing::TestWithParam<TSocketErrorCase> {};

TEST_P(WinSocketHandleError, RecordsClearsConnectedAndRaises) {
  const TSocketErrorCase& c = GetParam();
  auto record = std::make_shared<TLogRecord>();
  TTestSocket channel(false, RecordingLogger(record));
  channel.Connect(L"");
  CheckHandleError<ESocketsError>(channel, *record, c.code, c.message);
  EXPECT_EQ(channel.LastError(), c.code);
  EXPECT_EQ(channel.Connected(), c.connectedAfter);
}

INSTANTIATE_TEST_SUITE_P(
    TWinSocket, WinSocketHandleError,
    ::testing::Values(
        TSocketErrorCase{"ZeroIsQuiet", 0, nullptr, true},
        TSocketErrorCase{"InterruptIsQuiet", 10004, nullptr, true},
        TSocketErrorCase{"NetDown", 10050, L"WSAENETDOWN: Network is down", false},
        TSocketErrorCase{"NetReset", 10052, L"WSAENETRESET: Network dropped connection on reset", false},
        TSocketErrorCase{"ConnAborted", 10053, L"WSAECONNABORTED: Software caused connection abort", false},
        TSocketErrorCase{"ConnReset", 10054, L"WSAECONNRESET: Connection reset by peer", false},
        TSocketErrorCase{"NotConn", 10057, L"WSAENOTCONN: Socket is not connected", false},
        TSocketErrorCase{"NotSock", 10038, L"WSAENOTSOCK: Socket operation on non-socket", false},
        TSocketErrorCase{"Shutdown", 10058, L"WSAESHUTDOWN: Cannot send after socket shutdown", false},
        TSocketErrorCase{"AddressInUseKeepsConnected", 10048, L"WSAEADDRINUSE: Address already in use", true},
        TSocketErrorCase{"TimedOutKeepsConnected", 10060, L"WSAETIMEDOUT: Connection timed out", true},
        TSocketErrorCase{"NamedWithoutDescription", 10013, L"WSAEACCES: Error #10013", true},
        TSocketErrorCase{"UnknownCode", 12345, L"WinSock Error #12345: Error #12345", true}),
    TCaseName());

TEST(WinSocket, FreshSocketChannelHasNoSocket) {
  TTestSocket channel(false);
  EXPECT_EQ(channel.Socket(), INVALID_SOCKET);
  EXPECT_FALSE(channel.IsSocketValid());
  EXPECT_EQ(channel.PendingAction(), paNone);
  channel.SetPendingAction(paRecv);
  EXPECT_EQ(channel.PendingAction(), paRecv);
  EXPECT_FALSE(channel.Connected());
}

TEST(WinSocket, CancelWithNothingBlockingDoesNothing) {
  TTestSocket channel;
  EXPECT_NO_THROW(channel.CancelPendingAction());
  EXPECT_EQ(channel.LastError(), 0);
}

// ---------------------------------------------------------------------------------------------
// Waiting for data

TEST(WinSocketDataAvailable, WithoutSocketFalseAtOnceWhateverTheTimeout) {
  TTestSocket channel(false);
  EXPECT_FALSE(channel.DataAvailable(0));
  // An infinite wait on no socket would block for ever or fail in select; neither happens.
  EXPECT_FALSE(channel.DataAvailable(TWinSocket::kInfinite));
  EXPECT_EQ(channel.LastError(), 0);
  EXPECT_EQ(channel.RecvWait(TWinSocket::kInfinite), "");
  EXPECT_EQ(channel.Receives, 0);
}

TEST(WinSocketDataAvailable, ZeroTimeoutOnlyLooks) {
  TTestSocket channel;
  TLoopbackPeer peer;
  EXPECT_FALSE(channel.DataAvailable(0));
  ASSERT_TRUE(peer.SendTo(channel.Port(), "x"));
  ASSERT_TRUE(channel.DataAvailable(kArrivalLimitMsec));
  // Looking does not consume: the datagram is still there.
  EXPECT_TRUE(channel.DataAvailable(0));
  EXPECT_EQ(channel.RecvWait(0), "x");
  EXPECT_FALSE(channel.DataAvailable(0));
}

TEST(WinSocketDataAvailable, ShortTimeoutWithNothingWaitingIsFalse) {
  TTestSocket channel;
  EXPECT_FALSE(channel.DataAvailable(20));
  EXPECT_EQ(channel.RecvWait(20), "");
  EXPECT_EQ(channel.Receives, 0);
}

TEST(WinSocketDataAvailable, InfiniteWaitEndsWhenADatagramArrives) {
  TTestSocket channel;
  const int port = channel.Port();
  std::jthread sender([port] {
    TLoopbackPeer peer;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    peer.SendTo(port, "late");
  });
  EXPECT_TRUE(channel.DataAvailable(TWinSocket::kInfinite));
  EXPECT_EQ(channel.RecvWait(TWinSocket::kInfinite), "late");
}

TEST(WinSocketDataAvailable, FailedWaitRaises) {
  TTestSocket channel(false);
  channel.Connect(L"");
  // A handle value that is no socket: select fails.
  channel.Adopt(static_cast<SOCKET>(0x7FF0));
  try {
    channel.DataAvailable(0);
    FAIL() << "no exception";
  } catch (const ESocketsError& e) {
    EXPECT_EQ(e.Message(), L"WSAENOTSOCK: Socket operation on non-socket");
  }
  EXPECT_EQ(channel.LastError(), WSAENOTSOCK);
  EXPECT_FALSE(channel.Connected());
  channel.Adopt(INVALID_SOCKET);
}

// ---------------------------------------------------------------------------------------------
// Addresses and names

constexpr std::uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d) {
  // Network byte order: the first byte lowest in memory, which on x86 is the low byte.
  return a | (b << 8) | (c << 16) | (d << 24);
}

struct TStrToIpCase {
  const char* name;
  const wchar_t* text;
  std::uint32_t address;
  bool valid;
};

class StrToIpTable : public ::testing::TestWithParam<TStrToIpCase> {};

TEST_P(StrToIpTable, ParsesDottedAddresses) {
  const TStrToIpCase& c = GetParam();
  std::uint32_t address = StrToIp(c.text);
  EXPECT_EQ(address, c.address);
  EXPECT_EQ(IsIpValid(address), c.valid);
}

INSTANTIATE_TEST_SUITE_P(
    Sockets, StrToIpTable,
    ::testing::Values(TStrToIpCase{"Loopback", L"127.0.0.1", Ip(127, 0, 0, 1), true},
                      TStrToIpCase{"Private", L"192.168.10.20", Ip(192, 168, 10, 20), true},
                      TStrToIpCase{"AnyAddress", L"0.0.0.0", 0, true},
                      // The broadcast address cannot be told from "no address".
                      TStrToIpCase{"Broadcast", L"255.255.255.255", INADDR_NONE, false},
                      TStrToIpCase{"Garbage", L"garbage", INADDR_NONE, false},
                      TStrToIpCase{"HostName", L"localhost", INADDR_NONE, false},
                      TStrToIpCase{"PartTooLarge", L"10.0.0.256", INADDR_NONE, false}),
    TCaseName());

TEST(Sockets, StrToIpRejectsTextWithZeroCharacter) {
  EXPECT_FALSE(IsIpValid(StrToIp(std::wstring(L"1.2.3.4\0junk", 12))));
  EXPECT_EQ(StrToIp(std::wstring(L"1.2.3.4")), Ip(1, 2, 3, 4));
}

TEST(Sockets, IpToStrGivesDottedText) {
  EXPECT_EQ(IpToStr(Ip(127, 0, 0, 1)), L"127.0.0.1");
  EXPECT_EQ(IpToStr(Ip(10, 20, 30, 40)), L"10.20.30.40");
  EXPECT_EQ(IpToStr(0), L"0.0.0.0");
  EXPECT_EQ(IpToStr(INADDR_NONE), L"255.255.255.255");
}

TEST(Sockets, IsIpValidOnlyRefusesAllOnes) {
  EXPECT_TRUE(IsIpValid(0));
  EXPECT_TRUE(IsIpValid(Ip(255, 255, 255, 254)));
  EXPECT_FALSE(IsIpValid(0xFFFFFFFFu));
}

TEST(Sockets, HostAddressesInListOrder) {
  EXPECT_TRUE(HostAddresses(nullptr).empty());
  std::uint32_t first = Ip(10, 0, 0, 1), second = Ip(10, 0, 0, 2);
  char* list[] = {reinterpret_cast<char*>(&first), reinterpret_cast<char*>(&second), nullptr};
  hostent entry{};
  entry.h_addrtype = AF_INET;
  entry.h_length = 4;
  entry.h_addr_list = list;
  EXPECT_EQ(HostAddresses(&entry), (TInAddrArray{first, second}));
  char* none[] = {nullptr};
  entry.h_addr_list = none;
  EXPECT_TRUE(HostAddresses(&entry).empty());
}

TEST(Sockets, ResolveHostTakesDottedAddressesAsGiven) {
  EXPECT_EQ(ResolveHost(L"127.0.0.1"), Ip(127, 0, 0, 1));
  EXPECT_EQ(ResolveHostToStr(L"10.1.2.3"), L"10.1.2.3");
}

TEST(Sockets, ResolveHostLooksUpNames) {
  std::uint32_t address = ResolveHost(L"localhost");
  ASSERT_TRUE(IsIpValid(address));
  EXPECT_EQ(address & 0xFF, 127u);  // a loopback address
  EXPECT_EQ(ResolveHostToStr(L"localhost").substr(0, 4), L"127.");
}

TEST(Sockets, ResolveHostOfAnUnknownNameIsNoAddress) {
  // ".invalid" never resolves.
  EXPECT_FALSE(IsIpValid(ResolveHost(L"no-such-host.invalid")));
  // The text form of "no address" is not empty.
  EXPECT_EQ(ResolveHostToStr(L"garbage.invalid"), L"255.255.255.255");
}

struct TLookUpCase {
  const char* name;
  std::wstring host;
  bool names;
  std::uint32_t address;  // for dotted addresses
};

class LookUpHostTable : public ::testing::TestWithParam<TLookUpCase> {};

// The broadcast address given as such names an address; an unknown name gives the same value
// but names none.
TEST_P(LookUpHostTable, TellsAddressesFromNothing) {
  const TLookUpCase& c = GetParam();
  std::uint32_t address = 0;
  EXPECT_EQ(LookUpHost(c.host, address), c.names);
  EXPECT_EQ(address, c.address);
  EXPECT_EQ(ResolveHost(c.host), c.address);
}

INSTANTIATE_TEST_SUITE_P(
    Sockets, LookUpHostTable,
    ::testing::Values(TLookUpCase{"Loopback", L"127.0.0.1", true, Ip(127, 0, 0, 1)},
                      TLookUpCase{"Broadcast", L"255.255.255.255", true, INADDR_NONE},
                      TLookUpCase{"UnknownName", L"no-such-host.invalid", false, INADDR_NONE},
                      TLookUpCase{"PartTooLarge", L"255.255.255.256", false, INADDR_NONE},
                      TLookUpCase{"ZeroCharacter", std::wstring(L"255.255.255.255\0x", 17), false, INADDR_NONE}),
    TCaseName());

TEST(Sockets, LookUpHostResolvesNames) {
  std::uint32_t address = 0;
  ASSERT_TRUE(LookUpHost(L"localhost", address));
  EXPECT_EQ(IpToStr(address).substr(0, 4), L"127.");
}

TEST(Sockets, StartIsIdempotentWhileRunning) {
  // The library started Winsock already; a second start must not stack another start-up.
  EXPECT_NO_THROW(SocketsStart());
  TTestSocket channel;
  EXPECT_TRUE(channel.IsSocketValid());
}

}  // namespace
