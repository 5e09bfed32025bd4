#include "net/Channel.h"

#include "net/Logger.h"

TChannel::TChannel(std::unique_ptr<TLogger> logger) : FLogger(std::move(logger)) {}

// unique_ptr clears the field before it deletes, so the logger is detached while it dies.
TChannel::~TChannel() { FLogger.reset(); }

void TChannel::SetLogger(std::unique_ptr<TLogger> logger) {
  if (logger && logger.get() == FLogger.get()) {
    // The caller handed back what we own already: keep it instead of freeing it under us.
    (void)logger.release();
    return;
  }
  FLogger.reset();
  FLogger = std::move(logger);
}

void TChannel::Log(const std::wstring& text, TLogType logType) {
  if (FLogger) FLogger->Log(text, logType);
}

void TChannel::LogData(const void* data, int dataLength, TLogType logType) {
  if (FLogger) FLogger->LogData(data, dataLength, logType);
}

void TChannel::HandleError(std::int32_t errorCode) {
  FLastError = errorCode;
  if (errorCode != 0) RaiseError<EChannelError>(L"Communications Error No. " + std::to_wstring(errorCode));
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

void TChannel::Send(const std::string& buffer) { Send(buffer.data(), static_cast<int>(buffer.size())); }

void TChannel::Recv(std::string& buffer, int bytesToWaitFor) {
  buffer.clear();
  if (!FConnected || bytesToWaitFor <= 0) return;
  std::string chunk;
  do {
    chunk.clear();
    Recv(chunk);
    buffer += chunk;
  } while (buffer.size() < static_cast<size_t>(bytesToWaitFor) && FConnected && FLastError == 0);
}

void TChannel::Recv(std::string& buffer, const std::string& sequenceToWaitFor) {
  buffer.clear();
  if (!FConnected || sequenceToWaitFor.empty()) return;
  std::string chunk;
  size_t searchFrom = 0;  // earlier bytes were searched already
  do {
    chunk.clear();
    Recv(chunk);
    buffer += chunk;
    if (buffer.find(sequenceToWaitFor, searchFrom) != std::string::npos) break;
    if (buffer.size() >= sequenceToWaitFor.size()) searchFrom = buffer.size() - sequenceToWaitFor.size() + 1;
  } while (FConnected && FLastError == 0);
}

std::string TChannel::ExtractLine(const std::string& lineTerminator) {
  size_t pos = FLineBuffer.find(lineTerminator);
  if (pos == std::string::npos) return {};
  std::string line = FLineBuffer.substr(0, pos);
  FLineBuffer.erase(0, pos + lineTerminator.size());
  return line;
}

std::string TChannel::RecvLine(const std::string& lineTerminator, const TCharset& ignoreChars,
                               std::uint32_t timeout) {
  // An empty terminator ends no line: receiving would only fill the buffer for ever.
  if (lineTerminator.empty()) return {};
  std::string line = ExtractLine(lineTerminator);
  if (!line.empty()) return line;

  TCharset ignore = ignoreChars;  // terminator bytes are never ignored
  for (char c : lineTerminator) ignore.Exclude(static_cast<unsigned char>(c));

  for (;;) {
    std::string received = RecvWait(timeout);
    if (received.empty()) return {};
    if (!ignore.Empty())
      std::erase_if(received, [&ignore](char c) { return ignore.Contains(static_cast<unsigned char>(c)); });
    FLineBuffer += received;
    line = ExtractLine(lineTerminator);
    if (!line.empty()) return line;
  }
}
