#pragma once
// The main window: the log view, the tool column and the UDP server it polls.
#include "app/FindBar.h"
#include "app/LogFeed.h"
#include "app/LogStatus.h"
#include "app/ViewOptions.h"
#include "base/BackgroundWork.h"
#include "net/Udp.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/LogMemo.h"
#include "toolkit/ToolPanel.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>

// The server of the main window: every datagram becomes lines of the log view; no replies.
class TLoggerUdpServer : public TUdpServer {
public:
  using TUdpServer::TUdpServer;
  std::string HandleDatagram(const std::string& datagram) override;
};

class TFrmMain : public TForm {
public:
  TFrmMain();
  ~TFrmMain() override;

  // The window's parts, in the order of its description; the window owns them.
  TLogMemo* MmoLog;
  TTimer* Timer;
  TToolPanel* PnlTools;
  TToolButton* BtnClear;
  TToolButton* BtnSave;
  TToolButton* BtnInsertSeparator;
  TToolButton* BtnInfo;
  TToolButton* BtnIncFontSize;
  TToolButton* BtnDecFontSize;
  TToolButton* BtnPort;
  TToolButton* BtnCopy;
  TToolButton* BtnHexDump;
  std::unique_ptr<TLoggerUdpServer> UdpServer;

  // The port the window listens on when it is shown.
  static constexpr int kDefaultPort = 6702;
  // The stored font size of the view (points) and its limits: 4 at least, as the smaller-font
  // command stops there; at most a size that still shows a few characters on a large screen.
  static constexpr const wchar_t* kFontSizeEntry = L"Settings\rFont Size\r8";
  static constexpr int kDesignFontSize = 9;
  static constexpr int kMinFontSize = 4;
  static constexpr int kMaxFontSize = 400;
  // Whether the status line shows, kept beside the font size.
  static constexpr const wchar_t* kStatusLineEntry = L"Settings\rStatus Line\r1";

  // The port the command line names (/P:port or /Port:port, the latter winning), else 6702.
  static int CommandLinePort();
  // Kibibytes that may wait for the view before datagrams are dropped (/Backlog:KiB), else 0
  // for the feed's own limit.
  static int CommandLineBacklogKib();

  // Moves the server to port (0: a port the system chooses). The new port is bound before the
  // old one closes: a port that cannot be bound is reported, and the server stays where it was.
  // The view is never touched.
  void ChangePort(int port);

  // Takes a received datagram for the view, as text (in the character set chosen now) or hex
  // dump as the "Hex" button stands now, with where and when it came from.
  void QueueDatagram(const std::string& datagram, const TUdpServer::TDatagramOrigin& origin);

protected:
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
  void FormCreate(TObject* sender);
  void FormShow(TObject* sender);
  void FormHide(TObject* sender);
  void TimerTimer(TObject* sender);

  // What was received and waits for the view: the timer fills it from the socket and shows
  // from it for a bounded time per tick.
  std::unique_ptr<TLogMemoView> FLogView;
  std::unique_ptr<TLogFeed> FLogFeed;

  // The counts along the bottom, brought up to date by a timer of their own.
  std::unique_ptr<TLogStatusLine> FStatusLine;
  TTimer* TimStatus = nullptr;
  TRateMeter FRate;
  void TimStatusTimer(TObject* sender);

  // Ctrl+F: finding in the view, in slices of the ticks.
  std::unique_ptr<TFindBar> FFindBar;
  void SetStatusLineShown(bool shown);
  void BtnClearClick(TObject* sender);
  void BtnSaveClick(TObject* sender);
  void BtnCopyClick(TObject* sender);
  void BtnInsertSeparatorClick(TObject* sender);
  void BtnIncFontSizeClick(TObject* sender);
  void BtnDecFontSizeClick(TObject* sender);
  void BtnPortClick(TObject* sender);
  void BtnInfoClick(TObject* sender);

  // Saving runs on a thread of its own (as the view's copy does), on a snapshot of the view
  // taken at the click, so that the window keeps answering and receiving while a large view is
  // written; the check mark (or the error) follows when the work is done, or Done, if given,
  // runs then on the window's thread (a question, and the next step).
  std::unique_ptr<TBackgroundWork> FBackgroundWork;
  std::atomic<HWND> FBackgroundWorkWindow{nullptr};
  void RunInBackground(std::function<void()> work, std::function<void()> done = {});

  // The view's options (context menu), applied to the view and the feed and kept.
  TViewOptions FViewOptions;
  void ApplyViewOptions(const TViewOptions& options);

  void SetLogFontSize(int points);
  void StoreLogFontSize();
  // Caption, title and button show the port the server is bound to.
  void ShowBoundPort();
};

// The program's one main window; the server's datagram handler reaches the view through it.
extern TFrmMain* FrmMain;
