#include "support/Pump.h"

#include "base/Win.h"
#include "toolkit/Forms.h"

namespace {

// Through the application's loop, so that dialog keys and key preview work as in the program.
// A quit message (a test's main form closed) ends nothing here.
void PumpWaiting() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    if (msg.message != WM_QUIT) Application().ProcessMessage(msg);
}

}  // namespace

bool PumpUntil(const std::function<bool()>& done, unsigned limitMsec) {
  ULONGLONG end = ::GetTickCount64() + limitMsec;
  for (;;) {
    PumpWaiting();
    if (done()) return true;
    if (::GetTickCount64() >= end) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void PumpFor(unsigned msec) {
  ULONGLONG end = ::GetTickCount64() + msec;
  do {
    PumpWaiting();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (::GetTickCount64() < end);
}
