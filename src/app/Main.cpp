#include "app/Main.h"

#include "Resource.h"
#include "base/Misc.h"
#include "base/Unicode.h"
#include "settings/AppSettings.h"

TFrmMain* FrmMain = nullptr;

namespace {

// Polling: every 200 ms while idle. A tick stops receiving after its budget, so that a flood
// cannot keep the window from painting and answering; it then goes on at the next
// opportunity (the shortest timer, which comes after input and painting).
constexpr unsigned kPollInterval = 200;
constexpr unsigned kCatchUpInterval = USER_TIMER_MINIMUM;
constexpr std::uint32_t kTickBudgetMsec = 100;

std::unique_ptr<TSpeedButton> ToolButton(TControl* parent, int top, const std::wstring& hint) {
  auto button = std::make_unique<TSpeedButton>(parent);
  button->SetBounds(4, top, 23, 22);
  button->SetHint(hint);
  return button;
}

std::unique_ptr<TSpeedButton> PictureButton(TControl* parent, int top, int iconId, const std::wstring& hint) {
  auto button = ToolButton(parent, top, hint);
  button->SetGlyph(iconId);
  return button;
}

}  // namespace

std::string TLoggerUdpServer::HandleDatagram(const std::string& Datagram) {
  if (!FrmMain) return {};
  if (FrmMain->BtnHexDump->Down())
    AddHexDump(&FrmMain->MmoLog->Lines(), Datagram.data(), static_cast<int>(Datagram.size()), 8);
  else
    FrmMain->MmoLog->Lines().Add(AnsiToText(Datagram));
  return {};
}

TFrmMain::TFrmMain() : TForm(509, 371) {
  FrmMain = this;
  SetCaption(L"Zevrik Tavrino");
  SetFont(TFontSpec::FromPoints(L"Segoe UI", 9));
  SetScreenSnap(true);
  SetShowHint(true);

  MmoLog = std::make_unique<TMemo>(this, ssBoth, false);
  MmoLog->SetFont(TFontSpec::FromPoints(L"Consolas", 9));
  MmoLog->SetAlign(alClient);

  Timer = std::make_unique<TTimer>();
  Timer->SetInterval(kPollInterval);
  Timer->OnTimer = [this](TObject* sender) { TimerTimer(sender); };

  PnlTools = std::make_unique<TPanel>(this);
  PnlTools->SetBounds(0, 0, 31, 371);
  PnlTools->SetAlign(alRight);

  TControl* tools = PnlTools.get();
  BtnClear = PictureButton(tools, 4, IDI_CLEAR, L"Leeren");
  BtnSave = PictureButton(tools, 28, IDI_SAVE, L"Speichern");
  BtnCopy = PictureButton(tools, 52, IDI_COPY, L"Protokoll in Zwischenablage kopieren");
  BtnInsertSeparator = PictureButton(tools, 76, IDI_SEPARATOR, L"Trennlinie einfügen");
  BtnIncFontSize = PictureButton(tools, 124, IDI_INCFONTSIZE, L"Schrift vergrößern");
  BtnDecFontSize = PictureButton(tools, 148, IDI_DECFONTSIZE, L"Schrift verkleinern");
  const TFontSpec smallFonts{L"Small Fonts", -9};
  BtnPort = ToolButton(tools, 180, L"Port-Nummer festlegen");
  BtnPort->SetFont(smallFonts);
  BtnPort->SetCaption(std::to_wstring(kDefaultPort));
  BtnHexDump = ToolButton(tools, 216, L"Anzeige als HexDump");
  BtnHexDump->SetFont(smallFonts);
  BtnHexDump->SetCaption(L"Hex");
  BtnHexDump->SetGroupIndex(1);
  BtnHexDump->SetAllowAllUp(true);
  BtnInfo = PictureButton(tools, 272, IDI_INFO, L"Info");

  OnCreate = [this](TObject* sender) { FormCreate(sender); };
  OnShow = [this](TObject* sender) { FormShow(sender); };
  OnHide = [this](TObject* sender) { FormHide(sender); };
  DoCreate();
}

TFrmMain::~TFrmMain() {
  UdpServer.reset();
  if (FrmMain == this) FrmMain = nullptr;
}

void TFrmMain::FormCreate(TObject*) {
  // The program-wide settings stores: the program's own settings go to the registry.
  InitAppSettings(L"Software/Zevrik/Tavrino", false, L"");
}

void TFrmMain::FormShow(TObject*) {
  const int port = kDefaultPort;
  try {
    UdpServer = std::make_unique<TLoggerUdpServer>(nullptr, port);
  } catch (const std::exception& e) {
    MsgBox3(L"UDP-Server kann nicht an Port " + std::to_wstring(port) + L" gebunden werden. Fehler: " +
                ExceptionMessage(e),
            MB_ICONINFORMATION, this);
    Close();
    return;
  }
  BtnPort->SetCaption(std::to_wstring(UdpServer->Port()));
  SetCaption(L"Zevrik Tavrino    Port " + std::to_wstring(port));
  Application().SetTitle(L"Tavrino " + std::to_wstring(port));
}

void TFrmMain::FormHide(TObject*) { UdpServer.reset(); }

void TFrmMain::TimerTimer(TObject*) {
  if (!UdpServer) return;
  // All lines of one tick go into the view in one edit operation.
  TStringsUpdate batch(MmoLog->Lines());
  bool more = UdpServer->Poll(0, kTickBudgetMsec);
  Timer->SetInterval(more ? kCatchUpInterval : kPollInterval);
}
