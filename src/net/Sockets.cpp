#include "net/Sockets.h"

#include "base/Unicode.h"

#include <ws2tcpip.h>

#include <cstring>
#include <iterator>

namespace {

struct TWinsockError {
  std::int32_t Code;
  const wchar_t* Name;
  const wchar_t* Text;  // nullptr: no description
};

const TWinsockError kWinsockErrors[] = {
    {10004, L"WSAEINTR", L"Interrupted function call"},
    {10009, L"WSAEBADF", nullptr},
    {10013, L"WSAEACCES", nullptr},
    {10014, L"WSAEFAULT", L"Bad address"},
    {10022, L"WSAEINVAL", L"Invalid argument"},
    {10024, L"WSAEMFILE", L"Too many open files"},
    {10035, L"WSAEWOULDBLOCK", L"Operation would block"},
    {10036, L"WSAEINPROGRESS", L"Operation now in progress"},
    {10037, L"WSAEALREADY", L"Operation already in progress"},
    {10038, L"WSAENOTSOCK", L"Socket operation on non-socket"},
    {10039, L"WSAEDESTADDRREQ", L"Destination address required"},
    {10040, L"WSAEMSGSIZE", L"Message too long"},
    {10041, L"WSAEPROTOTYPE", L"Protocol wrong type for socket"},
    {10042, L"WSAENOPROTOOPT", L"Bad protocol option"},
    {10043, L"WSAEPROTONOSUPPORT", L"Protocol not supported"},
    {10044, L"WSAESOCKTNOSUPPORT", L"Socket type not supported"},
    {10045, L"WSAEOPNOTSUPP", L"Operation not supported"},
    {10046, L"WSAEPFNOSUPPORT", L"Protocol family not supported"},
    {10047, L"WSAEAFNOSUPPORT", L"Address family not supported by protocol family"},
    {10048, L"WSAEADDRINUSE", L"Address already in use"},
    {10049, L"WSAEADDRNOTAVAIL", L"Cannot assign requested address"},
    {10050, L"WSAENETDOWN", L"Network is down"},
    {10051, L"WSAENETUNREACH", L"Network is unreachable"},
    {10052, L"WSAENETRESET", L"Network dropped connection on reset"},
    {10053, L"WSAECONNABORTED", L"Software caused connection abort"},
    {10054, L"WSAECONNRESET", L"Connection reset by peer"},
    {10055, L"WSAENOBUFS", L"No buffer space available"},
    {10056, L"WSAEISCONN", L"Socket is already connected"},
    {10057, L"WSAENOTCONN", L"Socket is not connected"},
    {10058, L"WSAESHUTDOWN", L"Cannot send after socket shutdown"},
    {10059, L"WSAETOOMANYREFS", nullptr},
    {10060, L"WSAETIMEDOUT", L"Connection timed out"},
    {10061, L"WSAECONNREFUSED", L"Connection refused"},
    {10062, L"WSAELOOP", nullptr},
    {10063, L"WSAENAMETOOLONG", nullptr},
    {10064, L"WSAEHOSTDOWN", L"Host is down"},
    {10065, L"WSAEHOSTUNREACH", L"No route to host"},
    {10066, L"WSAENOTEMPTY", nullptr},
    {10067, L"WSAEPROCLIM", L"Too many processes"},
    {10068, L"WSAEUSERS", nullptr},
    {10069, L"WSAEDQUOT", nullptr},
    {10070, L"WSAESTALE", nullptr},
    {10071, L"WSAEREMOTE", nullptr},
    {10091, L"WSASYSNOTREADY", L"Network subsystem is unavailable"},
    {10092, L"WSAVERNOTSUPPORTED", L"WINSOCK.DLL version out of range"},
    {10093, L"WSANOTINITIALISED", L"Successful WSAStartup() not yet performed"},
    {10101, L"WSAEDISCON", L"WSAEDISCON"},
    {10102, L"WSAENOMORE", L"WSAENOMORE"},
    {10103, L"WSAECANCELLED", L"WSAECANCELLED"},
    {10104, L"WSAEINVALIDPROCTABLE", L"WSAEINVALIDPROCTABLE"},
    {10105, L"WSAEINVALIDPROVIDER", L"WSAEINVALIDPROVIDER"},
    {10106, L"WSAEPROVIDERFAILEDINIT", L"WSAEPROVIDERFAILEDINIT"},
    {10107, L"WSASYSCALLFAILURE", L"WSASYSCALLFAILURE"},
    {10108, L"WSASERVICE_NOT_FOUND", L"WSASERVICE_NOT_FOUND"},
    {10109, L"WSATYPE_NOT_FOUND", L"WSATYPE_NOT_FOUND"},
    {10110, L"WSA_E_NO_MORE", L"WSA_E_NO_MORE"},
    {10111, L"WSA_E_CANCELLED", L"WSA_E_CANCELLED"},
    {10112, L"WSAEREFUSED", L"WSAEREFUSED"},
    {11001, L"WSAHOST_NOT_FOUND", L"Host not found"},
    {11002, L"WSATRY_AGAIN", L"Non-authoritative host not found"},
    {11003, L"WSANO_RECOVERY", L"This is a non-recoverable error"},
    {11004, L"WSANO_DATA", L"Valid name, no data record of requested type"},
};

const TWinsockError* FindWinsockError(std::int32_t code) {
  for (const TWinsockError& e : kWinsockErrors)
    if (e.Code == code) return &e;
  return nullptr;
}

// The codes after which a connection counts as lost.
bool IsConnectionLoss(std::int32_t code) {
  switch (code) {
    case WSAENETDOWN:
    case WSAENOTCONN:
    case WSAENOTSOCK:
    case WSAESHUTDOWN:
    case WSAECONNABORTED:
    case WSAECONNRESET:
    case WSAENETRESET:
      return true;
    default:
      return false;
  }
}

bool gWinsockStarted = false;

}  // namespace

TWinSocket::TWinSocket(std::unique_ptr<TLogger> logger) : TChannel(std::move(logger)) {}

bool TWinSocket::DataAvailable(std::uint32_t timeoutMillisec) {
  if (!IsSocketValid()) return false;
  fd_set readSet;
  FD_ZERO(&readSet);
  FD_SET(FSocket.Get(), &readSet);
  timeval timeout{};
  timeout.tv_sec = static_cast<long>(timeoutMillisec / 1000u);
  timeout.tv_usec = static_cast<long>((timeoutMillisec % 1000u) * 1000u);
  int result = ::select(0, &readSet, nullptr, nullptr, timeoutMillisec == kInfinite ? nullptr : &timeout);
  if (result == SOCKET_ERROR) {
    HandleError(::WSAGetLastError());
    return false;
  }
  return result != 0;
}

void TWinSocket::CancelPendingAction() {
  if (!::WSAIsBlocking()) return;
  if (::WSACancelBlockingCall() == SOCKET_ERROR)
    HandleError(::WSAGetLastError());
  else
    HandleError(WSAECANCELLED);
}

void TWinSocket::HandleError(std::int32_t errorCode) {
  SetLastError(errorCode);
  if (IsConnectionLoss(errorCode)) SetConnected(false);
  if (errorCode == 0 || errorCode == WSAEINTR) return;
  RaiseError<ESocketsError>(WinsockErrorName(errorCode) + L": " + WinsockErrorText(errorCode));
}

std::string TWinSocket::RecvWait(std::uint32_t timeoutMillisec) {
  std::string buffer;
  if (DataAvailable(timeoutMillisec)) Recv(buffer);
  return buffer;
}

std::wstring IpToStr(std::uint32_t address) {
  in_addr addr{};
  addr.s_addr = address;
  const char* text = ::inet_ntoa(addr);
  return text ? AnsiToText(text) : std::wstring();
}

std::uint32_t StrToIp(const std::wstring& text) {
  // A zero character would end the text early for the platform and hide what follows it.
  if (text.find(L'\0') != std::wstring::npos) return INADDR_NONE;
  return ::inet_addr(TextToAnsi(text).c_str());
}

bool IsIpValid(std::uint32_t address) { return address != INADDR_NONE; }

TInAddrArray HostAddresses(const hostent* hostEntry) {
  TInAddrArray addresses;
  if (!hostEntry || !hostEntry->h_addr_list || hostEntry->h_addrtype != AF_INET ||
      hostEntry->h_length != sizeof(std::uint32_t))
    return addresses;
  for (char** entry = hostEntry->h_addr_list; *entry; ++entry) {
    std::uint32_t address;
    std::memcpy(&address, *entry, sizeof address);
    addresses.push_back(address);
  }
  return addresses;
}

bool LookUpHost(const std::wstring& host, std::uint32_t& address) {
  address = StrToIp(host);
  if (IsIpValid(address)) return true;
  if (host.find(L'\0') != std::wstring::npos) return false;
  const std::string ansi = TextToAnsi(host);
  // inet_addr answers 255.255.255.255 and "no address" alike; the strict parser tells them apart.
  in_addr dotted{};
  if (::inet_pton(AF_INET, ansi.c_str(), &dotted) == 1) {
    address = dotted.s_addr;
    return true;
  }
  TInAddrArray found = HostAddresses(::gethostbyname(ansi.c_str()));
  if (found.empty()) return false;
  address = found.front();
  return true;
}

std::uint32_t ResolveHost(const std::wstring& host) {
  std::uint32_t address;
  LookUpHost(host, address);
  return address;
}

std::wstring ResolveHostToStr(const std::wstring& host) { return IpToStr(ResolveHost(host)); }

std::wstring WinsockErrorName(std::int32_t errorCode) {
  const TWinsockError* e = FindWinsockError(errorCode);
  return e ? std::wstring(e->Name) : L"WinSock Error #" + std::to_wstring(errorCode);
}

std::wstring WinsockErrorText(std::int32_t errorCode) {
  const TWinsockError* e = FindWinsockError(errorCode);
  return e && e->Text ? std::wstring(e->Text) : L"Error #" + std::to_wstring(errorCode);
}

void SocketsStart() {
  if (gWinsockStarted) return;
  WSADATA data;
  std::memset(&data, 0, sizeof data);
  if (::WSAStartup(0x0101, &data) != 0) throw ESocketsError(L"WsaStartup not successful");
  gWinsockStarted = true;
}

void SocketsStop() {
  if (!gWinsockStarted) return;
  gWinsockStarted = false;
  ::WSACancelBlockingCall();
  ::WSACleanup();
}
