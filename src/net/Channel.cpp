#include "net/Channel.h"

#include "net/Logger.h"

TChannel::TChannel(std::unique_ptr<TLogger> Logger) : FLogger(std::move(Logger)) {}

// unique_ptr clears the field before it deletes, so the logger is detached while it dies.
TChannel::~TChannel() { FLogger.reset(); }

void TChannel::SetLogger(std::unique_ptr<TLogger> Logger) {
  if (Logger && Logger.get() == FLogger.get()) {
    // The caller handed back what we own already: keep it instead of freeing it under us.
    (void)Logger.release();
    return;
  }
  FLogger.reset();
  FLogger = std::move(Logger);
}

void TChannel::Log(const std::wstring& Text, TLogType LogType) {
  if (FLogger) FLogger->Log(Text, LogType);
}

void TChannel::LogData(const void* Data, int DataLength, TLogType LogType) {
  if (FLogger) FLogger->LogData(Data, DataLength, LogType);
}

void TChannel::HandleError(std::int32_t ErrorCode) {
  FLastError = ErrorCode;
  if (ErrorCode != 0) RaiseError<EChannelError>(L"Communications Error No. " + std::to_wstring(ErrorCode));
}

void TChannel::Connect(const std::wstring&) { throw EAbstractError(); }
void TChannel::Disconnect() { throw EAbstractError(); }
void TChannel::Send(const void*, int) { throw EAbstractError(); }
void TChannel::Recv(std::string&) { throw EAbstractError(); }
std::string TChannel::RecvWait(std::uint32_t) { throw EAbstractError(); }
int TChannel::InQueue() { throw EAbstractError(); }
int TChannel::OutQueue() { throw EAbstractError(); }
void TChannel::FlushInQueue() { FLineBuffer.clear(); }
void TChannel::FlushOutQueue() { throw EAbstractError(); }
bool TChannel::DataWaiting() { return InQueue() > 0; }

void TChannel::Send(const std::string& Buffer) { Send(Buffer.data(), static_cast<int>(Buffer.size())); }

void TChannel::Recv(std::string& Buffer, int BytesToWaitFor) {
  Buffer.clear();
  if (!FConnected || BytesToWaitFor <= 0) return;
  std::string chunk;
  do {
    chunk.clear();
    Recv(chunk);
    Buffer += chunk;
  } while (Buffer.size() < static_cast<size_t>(BytesToWaitFor) && FConnected && FLastError == 0);
}

void TChannel::Recv(std::string& Buffer, const std::string& SequenceToWaitFor) {
  Buffer.clear();
  if (!FConnected || SequenceToWaitFor.empty()) return;
  std::string chunk;
  size_t searchFrom = 0;  // earlier bytes were searched already
  do {
    chunk.clear();
    Recv(chunk);
    Buffer += chunk;
    if (Buffer.find(SequenceToWaitFor, searchFrom) != std::string::npos) break;
    if (Buffer.size() >= SequenceToWaitFor.size()) searchFrom = Buffer.size() - SequenceToWaitFor.size() + 1;
  } while (FConnected && FLastError == 0);
}

std::string TChannel::ExtractLine(const std::string& LineTerminator) {
  size_t pos = FLineBuffer.find(LineTerminator);
  if (pos == std::string::npos) return {};
  std::string line = FLineBuffer.substr(0, pos);
  FLineBuffer.erase(0, pos + LineTerminator.size());
  return line;
}

std::string TChannel::RecvLine(const std::string& LineTerminator, const TCharset& IgnoreChars,
                               std::uint32_t Timeout) {
  // An empty terminator ends no line: receiving would only fill the buffer for ever.
  if (LineTerminator.empty()) return {};
  std::string line = ExtractLine(LineTerminator);
  if (!line.empty()) return line;

  TCharset ignore = IgnoreChars;  // terminator bytes are never ignored
  for (char c : LineTerminator) ignore.Exclude(static_cast<unsigned char>(c));

  for (;;) {
    std::string received = RecvWait(Timeout);
    if (received.empty()) return {};
    if (!ignore.Empty())
      std::erase_if(received, [&ignore](char c) { return ignore.Contains(static_cast<unsigned char>(c)); });
    FLineBuffer += received;
    line = ExtractLine(LineTerminator);
    if (!line.empty()) return line;
  }
}
