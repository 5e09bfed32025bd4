#pragma once
// The abstract communication channel: connect, send, receive and queue queries, an optional
// traffic logger, the last error code and the composite receives built on one single receive.
#include "base/Exception.h"
#include "base/Strings.h"
#include "net/Logger.h"

#include <concepts>
#include <cstdint>
#include <memory>
#include <string>

class EChannelError : public Exception {
public:
  using Exception::Exception;
};

// The exception classes RaiseError may raise: EChannelError and its descendants.
template <class E>
concept EChannelErrorClass = std::derived_from<E, EChannelError>;

class TChannel {
public:
  // The channel owns the logger (none is allowed).
  explicit TChannel(std::unique_ptr<TLogger> logger = nullptr);
  TChannel(const TChannel&) = delete;
  TChannel& operator=(const TChannel&) = delete;
  virtual ~TChannel();

  TLogger* Logger() const noexcept { return FLogger.get(); }
  // Frees the attached logger, then attaches the new one. Handing back the logger that is
  // already attached keeps it.
  void SetLogger(std::unique_ptr<TLogger> logger);
  std::int32_t LastError() const noexcept { return FLastError; }
  bool Connected() const noexcept { return FConnected; }

  // Passes the text (or the bytes) to the logger when one is attached.
  void Log(const std::wstring& text, TLogType logType);
  void LogData(const void* data, int dataLength, TLogType logType);

  // Logs Msg as an error when a logger is attached, then raises E with Msg.
  template <EChannelErrorClass E>
  [[noreturn]] void RaiseError(const std::wstring& msg) {
    Log(msg, ltError);
    throw E(msg);
  }

  // Virtual operations, in this order; those without a body here raise EAbstractError.
  virtual void HandleError(std::int32_t errorCode);
  virtual void Connect(const std::wstring& connectString);
  virtual void Disconnect();
  virtual void Send(const void* buffer, int length);
  virtual void Recv(std::string& buffer);  // one receive, whatever is available
  virtual std::string RecvWait(std::uint32_t timeoutMilliseconds);
  virtual int InQueue();   // bytes waiting to be received
  virtual int OutQueue();  // bytes waiting to be sent
  virtual void FlushInQueue();
  virtual void FlushOutQueue();
  virtual bool DataWaiting();

  void Send(const std::string& buffer);
  // Receives until at least BytesToWaitFor bytes are there (whole receives are appended).
  void Recv(std::string& buffer, int bytesToWaitFor);
  // Receives until SequenceToWaitFor occurs; bytes after it stay in Buffer.
  void Recv(std::string& buffer, const std::string& sequenceToWaitFor);
  // The next line ended by LineTerminator, without it; bytes in IgnoreChars (except the
  // terminator's) are dropped from what is received. Empty when a wait timed out.
  std::string RecvLine(const std::string& lineTerminator, const TCharset& ignoreChars, std::uint32_t timeout);

protected:
  void SetConnected(bool value) noexcept { FConnected = value; }
  void SetLastError(std::int32_t value) noexcept { FLastError = value; }

private:
  // The line at the front of FLineBuffer without its terminator (which is removed with it);
  // empty, leaving the buffer alone, when no terminator is there.
  std::string ExtractLine(const std::string& lineTerminator);

  std::unique_ptr<TLogger> FLogger;
  bool FConnected = false;
  std::int32_t FLastError = 0;
  std::string FLineBuffer;
};
