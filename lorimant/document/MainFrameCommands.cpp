// The window-free half of the main frame's own commands.
#include "lorimant/document/MainFrameCommands.h"

#include "analysis/model/CVersionInfo.h"
#include "analysis/model/Globals.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/document/LorimantApplication.h"
#include "lorimant/document/LorimantVersion.h"

CString AboutProgramName() { return CString(kApplicationName); }

CString AboutVersionText() {
  CVersionInfo info;
  CString version = kLorimantProductVersion;
  if (info.Load(kApplicationName) != 0 && !info.GetProductVersionAsString().IsEmpty())
    version = info.GetProductVersionAsString();
  return CString(L"Version ") + version;
}

CString AboutBuiltOnText() { return CString(L"Built On: ") + kLorimantBuiltOn; }

CString UnitSystemJournalLine(int selection) {
  return CString(selection != 0 ? L"xscn.SetUnitSystem QHT_USCS" : L"xscn.SetUnitSystem QHT_SI");
}

void ApplyUnitsChoice(CXSectionAnalysisDoc* doc, int selection) {
  const int units = selection != 0 ? 1 : 0;
  if (doc == nullptr) {
    gUnitSystem = static_cast<EUnitSystem>(units);
    return;
  }
  ILorimant::SetUnitsystem(*doc, units);
  gLogMsg = UnitSystemJournalLine(units);
  doc->LogIt();
}
