// The base of the cross-section model: the model root with the model's
// name, the current sub-section's name, the sampling grid and the time of
// the last geometry change.
#pragma once

#include <cstdint>

#include "analysis/model/CModel.h"

#include "platform/core/CString.h"

class CGrid;

// Serial class "CBaseXSectionAnalysis" (schema 1). Its stream part is the
// model root's; the members below are set by the section model.
class CBaseXSectionAnalysis : public CModel {
  DECLARE_SERIAL(CBaseXSectionAnalysis)

 public:
  // The model root part, both names empty, no grid, geometryTime 0.
  CBaseXSectionAnalysis();
  // Destroys the grid, then the model root part.
  ~CBaseXSectionAnalysis() override;

  // geometryTime := the current calendar time in seconds.
  void geometryChanged();
  // Destroys the grid (if any) and sets grid to null.
  void deleteGrid();

  CString name;         // the model's name
  CString currentName;  // name of the current sub-section
  CGrid* grid = nullptr;  // owned sampling grid; null when none
  std::int64_t geometryTime = 0;  // seconds since 1970-01-01 UTC; 0 when none
};
