#include "app/Library.h"

#include "base/DateTime.h"
#include "base/Files.h"
#include "base/Locale.h"
#include "base/Misc.h"
#include "base/Strings.h"
#include "base/TimeZones.h"
#include "lang/DmLang.h"
#include "net/Sockets.h"
#include "settings/AppSettings.h"
#include "ui/CmpStandard.h"
#include "ui/FrmMsgBox.h"
#include "ui/GraphicTypes.h"
#include "ui/WinHelpers.h"

#include <iterator>

namespace {

struct TUnit {
  void (*Start)();
  void (*Stop)();
};

// In dependency order; stopped in reverse.
const TUnit kUnits[] = {
    {LocaleStart, LocaleStop},
    {StringsStart, StringsStop},
    {DateTimeStart, DateTimeStop},
    {SocketsStart, SocketsStop},
    {FilesStart, FilesStop},
    {MiscStart, MiscStop},
    {TimeZonesStart, TimeZonesStop},
    {SettingsStart, SettingsStop},
    {FrmMsgBoxStart, FrmMsgBoxStop},  // the message-box hooks, before any window exists
    {WinHelpersStart, WinHelpersStop},
    {DmLangStart, DmLangStop},  // freed at stop before the settings stores
    {GraphicTypesStart, GraphicTypesStop},
    {CmpStandardStart, CmpStandardStop},
};

size_t gStarted = 0;

}  // namespace

void LibraryStart() {
  for (; gStarted < std::size(kUnits); ++gStarted)
    kUnits[gStarted].Start();
}

void LibraryStop() {
  while (gStarted > 0) {
    --gStarted;
    kUnits[gStarted].Stop();
  }
}
