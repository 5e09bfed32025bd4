#include "base/Exception.h"

#include "base/Handle.h"
#include "base/Unicode.h"

Exception::Exception(std::wstring message) : FMessage(std::move(message)), FWhat(TextToUtf8(FMessage)) {}

EAbstractError::EAbstractError() : Exception(L"Abstract Error") {}

EOSError::EOSError(unsigned long errorCode, const std::wstring& context)
    : Exception(context.empty() ? SysErrorMessage(errorCode) : context + L": " + SysErrorMessage(errorCode)),
      FErrorCode(errorCode) {}

void RaiseLastOSError(const std::wstring& context) { throw EOSError(::GetLastError(), context); }

std::wstring SysErrorMessage(unsigned long errorCode) {
  wchar_t* buffer = nullptr;
  DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      errorCode, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  const TLocalMemory owner(buffer);
  std::wstring text;
  if (buffer) text.assign(buffer, length);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
    text.pop_back();
  if (text.empty()) text = L"System error " + std::to_wstring(errorCode);
  return text;
}

std::wstring ExceptionMessage(const std::exception& e) {
  if (auto* own = dynamic_cast<const Exception*>(&e)) return own->Message();
  return Utf8ToText(e.what());
}
