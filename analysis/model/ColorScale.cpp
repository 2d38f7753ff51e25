// The contour colour scale of result plots: zero is green, the negative end
// runs towards (dark) blue and the positive end towards (dark) red.
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "analysis/model/Utilities.h"

namespace {

struct Rgb {
  double r;
  double g;
  double b;
};

// Fraction of each darkened component taken away at most.
constexpr double kDarkening = 0.6;

// component := component - component * f.
void reduce(double& c, double f) { c -= c * f; }

// Both ends zero or (relatively) equal: no spread to colour.
bool flatRange(double vmin, double vmax) {
  const double scale = std::max(std::fabs(vmin), std::fabs(vmax));
  if (scale == 0.0) return true;
  return std::fabs(vmax - vmin) / scale < 1e-5;
}

// vmin < 0 < vmax: green at zero, bands at half of each end.
Rgb mixedRange(double v, double vmin, double vmax) {
  const double hMinus = vmin / 2.0;
  const double hPlus = vmax / 2.0;
  Rgb c{};
  if (v < hMinus) {
    c = {0.0, (vmin - v) / hMinus, 1.0};
    if (v < 0.8 * vmin) {
      const double f = ((0.8 * vmin - v) / (0.8 * vmin - vmin)) * kDarkening;
      reduce(c.g, f);
      reduce(c.b, f);
    }
  } else if (v <= 0.0) {
    c = {0.0, 1.0, v / hMinus};
  } else if (v <= hPlus) {
    c = {v / hPlus, 1.0, 0.0};
  } else {
    c = {1.0, (vmax - v) / hPlus, 0.0};
    if (v > 0.8 * vmax) {
      const double f = ((v - 0.8 * vmax) / (vmax - 0.8 * vmax)) * kDarkening;
      reduce(c.r, f);
      reduce(c.g, f);
    }
  }
  return c;
}

// Band points of a range that does not straddle zero: lo and hi are the
// ends, mid the middle, lowQ and highQ the quarter points, darkLow and
// darkHigh where darkening starts.
struct Bands {
  double lo, hi, mid, lowQ, highQ, darkLow, darkHigh;
};

const char* const kBadBands = " bad computation for color plot";

void checkBands(const Bands& k) {
  const bool ok = k.highQ <= k.darkHigh && k.darkHigh <= k.hi &&
                  k.lo <= k.darkLow && k.darkLow <= k.lowQ;
  if (!ok) throw std::logic_error(kBadBands);
}

// Colour of x in one-sign bands. A value on the lower quarter point takes
// the band above it.
Rgb oneSignRange(double x, const Bands& k) {
  Rgb c{};
  if (x < k.lowQ) {
    c = {0.0, (x - k.lo) / (k.mid / 2.0), 1.0};
    if (x < k.darkLow) {
      const double f = ((k.darkLow - x) / (k.darkLow - k.lo)) * kDarkening;
      reduce(c.g, f);
      reduce(c.b, f);
    }
  } else if (x <= k.mid) {
    c = {0.0, 1.0, x / k.lowQ};
  } else if (x <= k.highQ) {
    c = {x / k.highQ, 1.0, 0.0};
  } else {
    c = {1.0, (k.hi - x) / (k.hi - k.highQ), 0.0};
    if (x > k.darkHigh) {
      const double f = ((x - k.darkHigh) / (k.hi - k.darkHigh)) * kDarkening;
      reduce(c.r, f);
      reduce(c.g, f);
    }
  }
  return c;
}

// Wholly positive range, on magnitudes.
Bands positiveBands(double vmin, double vmax) {
  const double a = std::fabs(vmin);
  const double c = std::fabs(vmax);
  const double m = (a + c) / 2.0;
  const double w = (m + a) / 2.0;
  const double B = (m + c) / 2.0;
  const double C = B + 0.8 * (c - B);
  const double e = a + 0.2 * (w - a);
  return {a, c, m, w, B, e, C};
}

// Range with vmin <= 0 that is not mixed, on signed values.
Bands signedBands(double vmin, double vmax) {
  const double m = (vmin + vmax) / 2.0;
  const double o = (m + vmax) / 2.0;
  const double t = (m + vmin) / 2.0;
  const double u = o + 0.8 * (vmax - o);
  const double d = vmin + 0.2 * (t - vmin);
  return {vmin, vmax, m, t, o, d, u};
}

double unitClamp(double c) { return std::min(1.0, std::max(0.0, c)); }

}  // namespace

void getColorZeroGreen(double v, double vmin, double vmax, double* red,
                       double* green, double* blue) {
  Rgb c{0.0, 1.0, 0.0};
  if (!flatRange(vmin, vmax)) {
    if (vmin < 0.0 && vmax > 0.0) {
      c = mixedRange(std::clamp(v, vmin, vmax), vmin, vmax);
    } else {
      const Bands k = vmin > 0.0 ? positiveBands(vmin, vmax)
                                 : signedBands(vmin, vmax);
      checkBands(k);
      // A value outside the range takes the colour of the nearer end.
      const double inside = std::clamp(v, std::min(vmin, vmax),
                                       std::max(vmin, vmax));
      c = oneSignRange(vmin > 0.0 ? std::fabs(inside) : inside, k);
    }
  }
  *red = unitClamp(c.r);
  *green = unitClamp(c.g);
  *blue = unitClamp(c.b);
}
