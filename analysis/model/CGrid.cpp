// Grid spacing rule, line positions and the grid's archive record.
#include "analysis/model/CGrid.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "platform/core/CArchive.h"

IMPLEMENT_SERIAL(CGrid, CObject, 1)

namespace {

[[noreturn]] void gridFailed() { throw std::logic_error("Grid creation failed"); }

// Starting spacing: 10^k where k is the number of divisions by 10 that
// bring r = round(L / 8) into [1, 10]; 0.1 when r is 0.
double startingSpacing(double L) {
  double r = std::round(L / 8.0);
  if (r < 1e-8)
    return 0.1;
  double s = 1.0;
  while (r > 10.0) {
    r /= 10.0;
    s *= 10.0;
  }
  return s;
}

// Spacing giving between 4 and 15 whole steps over L.
double spacingFor(double L) {
  double s = startingSpacing(L);
  while (std::floor(L / s) >= 16.0) {
    s = std::fabs(s - 1.0) < 1e-5 ? 10.0 : s * 2.0;
    if (s < 1e-6)
      gridFailed();
  }
  while (std::floor(L / s) <= 3.0) {
    s /= 2.0;
    if (s < 1e-6)
      gridFailed();
  }
  return s;
}

// Beyond this many steps from the origin the first line is placed by
// division instead of by repeated addition.
constexpr double kMaxAdditionSteps = 1e5;

// Largest multiple of s not above lo, reached from 0 by repeated
// subtraction and addition (whose rounding the grid's lines follow). Far
// from the origin it starts from floor(lo / s)·s instead.
double firstLine(double lo, double s) {
  double v = std::fabs(lo) / s > kMaxAdditionSteps ? std::floor(lo / s) * s : 0.0;
  while (v > lo)
    v -= s;
  while (v + s <= lo)
    v += s;
  return v;
}

// Steps of s from start until the value passes hi; the value reached goes to *end.
int stepsTo(double start, double hi, double s, double* end) {
  int count = 0;
  double v = start;
  while (v <= hi) {
    v += s;
    ++count;
  }
  *end = v;
  return count;
}

// Major lines from start, three minor ones between neighbours, and the last major line.
std::vector<double> lines(double start, double s, int steps) {
  std::vector<double> out(static_cast<std::size_t>(4 * steps + 1));
  double m = start;
  for (int j = 0; j < steps; ++j) {
    out[4 * j] = m;
    out[4 * j + 1] = m + s / 4.0;
    out[4 * j + 2] = m + 2.0 * s / 4.0;
    out[4 * j + 3] = m + 3.0 * s / 4.0;
    m += s;
  }
  out[4 * steps] = m;
  return out;
}

// True when adding a minor step at the magnitude of v changes nothing, so
// the line loops would not advance.
bool lostInRounding(double v, double s) { return std::fabs(v) + s / 4.0 == std::fabs(v); }

}  // namespace

CGrid::CGrid() = default;

CGrid::CGrid(Point<double>* min, Point<double>* max) : m_minP(*min), m_maxP(*max) { compute(); }

CGrid::CGrid(Point<double>* min, Point<double>* max, double stepX_, int a, double stepY_, int b)
    : stepX(stepX_), stepY(stepY_), optionA(a), optionB(b), m_minP(*min), m_maxP(*max) {
  compute();
}

void CGrid::compute() {
  const Point<double> d = m_maxP - m_minP;
  // Written so that a NaN span fails too; an infinite span would make the
  // spacing search below run for ever.
  if (!(d.x >= 1e-6 && d.y >= 1e-6) || !std::isfinite(d.x) || !std::isfinite(d.y))
    throw std::logic_error("extents for section is incorrect.");
  const double L = std::max(d.x, d.y);
  const double s = spacingFor(L);
  for (double v : {m_minP.x, m_minP.y, m_maxP.x, m_maxP.y})
    if (lostInRounding(v, s))
      gridFailed();

  const double firstX = firstLine(m_minP.x, s);
  const double firstY = firstLine(m_minP.y, s);
  double lastX = 0.0;
  double lastY = 0.0;
  const int stepsX = stepsTo(firstX, m_maxP.x, s, &lastX);
  const int stepsY = stepsTo(firstY, m_maxP.y, s, &lastY);

  stepX = stepY = s;
  startX = firstX;
  startY = firstY;
  endX = lastX;
  endY = lastY;
  stepCountX = stepsX;
  stepCountY = stepsY;
  lineCountX = 4 * stepsX + 1;
  lineCountY = 4 * stepsY + 1;
  xLines = lines(startX, s, stepsX);
  yLines = lines(startY, s, stepsY);
}

double CGrid::width() const { return std::max(endX - startX, 1e-12); }

double CGrid::height() const { return std::max(endY - startY, 1e-12); }

void CGrid::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << m_minP.x << m_minP.y << m_minP.z << m_maxP.x << m_maxP.y << m_maxP.z;
    ar << storedA << optionA << storedB << optionB;
  } else {
    ar >> m_minP.x >> m_minP.y >> m_minP.z >> m_maxP.x >> m_maxP.y >> m_maxP.z;
    ar >> storedA >> optionA >> storedB >> optionB;
  }
}
