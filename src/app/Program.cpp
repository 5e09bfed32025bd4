// Program entry: start the library, create the main window, run the message loop.
#include "app/Library.h"
#include "app/Main.h"
#include "base/Exception.h"
#include "base/Misc.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    LibraryStart();
  } catch (const std::exception& e) {
    MsgBox(ExceptionMessage(e), MB_OK | MB_ICONSTOP);
    LibraryStop();  // the units that did start
    return 1;
  }
  int exitCode = 0;
  try {
    Application().Initialize();
    Application().SetMainFormOnTaskBar(true);
    Application().SetTitle(L"Tavrino");
    auto mainForm = std::make_unique<TFrmMain>();
    FrmMain = mainForm.get();
    Application().SetMainForm(FrmMain);
    Application().Run();
  } catch (const std::exception& e) {
    MsgBox(ExceptionMessage(e), MB_OK | MB_ICONSTOP);
    exitCode = 1;
  }
  LibraryStop();
  return exitCode;
}
