// Section model base: grid ownership and geometry time stamp.
#include "analysis/model/CBaseXSectionAnalysis.h"

#include <ctime>

#include "analysis/model/CGrid.h"

IMPLEMENT_SERIAL(CBaseXSectionAnalysis, CModel, 1)

CBaseXSectionAnalysis::CBaseXSectionAnalysis() = default;

CBaseXSectionAnalysis::~CBaseXSectionAnalysis() { deleteGrid(); }

void CBaseXSectionAnalysis::geometryChanged() { geometryTime = static_cast<std::int64_t>(std::time(nullptr)); }

void CBaseXSectionAnalysis::deleteGrid() {
  delete grid;
  grid = nullptr;
}
