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
  explicit TChannel(std::unique_ptr<TLogger> Logger = nullptr);
  TChannel(const TChannel&) = delete;
  TChannel& operator=(const TChannel&) = delete;
  virtual ~TChannel();

  TLogger* Logger() const noexcept { return FLogger.get(); }
  // Frees the attached logger, then attaches the new one. Handing back the logger that is
  // already attached keeps it.
  void SetLogger(std::unique_ptr<TLogger> Logger);
  std::int32_t LastError() const noexcept { return FLastError; }
  bool Connected() const noexcept { return FConnected; }

  // Passes the text (or the bytes) to the logger when one is attached.
  void Log(const std::wstring& Text, TLogType LogType);
  void LogData(const void* Data, int DataLength, TLogType LogType);

  // Logs Msg as an error when a logger is attached, then raises E with Msg.
  template <EChannelErrorClass E>
  [[noreturn]] void RaiseError(const std::wstring& Msg) {
    Log(Msg, ltError);
    throw E(Msg);
  }

  // Virtual operations, in this order; those without a body here raise EAbstractError.
  virtual void HandleError(std::int32_t ErrorCode);
  virtual void Connect(const std::wstring& ConnectString);
  virtual void Disconnect();
  virtual void Send(const void* Buffer, int Length);
  virtual void Recv(std::string& Buffer);  // one receive, whatever is available
  virtual std::string RecvWait(std::uint32_t TimeoutMilliseconds);
  virtual int InQueue();   // bytes waiting to be received
  virtual int OutQueue();  // bytes waiting to be sent
  virtual void FlushInQueue();
  virtual void FlushOutQueue();
  virtual bool DataWaiting();

  void Send(const std::string& Buffer);
  // Receives until at least BytesToWaitFor bytes are there (whole receives are appended).
  void Recv(std::string& Buffer, int BytesToWaitFor);
  // Receives until SequenceToWaitFor occurs; bytes after it stay in Buffer.
  void Recv(std::string& Buffer, const std::string& SequenceToWaitFor);
  // The next line ended by LineTerminator, without it; bytes in IgnoreChars (except the
  // terminator's) are dropped from what is received. Empty when a wait timed out.
  std::string RecvLine(const std::string& LineTerminator, const TCharset& IgnoreChars, std::uint32_t Timeout);

protected:
  void SetConnected(bool Value) noexcept { FConnected = Value; }
  void SetLastError(std::int32_t Value) noexcept { FLastError = Value; }

private:
  // The line at the front of FLineBuffer without its terminator (which is removed with it);
  // empty, leaving the buffer alone, when no terminator is there.
  std::string ExtractLine(const std::string& LineTerminator);

  std::unique_ptr<TLogger> FLogger;
  bool FConnected = false;
  std::int32_t FLastError = 0;
  std::string FLineBuffer;
};
