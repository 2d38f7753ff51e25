// The reference grid laid over a cross-section's extents: major lines at a
// tidy spacing with three minor lines between neighbours.
#pragma once

#include <vector>

#include "analysis/geometry/Point.h"

#include "platform/core/CObject.h"

class CArchive;

// Grid lines over the box minP..maxP. The major spacing is a power of ten,
// possibly doubled or halved, giving 4 to 15 steps over the larger extent.
class CGrid : public CObject {
  DECLARE_SERIAL(CGrid)

 public:
  // Extents zero, no lines.
  CGrid();
  // A grid over min..max (compute()). Throws as compute() does.
  CGrid(Point<double>* min, Point<double>* max);
  // As above; stepX, a, stepY and b are kept (the steps are then replaced
  // by the computed spacing; a and b are stored with the grid).
  CGrid(Point<double>* min, Point<double>* max, double stepX, int a, double stepY, int b);

  // Computes spacing, first and last major lines, step and line counts and
  // the line positions from the extents. Throws std::logic_error
  // "extents for section is incorrect." when either span is below 1e-6
  // (nothing changes), and "Grid creation failed" when no spacing from 1e-6
  // up fits (or the spacing is lost in rounding at the extents' magnitude).
  void compute();

  // endX − startX, at least 1e-12.
  double width() const;
  // endY − startY, at least 1e-12.
  double height() const;
  // Lower-left extent.
  Point<double>* minP() { return &m_minP; }
  const Point<double>* minP() const { return &m_minP; }
  // Upper-right extent.
  Point<double>* maxP() { return &m_maxP; }
  const Point<double>* maxP() const { return &m_maxP; }

  // Stores or loads the extents (six doubles), storedA (double), optionA
  // (int32), storedB (double) and optionB (int32): 72 bytes. Loading does
  // not recompute the lines.
  void Serialize(CArchive& ar) override;

  int lineCountX = 0;  // 4 × stepCountX + 1
  int lineCountY = 0;  // 4 × stepCountY + 1
  double storedA = 0.0;
  double storedB = 0.0;
  int stepCountX = 0;  // major steps in x
  int stepCountY = 0;  // major steps in y
  std::vector<double> xLines;  // lineCountX positions; empty until computed
  std::vector<double> yLines;  // lineCountY positions; empty until computed
  double stepX = 0.0;  // major spacing (equal to stepY after compute)
  double stepY = 0.0;
  double startX = 0.0;  // first major line
  double startY = 0.0;
  double endX = 0.0;  // last major line
  double endY = 0.0;
  int optionA = 0;
  int optionB = 0;

 private:
  Point<double> m_minP;
  Point<double> m_maxP;
};
