#include "app/Main.h"

#include "Resource.h"
#include "app/LogSave.h"
#include "base/CliParser.h"
#include "base/Misc.h"
#include "base/Strings.h"
#include "net/Sockets.h"
#include "settings/AppSettings.h"
#include "toolkit/Menus.h"
#include "ui/FrmAbout.h"
#include "ui/FrmPopupMsg.h"
#include "ui/FrmQueryValue.h"
#include "ui/WinHelpers.h"

#include <algorithm>

TFrmMain* FrmMain = nullptr;

namespace {

// Polling: every 200 ms while idle. A tick receives for at most its receive budget and shows
// what waits until its whole budget is spent (receiving, formatting, appending, painting), so
// that no flood keeps the window from answering; it then goes on at the next opportunity (the
// shortest timer, which comes after input and painting).
constexpr unsigned kPollInterval = 200;
constexpr unsigned kCatchUpInterval = USER_TIMER_MINIMUM;
constexpr std::uint32_t kReceiveBudgetMsec = 50;
constexpr std::chrono::milliseconds kTickBudget{100};
// While a search runs, its share of the tick: the view never waits for it long.
constexpr std::chrono::milliseconds kSearchShare{40};

// A UDP port number has 16 bits.
constexpr int kMaxPort = 65535;

// Posted by the background work when a piece of it is done.
constexpr UINT kBackgroundWorkDone = WM_APP + 1;

std::wstring BindFailureText(int port, const std::wstring& error) {
  return L"UDP-Server kann nicht an Port " + std::to_wstring(port) + L" gebunden werden. Fehler: " + error;
}

// The view stops growing at three quarters of the machine's memory, as it does when an
// allocation fails: under Wine on Linux memory is overcommitted, allocations do not fail there,
// and the system would end the program instead. 0 (no cap) when the system does not say.
std::size_t ViewMemoryCap() {
  MEMORYSTATUSEX memory{};
  memory.dwLength = sizeof memory;
  return ::GlobalMemoryStatusEx(&memory) ? static_cast<std::size_t>(memory.ullTotalPhys / 4 * 3) : 0;
}

TToolButton* ToolButton(TForm* owner, TToolPanel* panel, const std::wstring& name, int top,
                        const std::wstring& hint) {
  auto* button = NewComponent<TToolButton>(owner, name);
  button->SetBounds(4, top, 23, 22);
  button->SetHint(hint);
  button->SetPanel(panel);
  return button;
}

TToolButton* PictureButton(TForm* owner, TToolPanel* panel, const std::wstring& name, int top, int iconId,
                           const std::wstring& hint) {
  auto* button = ToolButton(owner, panel, name, top, hint);
  button->SetGlyph(iconId);
  return button;
}

}  // namespace

std::string TLoggerUdpServer::HandleDatagram(const std::string& datagram) {
  if (FrmMain) FrmMain->QueueDatagram(datagram, Origin());
  return {};
}

TFrmMain::TFrmMain() : TForm(nullptr) {
  SetName(L"FrmMain");
  SetClientSize(509, 371);
  SetCaption(L"Zevrik Tavrino");
  SetFont(TFontDesc::FromPoints(L"Segoe UI", 9));
  SetScreenSnap(true);
  SetShowHint(true);
  // The log view takes Tab and Enter as text; the window is no dialog box.
  SetDialogKeys(false);

  MmoLog = NewComponent<TLogMemo>(this, L"MmoLog");
  MmoLog->SetScrollBars(ssBoth);
  MmoLog->SetAccessibleName(L"Protokoll");
  // Asked for as a fixed-pitch modern face, so that where Consolas is missing the system gives
  // a monospace face: the view draws in fixed cells, and the hex dump's columns line up.
  // (Without Windows fonts, a request of default pitch gets the proportional DejaVu Sans for
  // any name under Wine. The view never shapes its text, so no font's lookups can upset it; the
  // edit control it replaced crashed in Wine's Uniscribe on a line starting with U+02DC.)
  TFontDesc logFont = TFontDesc::FromPoints(L"Consolas", 9);
  logFont.Pitch = fpFixed;
  logFont.Family = FF_MODERN;
  MmoLog->SetFont(logFont);
  MmoLog->SetAlign(alClient);
  MmoLog->SetParent(this);

  MmoLog->SetMemoryCap(ViewMemoryCap());
  FLogView = std::make_unique<TLogMemoView>(*MmoLog);
  FLogFeed = std::make_unique<TLogFeed>(*FLogView);

  FStatusLine = std::make_unique<TLogStatusLine>(this, this);
  TimStatus = NewComponent<TTimer>(this, L"TimStatus");
  TimStatus->SetInterval(TLogStatusLine::kIntervalMsec);
  TimStatus->OnTimer = [this](TObject* sender) { TimStatusTimer(sender); };
  // Above the status line.
  FFindBar = std::make_unique<TFindBar>(this, this, *MmoLog);
  SetKeyPreview(true);
  OnKeyDown = [this](TObject*, unsigned short& key, TShiftState shift) {
    if (key != 0 && FFindBar->HandleKey(key, shift)) key = 0;
  };
  MmoLog->RemovedNotice = [](TLogMemo::TPos removed) {
    return L"[Tavrino: " + FormatCount(static_cast<double>(removed)) + L" ältere Zeilen entfernt]";
  };
  MmoLog->FullNotice = [] {
    return std::wstring(L"[Tavrino: Speicher voll, die Anzeige nimmt keine weiteren Zeilen auf]");
  };
  MmoLog->OnEditMenu = [this](TPopupMenu& menu) {
    menu.AddItem(L"MnuLine3", L"-");
    AddViewOptionItems(menu, FViewOptions, [this](const TViewOptions& options) {
      ApplyViewOptions(options);
      options.Store(AppSettings());
    });
    menu.AddItem(L"MnuLine4", L"-");
    menu.AddItem(L"MnuStatusLine", L"&Statuszeile", [this](TObject*) {
          SetStatusLineShown(!FStatusLine->Control()->Visible());
          if (AppSettings()) AppSettings()->WrBoolean(kStatusLineEntry, FStatusLine->Control()->Visible());
        })->SetChecked(FStatusLine->Control()->Visible());
  };

  Timer = NewComponent<TTimer>(this, L"Timer");
  Timer->SetInterval(kPollInterval);
  Timer->OnTimer = [this](TObject* sender) { TimerTimer(sender); };

  PnlTools = NewComponent<TToolPanel>(this, L"PnlTools");
  PnlTools->SetBounds(0, 0, 31, 371);
  PnlTools->SetAlign(alRight);
  PnlTools->SetParent(this);

  TToolPanel* tools = PnlTools;
  BtnClear = PictureButton(this, tools, L"BtnClear", 4, IDI_CLEAR, L"Leeren");
  BtnSave = PictureButton(this, tools, L"BtnSave", 28, IDI_SAVE, L"Speichern");
  BtnCopy = PictureButton(this, tools, L"BtnCopy", 52, IDI_COPY, L"Protokoll in Zwischenablage kopieren");
  BtnInsertSeparator = PictureButton(this, tools, L"BtnInsertSeparator", 76, IDI_SEPARATOR, L"Trennlinie einfügen");
  BtnIncFontSize = PictureButton(this, tools, L"BtnIncFontSize", 124, IDI_INCFONTSIZE, L"Schrift vergrößern");
  BtnDecFontSize = PictureButton(this, tools, L"BtnDecFontSize", 148, IDI_DECFONTSIZE, L"Schrift verkleinern");
  TFontDesc smallFonts;
  smallFonts.Name = L"Small Fonts";
  smallFonts.Height = -9;
  BtnPort = ToolButton(this, tools, L"BtnPort", 180, L"Port-Nummer festlegen");
  BtnPort->SetFont(smallFonts);
  BtnPort->SetCaption(std::to_wstring(kDefaultPort));
  BtnHexDump = ToolButton(this, tools, L"BtnHexDump", 216, L"Anzeige als HexDump");
  BtnHexDump->SetFont(smallFonts);
  BtnHexDump->SetCaption(L"Hex");
  BtnHexDump->SetGroupIndex(1);
  BtnHexDump->SetAllowAllUp(true);
  BtnInfo = PictureButton(this, tools, L"BtnInfo", 272, IDI_INFO, L"Info");
  // The window never gets too small for the tool column: every button stays reachable.
  SetMinClientSize(PnlTools->Width(), BtnInfo->Top() + BtnInfo->Height() + BtnClear->Top());

  BtnClear->OnClick = [this](TObject* sender) { BtnClearClick(sender); };
  BtnSave->OnClick = [this](TObject* sender) { BtnSaveClick(sender); };
  BtnCopy->OnClick = [this](TObject* sender) { BtnCopyClick(sender); };
  BtnInsertSeparator->OnClick = [this](TObject* sender) { BtnInsertSeparatorClick(sender); };
  BtnIncFontSize->OnClick = [this](TObject* sender) { BtnIncFontSizeClick(sender); };
  BtnDecFontSize->OnClick = [this](TObject* sender) { BtnDecFontSizeClick(sender); };
  BtnPort->OnClick = [this](TObject* sender) { BtnPortClick(sender); };
  BtnInfo->OnClick = [this](TObject* sender) { BtnInfoClick(sender); };

  OnCreate = [this](TObject* sender) { FormCreate(sender); };
  OnShow = [this](TObject* sender) { FormShow(sender); };
  OnHide = [this](TObject* sender) { FormHide(sender); };
  DoCreate();
}

TFrmMain::~TFrmMain() {
  FBackgroundWork.reset();  // a save the user asked for ends first
  UdpServer.reset();
  FFindBar.reset();
  FStatusLine.reset();
  FLogFeed.reset();
  FLogView.reset();
  DestroyComponents();
  if (FrmMain == this) FrmMain = nullptr;
}

void TFrmMain::FormCreate(TObject*) {
  // The program-wide settings stores: the program's own settings go to the registry.
  InitAppSettings(L"Software/Zevrik/Tavrino", false, L"");
}

int TFrmMain::CommandLinePort() {
  TCliParser parser;
  parser.ParseCmdLine(TOptionTypes{otSlash}, ocUpperCase, false);
  int port = kDefaultPort;
  // /Port is read after /P, so it wins when both are given.
  if (parser.HasOption(L"/P")) port = StrToIntDef(parser.OptionParam(L"/P"), kDefaultPort);
  if (parser.HasOption(L"/Port")) port = StrToIntDef(parser.OptionParam(L"/Port"), kDefaultPort);
  return port;
}

int TFrmMain::CommandLineBacklogKib() {
  TCliParser parser;
  parser.ParseCmdLine(TOptionTypes{otSlash}, ocUpperCase, false);
  return parser.HasOption(L"/Backlog") ? std::max(StrToIntDef(parser.OptionParam(L"/Backlog"), 0), 0) : 0;
}

void TFrmMain::FormShow(TObject*) {
  // Consolas where it is installed. The view is designed with it, so the list of fonts (a few
  // milliseconds of every start under Wine) is read only when the view has another one.
  if (TFontDesc font = MmoLog->Font(); font.Name != L"Consolas" && FontInstalled(L"Consolas")) {
    font.Name = L"Consolas";
    MmoLog->SetFont(font);
  }
  RestoreFormPlacement(this, nullptr);
  const int port = CommandLinePort();
  try {
    UdpServer = std::make_unique<TLoggerUdpServer>(nullptr, port);
  } catch (const std::exception& e) {
    MsgBox3(BindFailureText(port, ExceptionMessage(e)), MB_ICONINFORMATION, this);
    Close();
    return;
  }
  SetLogFontSize(AppSettings() ? AppSettings()->RdInteger(kFontSizeEntry) : kDesignFontSize);
  SetStatusLineShown(!AppSettings() || AppSettings()->RdBoolean(kStatusLineEntry));
  ApplyViewOptions(TViewOptions::Load(AppSettings()));
  if (const int kib = CommandLineBacklogKib(); kib > 0) FLogFeed->SetLimit(static_cast<std::size_t>(kib) << 10);
  BtnPort->SetCaption(std::to_wstring(UdpServer->Port()));
  SetCaption(L"Zevrik Tavrino    Port " + std::to_wstring(port));
  Application().SetTitle(L"Tavrino " + std::to_wstring(port));
}

void TFrmMain::FormHide(TObject*) {
  UdpServer.reset();
  // Closing ends the program: what still waits for the view goes with it.
  FLogFeed->Clear();
  SaveFormPlacement(this, nullptr);
}

void TFrmMain::QueueDatagram(const std::string& datagram, const TUdpServer::TDatagramOrigin& origin) {
  TArrival arrival;
  arrival.Hex = BtnHexDump->Down();
  arrival.Charset = FViewOptions.Charset;
  arrival.Columns = {.Time = FViewOptions.ReceiveTime, .Sender = FViewOptions.Sender};
  arrival.ReceivedAt = origin.ReceivedAt;
  arrival.SenderAddress = origin.Sender.sin_addr.s_addr;
  arrival.SenderPort = ntohs(origin.Sender.sin_port);
  FLogFeed->Push(datagram, arrival);
}

void TFrmMain::ApplyViewOptions(const TViewOptions& options) {
  FViewOptions = options;
  MmoLog->SetLineColours(options.LevelColours);
  MmoLog->SetLineLimit(options.LineLimit);
  MmoLog->PaintChanges();
}

void TFrmMain::SetLogFontSize(int points) {
  // A stored size of any value gives a readable view.
  TFontDesc font = MmoLog->Font();
  font.SetPoints(std::clamp(points, kMinFontSize, kMaxFontSize));
  MmoLog->SetFont(font);
}

void TFrmMain::StoreLogFontSize() {
  if (AppSettings()) AppSettings()->WrInteger(kFontSizeEntry, MmoLog->Font().Points());
}

void TFrmMain::BtnClearClick(TObject*) { MmoLog->Lines().Clear(); }

void TFrmMain::BtnSaveClick(TObject*) {
  std::wstring fileName;
  int filterIndex = 1;
  if (!SaveFileDialog(this, L"", L"", L"txt", kLogSaveFilter, fileName, &filterIndex)) return;
  // The text as the view holds it now; counting and writing read it on the worker thread.
  auto text = std::make_shared<const TLogTextSnapshot>(MmoLog->Content().Snapshot());
  if (LogFileCharsetOfFilter(filterIndex) == fcUtf8) {
    RunInBackground([fileName, text] { WriteLogFile(fileName, *text, fcUtf8); });
    return;
  }
  // Before an ANSI save, the characters it would lose are counted there, and the question
  // comes back to the window's thread.
  auto misfits = std::make_shared<std::int64_t>(0);
  RunInBackground([text, misfits] { *misfits = CountAnsiMisfits(*text); },
                  [this, fileName, text, misfits] {
                    TLogFileCharset charset = fcAnsi;
                    if (*misfits > 0) {
                      switch (MsgBox3(AnsiMisfitsQuestion(*misfits), MB_ICONQUESTION | MB_YESNOCANCEL, this)) {
                        case IDYES: charset = fcUtf8; break;
                        case IDNO: break;
                        default: return;
                      }
                    }
                    RunInBackground([fileName, text, charset] { WriteLogFile(fileName, *text, charset); });
                  });
}

void TFrmMain::BtnCopyClick(TObject*) {
  MmoLog->CopyToClipboard(0, MmoLog->Content().Length(), [this] { PopupTick(this); });
}

void TFrmMain::RunInBackground(std::function<void()> work, std::function<void()> done) {
  if (!FBackgroundWork)
    FBackgroundWork = std::make_unique<TBackgroundWork>(
        [this] { ::PostMessageW(FBackgroundWorkWindow.load(), kBackgroundWorkDone, 0, 0); });
  FBackgroundWorkWindow = Handle();
  FBackgroundWork->Add(std::move(work), [this, done = std::move(done)](std::exception_ptr error) {
    if (error) std::rethrow_exception(error);  // reported as the command's own error
    if (done)
      done();
    else
      PopupTick(this);
  });
}

LRESULT TFrmMain::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kBackgroundWorkDone) {
    if (FBackgroundWork) FBackgroundWork->FinishDone();
    return 0;
  }
  return TForm::WndProc(msg, wParam, lParam);
}

void TFrmMain::BtnInsertSeparatorClick(TObject*) {
  // After every datagram received so far, also those still waiting for the view.
  FLogFeed->AddLines({L"", std::wstring(99, L'='), L""});
}

void TFrmMain::BtnIncFontSizeClick(TObject*) {
  SetLogFontSize(MmoLog->Font().Points() + 1);
  StoreLogFontSize();
}

void TFrmMain::BtnDecFontSizeClick(TObject*) {
  if (MmoLog->Font().Points() <= kMinFontSize) return;
  SetLogFontSize(MmoLog->Font().Points() - 1);
  StoreLogFontSize();
}

void TFrmMain::BtnPortClick(TObject*) {
  if (!UdpServer) return;
  int port = UdpServer->Port();
  if (!TFrmQueryValue::QueryInteger(L"Port-Nummer", port, true)) return;
  // The window may have been closed while the dialog was open: its server is gone for good.
  if (!IsShowing() || !UdpServer) return;
  ChangePort(port);
}

void TFrmMain::ChangePort(int port) {
  if (port < 0 || port > kMaxPort) {
    // The socket would take the low 16 bits and bind some other port: refused before the
    // server is touched, so it goes on where it is.
    const std::wstring error = WinsockErrorName(WSAEINVAL) + L": " + WinsockErrorText(WSAEINVAL);
    MsgBox3(BindFailureText(port, error), MB_ICONINFORMATION, this);
    return;
  }
  // The port it is bound to already: a second socket could not bind it, and nothing is to change.
  if (UdpServer && port != 0 && port == UdpServer->Port()) {
    ShowBoundPort();
    return;
  }
  // The new port is bound before the old one is let go: one wrong number must not cost the log,
  // nor the port the program had (another program could take it meanwhile), nor its datagrams.
  std::unique_ptr<TLoggerUdpServer> next;
  try {
    next = std::make_unique<TLoggerUdpServer>(nullptr, port);
  } catch (const std::exception& e) {
    MsgBox3(BindFailureText(port, ExceptionMessage(e)), MB_ICONINFORMATION, this);
    return;
  }
  // What reached the old port so far goes into the log before its socket closes.
  if (UdpServer) UdpServer->Poll(0, kReceiveBudgetMsec);
  UdpServer = std::move(next);
  ShowBoundPort();
}

void TFrmMain::ShowBoundPort() {
  const std::wstring port = std::to_wstring(UdpServer->Port());
  SetCaption(L"Zevrik Tavrino    Port " + port);
  Application().SetTitle(L"Tavrino " + port);
  BtnPort->SetCaption(port);
}

void TFrmMain::TimerTimer(TObject*) {
  const auto start = std::chrono::steady_clock::now();
  // Receiving only stores the datagrams, so the socket is kept drained however slowly the view
  // takes them; the view gets the rest of the tick.
  bool more = UdpServer && UdpServer->Poll(0, kReceiveBudgetMsec);
  const auto viewBudget = FFindBar->IsOpen() ? kTickBudget - kSearchShare : kTickBudget;
  if (!FLogFeed->Show(start + viewBudget)) more = true;
  if (!FFindBar->Step(start + kTickBudget)) more = true;
  Timer->SetInterval(more ? kCatchUpInterval : kPollInterval);
}

void TFrmMain::SetStatusLineShown(bool shown) {
  FStatusLine->Control()->SetVisible(shown);
  TimStatus->SetEnabled(shown);
  if (shown) TimStatusTimer(nullptr);
}

void TFrmMain::TimStatusTimer(TObject*) {
  const TLogFeed::TCounts& counts = FLogFeed->Counts();
  TLogStatusFacts facts;
  facts.Received = counts.Received;
  facts.Dropped = counts.Dropped;
  facts.Lines = MmoLog->Lines().Count();
  facts.LineLimit = FViewOptions.LineLimit;
  facts.RemovedLines = MmoLog->RemovedLines();
  facts.MemoryFull = MmoLog->Full();
  facts.PerSecond = FRate.Sample(std::chrono::steady_clock::now(), counts.Received);
  facts.WaitingBytes = FLogFeed->Bytes();
  facts.MemoryBytes = MmoLog->BytesHeld();
  FStatusLine->Show(facts);
}

void TFrmMain::BtnInfoClick(TObject*) {
  const std::wstring port = UdpServer ? std::to_wstring(UdpServer->Port()) : std::wstring();
  const std::wstring info = L"Aktueller UDP-Port: " + port +
                            L"\r\n"
                            L"\r\n"
                            L"Kommandozeilen-Parameter:\r\n"
                            L"     Tavrino /P[ort]:<portnummer>\r\n"
                            L"\r\n"
                            L"Aufruf-Beispiele:\r\n"
                            L"     Tavrino /Port:6700\r\n"
                            L"     Tavrino /P:8600";
  TFrmAbout::Execute(L"Tavrino", L"2.0.6", info);
}
