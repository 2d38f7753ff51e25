// The ribbon's button images: each drawn on a 16 x 16 grid with a few
// shapes (the section's shapes in steel blue, construction points in red),
// then scaled to the size asked for.
#include <wx/brush.h>
#include <wx/graphics.h>
#include <wx/pen.h>
#include <wx/image.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <vector>

#include "lorimant/resources/LorimantImages.h"

namespace {

struct P {
  double x, y;
};

const wxColour kSteel(96, 134, 190);
const wxColour kSteelLine(40, 72, 124);
const wxColour kWhite(255, 255, 255);
const wxColour kRed(214, 50, 50);
const wxColour kInk(64, 64, 64);
const wxColour kGrey(150, 150, 150);
const wxColour kGreen(54, 150, 64);
const wxColour kOrange(236, 140, 36);
const wxColour kYellow(244, 204, 64);
const wxColour kBlue(52, 110, 200);
const wxColour kPaper(252, 252, 250);

constexpr double kPi = 3.14159265358979323846;

// Drawing on the 16-unit grid: y grows downwards, angles are in degrees
// counter-clockwise from +x as on paper.
class Icon {
 public:
  explicit Icon(wxGraphicsContext& gc) : m_gc(gc) {}

  void poly(std::initializer_list<P> pts, const wxColour& fill, const wxColour& line = kSteelLine) {
    polygon(std::vector<P>(pts), fill, line);
  }
  void polygon(const std::vector<P>& pts, const wxColour& fill, const wxColour& line = kSteelLine,
               double width = 1.0) {
    wxGraphicsPath path = m_gc.CreatePath();
    path.MoveToPoint(pts.front().x, pts.front().y);
    for (size_t i = 1; i < pts.size(); ++i) path.AddLineToPoint(pts[i].x, pts[i].y);
    path.CloseSubpath();
    m_gc.SetBrush(wxBrush(fill));
    m_gc.SetPen(m_gc.CreatePen(wxGraphicsPenInfo(line).Width(width).Join(wxJOIN_MITER)));
    m_gc.DrawPath(path);
  }
  // A section shape in steel.
  void solid(std::initializer_list<P> pts) { poly(pts, kSteel); }
  void rect(double x, double y, double w, double h, const wxColour& fill, const wxColour& line = kSteelLine) {
    poly({{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}, fill, line);
  }
  void circle(double cx, double cy, double r, const wxColour& fill, const wxColour& line = kSteelLine) {
    m_gc.SetBrush(wxBrush(fill));
    m_gc.SetPen(m_gc.CreatePen(wxGraphicsPenInfo(line).Width(1.0)));
    m_gc.DrawEllipse(cx - r, cy - r, 2 * r, 2 * r);
  }
  void ring(double cx, double cy, double r, const wxColour& line, double width = 1.2) {
    m_gc.SetBrush(*wxTRANSPARENT_BRUSH);
    m_gc.SetPen(m_gc.CreatePen(wxGraphicsPenInfo(line).Width(width)));
    m_gc.DrawEllipse(cx - r, cy - r, 2 * r, 2 * r);
  }
  void stroke(const std::vector<P>& pts, const wxColour& c, double width = 1.2, bool dashed = false) {
    wxGraphicsPath path = m_gc.CreatePath();
    path.MoveToPoint(pts.front().x, pts.front().y);
    for (size_t i = 1; i < pts.size(); ++i) path.AddLineToPoint(pts[i].x, pts[i].y);
    m_gc.SetBrush(*wxTRANSPARENT_BRUSH);
    m_gc.SetPen(m_gc.CreatePen(wxGraphicsPenInfo(c).Width(width).Cap(wxCAP_ROUND).Join(wxJOIN_ROUND).Style(
        dashed ? wxPENSTYLE_SHORT_DASH : wxPENSTYLE_SOLID)));
    m_gc.StrokePath(path);
  }
  void line(P a, P b, const wxColour& c, double width = 1.2) { stroke({a, b}, c, width); }
  void dashed(P a, P b, const wxColour& c = kInk) { stroke({a, b}, c, 1.0, true); }
  // Points of the arc about (cx, cy) from a0 to a1 degrees.
  static std::vector<P> arcPoints(double cx, double cy, double r, double a0, double a1, int n = 16) {
    std::vector<P> pts;
    for (int i = 0; i <= n; ++i) {
      const double a = (a0 + (a1 - a0) * i / n) * kPi / 180.0;
      pts.push_back({cx + r * std::cos(a), cy - r * std::sin(a)});
    }
    return pts;
  }
  void arc(double cx, double cy, double r, double a0, double a1, const wxColour& c, double width = 1.2) {
    stroke(arcPoints(cx, cy, r, a0, a1), c, width);
  }
  // An arrow from a to b with its head at b.
  void arrow(P a, P b, const wxColour& c, double width = 1.3) {
    line(a, b, c, width);
    head(a, b, c);
  }
  // A curved arrow along an arc, its head at a1.
  void arcArrow(double cx, double cy, double r, double a0, double a1, const wxColour& c) {
    const std::vector<P> pts = arcPoints(cx, cy, r, a0, a1);
    stroke(pts, c, 1.4);
    head(pts[pts.size() - 2], pts.back(), c);
  }
  void dot(double x, double y, const wxColour& c = kRed, double r = 1.5) { circle(x, y, r, c, c); }
  void text(double cx, double cy, const char* s, double size, const wxColour& c, bool bold = true) {
    wxFont font(wxFontInfo(wxSize(0, static_cast<int>(size * 10))).Family(wxFONTFAMILY_SWISS).Bold(bold));
    m_gc.PushState();
    m_gc.Scale(0.1, 0.1);
    m_gc.SetFont(font, c);
    double w = 0, h = 0;
    const wxString label = wxString::FromUTF8(s);
    m_gc.GetTextExtent(label, &w, &h);
    m_gc.DrawText(label, cx * 10 - w / 2, cy * 10 - h / 2);
    m_gc.PopState();
  }

 private:
  void head(P from, P to, const wxColour& c) {
    const double dx = to.x - from.x, dy = to.y - from.y;
    const double len = std::hypot(dx, dy);
    if (len <= 0) return;
    const double ux = dx / len, uy = dy / len;
    const double s = 3.2;
    poly({to, {to.x - s * ux + s * 0.55 * uy, to.y - s * uy - s * 0.55 * ux},
          {to.x - s * ux - s * 0.55 * uy, to.y - s * uy + s * 0.55 * ux}},
         c, c);
  }

  wxGraphicsContext& m_gc;
};

// ---- parts several images share ----

// A sheet of paper with its corner folded.
void page(Icon& i, double x = 3, double y = 1.5, double w = 10, double h = 13) {
  i.poly({{x, y}, {x + w - 3, y}, {x + w, y + 3}, {x + w, y + h}, {x, y + h}}, kPaper, kInk);
  i.stroke({{x + w - 3, y}, {x + w - 3, y + 3}, {x + w, y + 3}}, kInk, 0.8);
}
// A database drum: an upright cylinder seen slightly from above.
void drum(Icon& i, double x = 2.5, double y = 2.5, double w = 9, double h = 11) {
  const double rx = w / 2, ry = 1.6, cx = x + rx;
  std::vector<P> body{{x, y + ry}};
  for (int k = 0; k <= 12; ++k) {
    const double a = kPi * k / 12;
    body.push_back({cx - rx * std::cos(a), y + h - ry + ry * std::sin(a)});
  }
  body.push_back({x + w, y + ry});
  i.polygon(body, kYellow, kInk);
  std::vector<P> top;
  for (int k = 0; k < 24; ++k) {
    const double a = 2 * kPi * k / 24;
    top.push_back({cx + rx * std::cos(a), y + ry + ry * std::sin(a)});
  }
  i.polygon(top, kYellow, kInk);
}
// A square of triangles.
void mesh(Icon& i) {
  i.rect(2, 2, 12, 12, kSteel);
  for (double t : {6.0, 10.0}) {
    i.line({t, 2}, {t, 14}, kSteelLine, 0.8);
    i.line({2, t}, {14, t}, kSteelLine, 0.8);
  }
  i.line({2, 14}, {14, 2}, kSteelLine, 0.8);
  i.line({2, 10}, {10, 2}, kSteelLine, 0.8);
  i.line({6, 14}, {14, 6}, kSteelLine, 0.8);
}
void badgeCross(Icon& i, double x = 11.5, double y = 11.5) {
  i.line({x - 3, y - 3}, {x + 3, y + 3}, kRed, 2.0);
  i.line({x + 3, y - 3}, {x - 3, y + 3}, kRed, 2.0);
}
void badgePlus(Icon& i, double x = 12, double y = 12) {
  i.line({x - 3, y}, {x + 3, y}, kGreen, 2.2);
  i.line({x, y - 3}, {x, y + 3}, kGreen, 2.2);
}
void badgeCheck(Icon& i) { i.stroke({{8.5, 11.5}, {10.5, 14}, {15, 8.5}}, kGreen, 2.2); }
void magnifier(Icon& i, double x, double y, double r = 3.5) {
  i.circle(x, y, r, kWhite, kInk);
  i.line({x + r * 0.7, y + r * 0.7}, {x + r * 1.9, y + r * 1.9}, kInk, 2.2);
}
// Two plates side by side, welded when bead is set.
void plates(Icon& i, bool bead) {
  i.rect(1.5, 5, 6, 6, kSteel);
  i.rect(8.5, 5, 6, 6, kSteel);
  if (bead) i.rect(6.5, 4, 3, 8, kOrange, kOrange);
}
// A beam seen from the side.
void beam(Icon& i) { i.rect(1.5, 7, 13, 3, kSteel); }
// The small shape that transformations move.
void block(Icon& i, double x, double y, const wxColour& fill = kSteel) {
  i.rect(x, y, 6, 5, fill, kSteelLine);
}
// A triangle pointing right, or its mirror image.
void flag(Icon& i, double x, bool mirrored, const wxColour& fill) {
  if (mirrored)
    i.poly({{x, 3}, {x, 13}, {x - 5.5, 13}}, fill, kSteelLine);
  else
    i.poly({{x, 3}, {x, 13}, {x + 5.5, 13}}, fill, kSteelLine);
}
void flagDown(Icon& i, double y, bool mirrored, const wxColour& fill) {
  if (mirrored)
    i.poly({{3, y}, {13, y}, {13, y - 5.5}}, fill, kSteelLine);
  else
    i.poly({{3, y}, {13, y}, {13, y + 5.5}}, fill, kSteelLine);
}
// A window with a title bar.
void window(Icon& i, double x, double y, double w, double h) {
  i.rect(x, y, w, h, kWhite, kInk);
  i.rect(x, y, w, 2.5, kBlue, kInk);
}

using Draw = void (*)(Icon&);

struct Entry {
  const char* name;
  Draw draw;
};

const Entry kImages[] = {
    // ---- application menu ----
    {"new", [](Icon& i) { page(i); badgePlus(i, 11.5, 11.5); }},
    {"open",
     [](Icon& i) {
       i.poly({{1.5, 4}, {6, 4}, {7.5, 5.5}, {13, 5.5}, {13, 13.5}, {1.5, 13.5}}, kYellow, kInk);
       i.poly({{3.5, 8}, {15, 8}, {13, 13.5}, {1.5, 13.5}}, kOrange, kInk);
     }},
    {"print_setup",
     [](Icon& i) {
       page(i, 2, 1.5, 9, 12);
       i.circle(11.5, 11.5, 3, kGrey, kInk);
       i.circle(11.5, 11.5, 1, kWhite, kInk);
     }},
    {"print",
     [](Icon& i) {
       i.rect(4, 1.5, 8, 5, kPaper, kInk);
       i.rect(1.5, 6, 13, 6, kGrey, kInk);
       i.rect(4, 10, 8, 4.5, kPaper, kInk);
       i.dot(12.5, 8, kGreen, 0.8);
     }},
    {"print_preview", [](Icon& i) { page(i, 2, 1.5, 9, 12); magnifier(i, 9.5, 9, 3); }},
    {"export_xml", [](Icon& i) { page(i); i.text(8, 10, "</>", 4.5, kBlue); }},
    {"export_polygon",
     [](Icon& i) {
       page(i);
       i.poly({{5, 12}, {6, 6}, {9, 5}, {11, 9}, {9.5, 12}}, kSteel);
     }},
    {"import_iges",
     [](Icon& i) {
       page(i, 5, 1.5, 9.5, 13);
       i.text(9.8, 11, "IG", 4, kInk);
       i.arrow({0.5, 6}, {7.5, 6}, kGreen);
     }},
    {"export_iges",
     [](Icon& i) {
       page(i, 1.5, 1.5, 9.5, 13);
       i.text(6.3, 11, "IG", 4, kInk);
       i.arrow({8.5, 6}, {15.5, 6}, kBlue);
     }},
    {"about",
     [](Icon& i) {
       i.circle(8, 8, 6.5, kBlue, kBlue);
       i.text(8, 8.3, "i", 9, kWhite);
     }},
    {"exit",
     [](Icon& i) {
       i.rect(2, 2, 7, 12, kOrange, kInk);
       i.arrow({7, 8}, {15, 8}, kRed, 1.8);
     }},

    // ---- construction: edit and view ----
    {"undo", [](Icon& i) { i.arcArrow(8, 9, 5, -60, 160, kBlue); }},
    {"redo", [](Icon& i) { i.arcArrow(8, 9, 5, 240, 20, kBlue); }},
    {"delete", [](Icon& i) { badgeCross(i, 8, 8); }},
    {"change_sign",
     [](Icon& i) {
       i.poly({{2, 3}, {14, 3}, {2, 13}}, kSteel);
       i.poly({{14, 3}, {14, 13}, {2, 13}}, kWhite);
       i.text(11, 10, "\xC2\xB1", 6, kInk);
     }},
    {"full_view",
     [](Icon& i) {
       for (P c : {P{2, 2}, P{14, 2}, P{2, 14}, P{14, 14}}) {
         const double sx = c.x < 8 ? 1 : -1, sy = c.y < 8 ? 1 : -1;
         i.stroke({{c.x, c.y + 4 * sy}, c, {c.x + 4 * sx, c.y}}, kInk, 1.4);
       }
       i.rect(5, 5.5, 6, 5, kSteel);
     }},
    {"rubber_zoom",
     [](Icon& i) {
       i.stroke({{1.5, 1.5}, {11, 1.5}, {11, 9}, {1.5, 9}, {1.5, 1.5}}, kInk, 1.0, true);
       magnifier(i, 9, 9, 3.5);
     }},
    {"shape_ids",
     [](Icon& i) {
       i.rect(1.5, 3, 13, 10, kSteel);
       i.text(8, 8, "ID", 6, kWhite);
     }},
    {"position_points",
     [](Icon& i) {
       i.rect(3, 4, 10, 8, kSteel);
       for (P p : {P{3, 4}, P{13, 4}, P{13, 12}, P{3, 12}}) i.dot(p.x, p.y);
     }},
    {"show_materials",
     [](Icon& i) {
       i.rect(1.5, 2, 6, 6, kSteel);
       i.rect(8.5, 2, 6, 6, kOrange, kInk);
       i.rect(5, 8.5, 6, 6, kGreen, kInk);
     }},
    {"background_color",
     [](Icon& i) {
       i.rect(1.5, 1.5, 13, 13, kWhite, kInk);
       i.rect(1.5, 1.5, 13, 4.3, kRed, kInk);
       i.rect(1.5, 5.8, 13, 4.3, kGreen, kInk);
       i.rect(1.5, 10.1, 13, 4.4, kBlue, kInk);
     }},
    {"grid",
     [](Icon& i) {
       for (double t : {2.0, 6.0, 10.0, 14.0}) {
         i.line({t, 2}, {t, 14}, kGrey, 0.9);
         i.line({2, t}, {14, t}, kGrey, 0.9);
       }
     }},

    // ---- construction: shapes ----
    {"rectangle", [](Icon& i) { i.rect(2, 4, 12, 8, kSteel); }},
    {"trapezoid", [](Icon& i) { i.solid({{1.5, 12.5}, {14.5, 12.5}, {11, 3.5}, {5, 3.5}}); }},
    {"disk", [](Icon& i) { i.circle(8, 8, 6, kSteel); }},
    {"triangle", [](Icon& i) { i.solid({{1.5, 13.5}, {14.5, 13.5}, {8, 2}}); }},
    {"sector",
     [](Icon& i) {
       std::vector<P> pts = Icon::arcPoints(2.5, 13.5, 11.5, 0, 90);
       pts.push_back({2.5, 13.5});
       i.polygon(pts, kSteel);
     }},
    {"fillet",
     [](Icon& i) {
       std::vector<P> pts{{2.5, 13.5}};
       const std::vector<P> arc = Icon::arcPoints(13.5, 2.5, 11, 270, 180);
       pts.insert(pts.end(), arc.begin(), arc.end());
       i.polygon(pts, kSteel);
     }},
    {"sector_chord", [](Icon& i) { i.polygon(Icon::arcPoints(8, 10.25, 6.25, -16.3, 196.3), kSteel); }},
    {"annulus",
     [](Icon& i) {
       i.circle(8, 8, 6.5, kSteel);
       i.circle(8, 8, 3, kWhite);
     }},
    {"polygon", [](Icon& i) { i.solid({{1.5, 11}, {4.5, 2.5}, {12, 1.5}, {14.5, 9}, {8, 14.5}}); }},
    {"extruded_tee",
     [](Icon& i) {
       i.solid({{1.5, 2.5}, {14.5, 2.5}, {14.5, 6}, {9.5, 6}, {9.5, 14}, {6.5, 14}, {6.5, 6}, {1.5, 6}});
     }},
    {"formed_l",
     [](Icon& i) {
       std::vector<P> pts{{4, 1.5}};
       const std::vector<P> bend = Icon::arcPoints(8, 10, 4, 180, 270, 8);
       pts.insert(pts.end(), bend.begin(), bend.end());
       pts.push_back({14.5, 14});
       i.stroke(pts, kSteelLine, 3.2);
       i.stroke(pts, kSteel, 1.6);
     }},
    {"extruded_l", [](Icon& i) { i.solid({{3, 1.5}, {6.5, 1.5}, {6.5, 10.5}, {14.5, 10.5}, {14.5, 14}, {3, 14}}); }},
    {"ibeam",
     [](Icon& i) {
       i.solid({{2, 2}, {14, 2}, {14, 5}, {9.5, 5}, {9.5, 11}, {14, 11}, {14, 14}, {2, 14}, {2, 11}, {6.5, 11},
                {6.5, 5}, {2, 5}});
     }},
    {"extruded_c",
     [](Icon& i) { i.solid({{3, 2}, {13.5, 2}, {13.5, 5}, {6.5, 5}, {6.5, 11}, {13.5, 11}, {13.5, 14}, {3, 14}}); }},
    {"extruded_z",
     [](Icon& i) {
       i.solid({{6.5, 2}, {14.5, 2}, {14.5, 5}, {9.5, 5}, {9.5, 14}, {1.5, 14}, {1.5, 11}, {6.5, 11}});
     }},
    {"formed_z",
     [](Icon& i) {
       const std::vector<P> pts{{14.5, 3}, {8, 3}, {8, 13}, {1.5, 13}};
       i.stroke(pts, kSteelLine, 3.2);
       i.stroke(pts, kSteel, 1.6);
     }},
    {"formed_c",
     [](Icon& i) {
       const std::vector<P> pts{{13.5, 3}, {4, 3}, {4, 13}, {13.5, 13}};
       i.stroke(pts, kSteelLine, 3.2);
       i.stroke(pts, kSteel, 1.6);
     }},
    {"extruded_j",
     [](Icon& i) {
       i.solid({{1.5, 2}, {14.5, 2}, {14.5, 5}, {9.5, 5}, {9.5, 11}, {13, 11}, {13, 14}, {6.5, 14}, {6.5, 5}, {1.5, 5}});
     }},

    // ---- construction: points ----
    {"distance",
     [](Icon& i) {
       i.line({3, 12}, {13, 4}, kInk, 1.0);
       i.dot(3, 12);
       i.dot(13, 4);
       i.text(5, 5, "d", 6, kInk);
     }},
    {"deltas",
     [](Icon& i) {
       i.dashed({3, 12}, {13, 12});
       i.dashed({13, 12}, {13, 4});
       i.dot(3, 12);
       i.dot(13, 4);
     }},
    {"add_points",
     [](Icon& i) {
       i.line({2, 13}, {14, 3}, kInk, 1.0);
       i.dot(2, 13);
       i.dot(14, 3);
       i.dot(6, 9.7, kGreen, 1.3);
       i.dot(10, 6.3, kGreen, 1.3);
     }},
    {"intersections",
     [](Icon& i) {
       i.line({2, 3}, {14, 13}, kInk, 1.1);
       i.line({2, 13}, {14, 3}, kInk, 1.1);
       i.dot(8, 8);
     }},
    {"angle_2",
     [](Icon& i) {
       i.line({2.5, 12.5}, {13, 5}, kInk, 1.0);
       i.dashed({2.5, 12.5}, {14, 12.5});
       i.arc(2.5, 12.5, 6, 0, 35, kBlue, 1.2);
       i.dot(2.5, 12.5);
       i.dot(13, 5);
     }},
    {"angle_3",
     [](Icon& i) {
       i.stroke({{13, 3}, {3, 12}, {14, 12}}, kInk, 1.0);
       i.arc(3, 12, 6, 0, 42, kBlue, 1.2);
       for (P p : {P{13, 3}, P{3, 12}, P{14, 12}}) i.dot(p.x, p.y);
     }},
    {"point_at_distance",
     [](Icon& i) {
       i.dot(2.5, 12.5);
       i.arrow({2.5, 12.5}, {11, 5}, kInk);
       i.dot(13, 3.5, kGreen, 1.6);
     }},
    {"points_at_radius",
     [](Icon& i) {
       i.ring(8, 8, 5.5, kGrey, 0.8);
       i.dot(8, 8);
       for (int k = 0; k < 6; ++k) {
         const double a = k * kPi / 3;
         i.dot(8 + 5.5 * std::cos(a), 8 - 5.5 * std::sin(a), kGreen, 1.2);
       }
     }},
    {"keyin",
     [](Icon& i) {
       i.rect(1.5, 7, 13, 7, kWhite, kInk);
       i.text(8, 10.5, "x,y", 4.5, kInk, false);
       i.dot(8, 3.5);
     }},
    {"relative_point",
     [](Icon& i) {
       i.dot(3, 12.5);
       i.arrow({3, 12.5}, {12, 12.5}, kInk);
       i.arrow({12, 12.5}, {12, 4.5}, kInk);
       i.dot(12, 3, kGreen, 1.6);
     }},
    {"delete_points",
     [](Icon& i) {
       for (P p : {P{3, 4}, P{7, 8}, P{4, 12}}) i.dot(p.x, p.y);
       badgeCross(i);
     }},
    {"calculator",
     [](Icon& i) {
       i.rect(3, 1.5, 10, 13, kGrey, kInk);
       i.rect(4.5, 3, 7, 3, kWhite, kInk);
       for (double y : {8.0, 11.0})
         for (double x : {5.5, 8.0, 10.5}) i.rect(x - 0.8, y, 1.6, 1.6, kWhite, kWhite);
     }},

    // ---- construction: transformations ----
    {"translate_all",
     [](Icon& i) {
       block(i, 1.5, 2);
       block(i, 1.5, 9);
       i.arrow({8.5, 8}, {15, 8}, kGreen, 1.6);
     }},
    {"translate",
     [](Icon& i) {
       block(i, 1.5, 5.5);
       i.arrow({8.5, 8}, {15, 8}, kGreen, 1.6);
     }},
    {"translate_duplicate",
     [](Icon& i) {
       block(i, 1.5, 2);
       block(i, 8.5, 9);
       i.arrow({5, 8}, {9.5, 8}, kGreen, 1.3);
     }},
    {"rotate_all",
     [](Icon& i) {
       i.solid({{4, 6}, {9, 3.5}, {11, 7.5}, {6, 10}});
       i.solid({{7, 10.5}, {12, 8}, {14, 12}, {9, 14.5}});
       i.arcArrow(8, 8, 6.5, 200, 110, kGreen);
     }},
    {"rotate",
     [](Icon& i) {
       i.solid({{4.5, 7}, {10, 4}, {12, 8.5}, {6.5, 11.5}});
       i.arcArrow(8, 8, 6.5, 200, 110, kGreen);
     }},
    {"rotate_duplicate",
     [](Icon& i) {
       block(i, 1.5, 9.5);
       i.solid({{7, 4}, {12, 1.5}, {14.5, 6}, {9.5, 8.5}});
       i.arcArrow(8, 8, 6.5, 250, 110, kGreen);
     }},
    {"mirror_horizontal",
     [](Icon& i) {
       flag(i, 7, true, kSteel);
       flag(i, 9, false, kWhite);
       i.dashed({8, 1}, {8, 15}, kRed);
     }},
    {"mirror_vertical",
     [](Icon& i) {
       flagDown(i, 7, true, kSteel);
       flagDown(i, 9, false, kWhite);
       i.dashed({1, 8}, {15, 8}, kRed);
     }},
    {"mirror_duplicate_horizontal",
     [](Icon& i) {
       flag(i, 7, true, kSteel);
       flag(i, 9, false, kSteel);
       i.dashed({8, 1}, {8, 15}, kRed);
     }},
    {"mirror_duplicate_vertical",
     [](Icon& i) {
       flagDown(i, 7, true, kSteel);
       flagDown(i, 9, false, kSteel);
       i.dashed({1, 8}, {15, 8}, kRed);
     }},
    {"union",
     [](Icon& i) {
       i.circle(5.5, 8, 4.5, kSteel, kSteel);
       i.circle(10.5, 8, 4.5, kSteel, kSteel);
       i.arc(5.5, 8, 4.5, 48, 312, kSteelLine, 1.0);
       i.arc(10.5, 8, 4.5, 228, 492, kSteelLine, 1.0);
     }},
    {"undo_union",
     [](Icon& i) {
       i.ring(5.5, 8, 4.5, kSteelLine, 1.1);
       i.ring(10.5, 8, 4.5, kSteelLine, 1.1);
       i.line({2, 14}, {14, 2}, kRed, 1.6);
     }},

    // ---- materials ----
    {"database_create", [](Icon& i) { drum(i); badgePlus(i); }},
    {"database_connect",
     [](Icon& i) {
       drum(i);
       i.arrow({15.5, 12}, {10, 12}, kGreen, 1.6);
     }},
    {"database_path",
     [](Icon& i) {
       drum(i);
       i.text(11.5, 12.5, "...", 6, kInk);
     }},
    {"materials_edit",
     [](Icon& i) {
       i.rect(1.5, 1.5, 6, 6, kSteel);
       i.rect(1.5, 8.5, 6, 6, kOrange, kInk);
       i.poly({{9, 14}, {9.5, 11.5}, {14, 7}, {15.5, 8.5}, {11, 13}}, kYellow, kInk);
     }},
    {"material_all",
     [](Icon& i) {
       i.rect(1.5, 4, 6, 8, kOrange, kInk);
       i.rect(8.5, 4, 6, 8, kOrange, kInk);
     }},
    {"material_selected",
     [](Icon& i) {
       i.rect(1.5, 4, 6, 8, kSteel);
       i.rect(8.5, 4, 6, 8, kOrange, kInk);
       i.poly({{10, 8}, {10, 15.5}, {12, 13.5}, {14.5, 15}}, kWhite, kInk);
     }},

    // ---- computations ----
    {"precision", [](Icon& i) { i.text(8, 8, ".00", 7, kInk); }},
    {"section_properties",
     [](Icon& i) {
       i.solid({{2, 2}, {14, 2}, {14, 5}, {9.5, 5}, {9.5, 11}, {14, 11}, {14, 14}, {2, 14}, {2, 11}, {6.5, 11},
                {6.5, 5}, {2, 5}});
       i.ring(8, 8, 2.2, kRed, 1.2);
       i.line({8, 4.5}, {8, 11.5}, kRed, 1.0);
       i.line({4.5, 8}, {11.5, 8}, kRed, 1.0);
     }},
    {"mesh", [](Icon& i) { mesh(i); }},
    {"mesh_delete", [](Icon& i) { mesh(i); badgeCross(i); }},
    {"mesh_to_root",
     [](Icon& i) {
       mesh(i);
       i.arrow({12, 14}, {12, 5}, kGreen, 2.0);
     }},
    {"mesh_display",
     [](Icon& i) {
       mesh(i);
       i.circle(12, 12, 3.3, kWhite, kInk);
       i.dot(12, 12, kInk, 1.3);
     }},
    {"element_ids",
     [](Icon& i) {
       mesh(i);
       i.rect(7, 7, 8, 8, kWhite, kInk);
       i.text(11, 11, "12", 5, kInk);
     }},
    {"node_ids",
     [](Icon& i) {
       mesh(i);
       for (P p : {P{2, 2}, P{14, 2}, P{2, 14}, P{6, 6}, P{10, 10}}) i.dot(p.x, p.y, kRed, 1.2);
     }},
    {"weld_create", [](Icon& i) { plates(i, true); }},
    {"weld_delete", [](Icon& i) { plates(i, true); badgeCross(i, 12, 12.5); }},
    {"weld_execute", [](Icon& i) { plates(i, true); badgeCheck(i); }},
    {"bending_unrestrained",
     [](Icon& i) {
       beam(i);
       i.arcArrow(8, 8.5, 6, 200, 340, kRed);
     }},
    {"bending_restrained",
     [](Icon& i) {
       beam(i);
       i.line({1.5, 4}, {1.5, 13}, kInk, 1.6);
       i.arcArrow(8, 8.5, 6, 200, 340, kRed);
     }},
    {"plastic",
     [](Icon& i) {
       i.rect(8, 2, 6, 6, kRed, kRed);
       i.rect(2, 8, 6, 6, kBlue, kBlue);
       i.line({8, 1.5}, {8, 14.5}, kInk, 1.2);
     }},
    {"cozzone",
     [](Icon& i) {
       i.poly({{8, 2}, {14, 2}, {11, 8}, {8, 8}}, kRed, kRed);
       i.poly({{8, 8}, {5, 8}, {2, 14}, {8, 14}}, kBlue, kBlue);
       i.line({8, 1.5}, {8, 14.5}, kInk, 1.2);
     }},
    {"unsymmetric",
     [](Icon& i) {
       i.solid({{3, 1.5}, {6.5, 1.5}, {6.5, 10.5}, {14.5, 10.5}, {14.5, 14}, {3, 14}});
       i.line({1, 13}, {15, 3}, kRed, 1.2);
     }},
    {"load_condition",
     [](Icon& i) {
       i.rect(2, 11, 12, 3.5, kSteel);
       i.arrow({8, 1}, {8, 10}, kRed, 1.6);
     }},
    {"convert_forces",
     [](Icon& i) {
       i.arrow({2, 5}, {14, 5}, kRed, 1.4);
       i.arrow({14, 11}, {2, 11}, kBlue, 1.4);
     }},
    {"project_forces",
     [](Icon& i) {
       i.dashed({13, 3}, {13, 13});
       i.dashed({3, 3}, {13, 3});
       i.arrow({3, 13}, {12, 4}, kRed, 1.5);
     }},
    {"ramberg_osgood",
     [](Icon& i) {
       i.stroke({{2, 1.5}, {2, 14}, {15, 14}}, kInk, 1.1);
       i.stroke({{2, 14}, {5, 7}, {7, 4.5}, {10, 3.5}, {14.5, 3}}, kRed, 1.5);
     }},

    // ---- settings ----
    {"units",
     [](Icon& i) {
       i.poly({{1, 10}, {10, 1}, {15, 6}, {6, 15}}, kYellow, kInk);
       for (int k = 1; k < 6; ++k) {
         const double x = 1 + 1.5 * k, y = 10 - 1.5 * k;
         i.line({x, y}, {x + (k % 2 ? 1.6 : 2.6), y + (k % 2 ? 1.6 : 2.6)}, kInk, 0.8);
       }
     }},
    {"style",
     [](Icon& i) {
       i.circle(8, 8, 6.5, kPaper, kInk);
       i.dot(5, 6, kRed, 1.5);
       i.dot(8, 4.5, kGreen, 1.5);
       i.dot(11, 6, kBlue, 1.5);
       i.dot(11, 10, kYellow, 1.5);
       i.circle(6, 10.5, 1.7, kWhite, kInk);
     }},
    {"caption_bar",
     [](Icon& i) {
       window(i, 1.5, 1.5, 13, 13);
       i.rect(1.5, 4, 13, 3, kYellow, kInk);
     }},
    {"windows",
     [](Icon& i) {
       window(i, 1.5, 1.5, 9, 8);
       window(i, 5.5, 6.5, 9, 8);
     }},
};

const Entry* find(const char* name) {
  if (name == nullptr) return nullptr;
  const auto it = std::find_if(std::begin(kImages), std::end(kImages),
                               [name](const Entry& e) { return std::strcmp(e.name, name) == 0; });
  return it == std::end(kImages) ? nullptr : &*it;
}

}  // namespace

bool HasRibbonImage(const char* name) { return find(name) != nullptr; }

wxBitmap RibbonImage(const char* name, int size) {
  const Entry* entry = find(name);
  if (entry == nullptr || size <= 0) return wxBitmap();
  wxImage image(size, size);
  image.InitAlpha();
  std::fill_n(image.GetAlpha(), static_cast<size_t>(size) * static_cast<size_t>(size), 0);
  {
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
    if (!gc) return wxBitmap();
    gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
    gc->Scale(size / 16.0, size / 16.0);
    Icon icon(*gc);
    entry->draw(icon);
  }
  return wxBitmap(image);
}
