#pragma once
// Driving a query of the value query dialog as a user does: the query shows its window modally
// and blocks, so the steps run on a timer of the same thread, inside the dialog's modal loop.
#include "support/TestSupport.h"
#include "support/UserInput.h"
#include "toolkit/ExtCtrls.h"
#include "ui/FrmQueryValue.h"

#include <chrono>
#include <functional>
#include <vector>

// The query window that is showing now, or null.
inline TFrmQueryValue* OpenQuery() {
  for (TForm* form : Application().Forms())
    if (auto* query = dynamic_cast<TFrmQueryValue*>(form); query && query->IsShowing()) return query;
  return nullptr;
}

// A step runs until it returns true; then the next one starts.
using TStep = std::function<bool()>;

inline TStep Do(std::function<void()> action) {
  return [action] {
    action();
    return true;
  };
}

// Waits until the query window is in front with the focus on one of its controls, and hands
// it to the next steps through query.
inline TStep WaitForQuery(TFrmQueryValue*& query) {
  return [&query] {
    query = OpenQuery();
    if (!query || ::GetForegroundWindow() != query->Handle()) return false;
    HWND focus = ::GetFocus();
    return focus && ::IsChild(query->Handle(), focus);
  };
}

inline TStep Key(WORD key) {
  return Do([key] { PressKey(key); });
}

inline TStep Type(const std::wstring& text) {
  return Do([text] { TypeText(text); });
}

// Runs the steps while Query runs and returns its result. A script that does not finish in
// time cancels the window, so that a failing test does not hang.
class TQueryScript {
public:
  explicit TQueryScript(std::vector<TStep> steps) : FSteps(std::move(steps)), FTimer(nullptr) {
    FTimer.SetInterval(30);
    FTimer.OnTimer = [this](TObject*) { Tick(); };
  }

  template <class TQuery>
  bool Run(TQuery query) {
    FStart = std::chrono::steady_clock::now();
    const bool result = query();
    EXPECT_TRUE(Done()) << "the window closed after step " << FNext << " of " << FSteps.size();
    EXPECT_EQ(OpenQuery(), nullptr);
    return result;
  }
  bool Done() const { return FNext == FSteps.size(); }

private:
  void Tick() {
    if (std::chrono::steady_clock::now() - FStart > std::chrono::seconds(20)) {
      ADD_FAILURE() << "step " << FNext << " did not finish; the window is cancelled";
      FNext = FSteps.size();
      if (TFrmQueryValue* query = OpenQuery()) query->SetModalResult(mrCancel);
      return;
    }
    if (FNext < FSteps.size() && FSteps[FNext]()) ++FNext;
  }

  std::vector<TStep> FSteps;
  size_t FNext = 0;
  TTimer FTimer;
  std::chrono::steady_clock::time_point FStart;
};
