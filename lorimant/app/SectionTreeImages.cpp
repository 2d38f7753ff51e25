// The section tree's pictures, drawn with a graphics context into images
// with an alpha channel.
#include "lorimant/app/SectionTreeImages.h"

#include <wx/brush.h>
#include <wx/graphics.h>
#include <wx/image.h>
#include <wx/imaglist.h>
#include <wx/pen.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "lorimant/view/SectionTreeModel.h"

namespace {

using Draw = std::function<void(wxGraphicsContext&)>;

constexpr double kPi = 3.14159265358979323846;
const wxColour kSolid(74, 125, 181);     // a section's material
const wxColour kEdge(36, 64, 98);        // its outline
const wxColour kFolder(233, 190, 88);    // a sub-section
const wxColour kFolderEdge(150, 110, 30);
const wxColour kCurrent(96, 178, 86);    // the current sub-section
const wxColour kCurrentEdge(44, 110, 40);

void fillPolygon(wxGraphicsContext& gc, std::initializer_list<wxPoint2DDouble> points,
                 const wxColour& fill = kSolid, const wxColour& edge = kEdge) {
  wxGraphicsPath path = gc.CreatePath();
  bool first = true;
  for (const wxPoint2DDouble& p : points) {
    if (first)
      path.MoveToPoint(p);
    else
      path.AddLineToPoint(p);
    first = false;
  }
  path.CloseSubpath();
  gc.SetBrush(wxBrush(fill));
  gc.SetPen(wxPen(edge, 1));
  gc.DrawPath(path);
}

// A thin plate bent along the points (a formed profile).
void strokeLine(wxGraphicsContext& gc, std::initializer_list<wxPoint2DDouble> points, double width = 2.2) {
  std::vector<wxPoint2DDouble> list(points);
  wxGraphicsPen pen = gc.CreatePen(wxGraphicsPenInfo(kSolid, width).Join(wxJOIN_MITER).Cap(wxCAP_BUTT));
  gc.SetPen(pen);
  gc.StrokeLines(list.size(), list.data());
}

void folder(wxGraphicsContext& gc, const wxColour& fill, const wxColour& edge) {
  fillPolygon(gc, {{1.5, 3.5}, {6.5, 3.5}, {8, 5}, {14.5, 5}, {14.5, 13.5}, {1.5, 13.5}}, fill, edge);
  gc.SetPen(wxPen(edge, 1));
  gc.StrokeLine(1.5, 6.5, 14.5, 6.5);
}

void circle(wxGraphicsContext& gc, double x, double y, double r, const wxColour& fill) {
  gc.SetBrush(wxBrush(fill));
  gc.SetPen(wxPen(kEdge, 1));
  gc.DrawEllipse(x - r, y - r, 2 * r, 2 * r);
}

// A pie (or, with chord, a segment) from angle a to b (radians, y down).
void pie(wxGraphicsContext& gc, double cx, double cy, double r, double a, double b, bool chord) {
  wxGraphicsPath path = gc.CreatePath();
  if (!chord) path.MoveToPoint(cx, cy);
  path.AddArc(cx, cy, r, a, b, true);
  path.CloseSubpath();
  gc.SetBrush(wxBrush(kSolid));
  gc.SetPen(wxPen(kEdge, 1));
  gc.DrawPath(path);
}

// The drawing of each index, in index order.
std::vector<Draw> drawings() {
  return {
      // 0 document and sub-section
      [](wxGraphicsContext& gc) { folder(gc, kFolder, kFolderEdge); },
      // 1 (not shown by any row) a sheet
      [](wxGraphicsContext& gc) {
        fillPolygon(gc, {{3.5, 1.5}, {10, 1.5}, {12.5, 4}, {12.5, 14.5}, {3.5, 14.5}}, *wxWHITE, wxColour(90, 90, 90));
      },
      // 2 mesh: a patch of triangles
      [](wxGraphicsContext& gc) {
        fillPolygon(gc, {{1.5, 1.5}, {14.5, 1.5}, {14.5, 14.5}, {1.5, 14.5}}, wxColour(210, 226, 245));
        gc.SetPen(wxPen(kEdge, 1));
        for (double k : {5.83, 10.17}) {
          gc.StrokeLine(k, 1.5, k, 14.5);
          gc.StrokeLine(1.5, k, 14.5, k);
        }
        gc.StrokeLine(1.5, 14.5, 14.5, 1.5);
        gc.StrokeLine(1.5, 10.17, 10.17, 1.5);
        gc.StrokeLine(5.83, 14.5, 14.5, 5.83);
      },
      // 3 union: two shapes made one
      [](wxGraphicsContext& gc) {
        wxGraphicsPath path = gc.CreatePath();
        path.AddCircle(6, 8, 5);
        path.AddCircle(10, 8, 5);
        gc.SetBrush(wxBrush(kSolid));
        gc.SetPen(*wxTRANSPARENT_PEN);
        gc.FillPath(path, wxWINDING_RULE);
        gc.SetPen(wxPen(kEdge, 1));
        gc.StrokeLine(8, 3.6, 8, 12.4);
      },
      // 4 current sub-section
      [](wxGraphicsContext& gc) {
        folder(gc, kCurrent, kCurrentEdge);
        gc.SetPen(wxPen(*wxWHITE, 2));
        const wxPoint2DDouble tick[] = {{5, 10}, {7.5, 12}, {11.5, 7.5}};
        gc.StrokeLines(3, tick);
      },
      // 5 material: a bar of metal
      [](wxGraphicsContext& gc) {
        fillPolygon(gc, {{1.5, 6.5}, {5.5, 2.5}, {14.5, 2.5}, {10.5, 6.5}}, wxColour(200, 205, 212), wxColour(80, 84, 90));
        fillPolygon(gc, {{10.5, 6.5}, {14.5, 2.5}, {14.5, 9.5}, {10.5, 13.5}}, wxColour(120, 126, 134), wxColour(80, 84, 90));
        fillPolygon(gc, {{1.5, 6.5}, {10.5, 6.5}, {10.5, 13.5}, {1.5, 13.5}}, wxColour(165, 171, 180), wxColour(80, 84, 90));
      },
      // 6 I-beam
      [](wxGraphicsContext& gc) {
        fillPolygon(gc, {{2.5, 1.5}, {13.5, 1.5}, {13.5, 4.5}, {9.5, 4.5}, {9.5, 11.5}, {13.5, 11.5}, {13.5, 14.5},
                         {2.5, 14.5}, {2.5, 11.5}, {6.5, 11.5}, {6.5, 4.5}, {2.5, 4.5}});
      },
      // 7 formed C
      [](wxGraphicsContext& gc) { strokeLine(gc, {{12.5, 2.5}, {4, 2.5}, {4, 13.5}, {12.5, 13.5}}); },
      // 8 formed Z
      [](wxGraphicsContext& gc) { strokeLine(gc, {{2.5, 2.5}, {8, 2.5}, {8, 13.5}, {13.5, 13.5}}); },
      // 9 extruded Z
      [](wxGraphicsContext& gc) {
        fillPolygon(gc, {{1.5, 1.5}, {9.5, 1.5}, {9.5, 11.5}, {14.5, 11.5}, {14.5, 14.5}, {6.5, 14.5}, {6.5, 4.5},
                         {1.5, 4.5}});
      },
      // 10 extruded T
      [](wxGraphicsContext& gc) {
        fillPolygon(gc, {{1.5, 1.5}, {14.5, 1.5}, {14.5, 4.5}, {9.5, 4.5}, {9.5, 14.5}, {6.5, 14.5}, {6.5, 4.5},
                         {1.5, 4.5}});
      },
      // 11 extruded J
      [](wxGraphicsContext& gc) {
        fillPolygon(gc, {{6.5, 1.5}, {14.5, 1.5}, {14.5, 4.5}, {9.5, 4.5}, {9.5, 14.5}, {1.5, 14.5}, {1.5, 9.5},
                         {4.5, 9.5}, {4.5, 11.5}, {6.5, 11.5}});
      },
      // 12 extruded L
      [](wxGraphicsContext& gc) {
        fillPolygon(gc, {{2.5, 1.5}, {5.5, 1.5}, {5.5, 11.5}, {14.5, 11.5}, {14.5, 14.5}, {2.5, 14.5}});
      },
      // 13 formed L
      [](wxGraphicsContext& gc) { strokeLine(gc, {{4, 1.5}, {4, 12.5}, {14.5, 12.5}}); },
      // 14 extruded C
      [](wxGraphicsContext& gc) {
        fillPolygon(gc, {{2.5, 1.5}, {13.5, 1.5}, {13.5, 4.5}, {5.5, 4.5}, {5.5, 11.5}, {13.5, 11.5}, {13.5, 14.5},
                         {2.5, 14.5}});
      },
      // 15 rectangle
      [](wxGraphicsContext& gc) { fillPolygon(gc, {{1.5, 4.5}, {14.5, 4.5}, {14.5, 11.5}, {1.5, 11.5}}); },
      // 16 parallelogram
      [](wxGraphicsContext& gc) { fillPolygon(gc, {{5.5, 3.5}, {14.5, 3.5}, {10.5, 12.5}, {1.5, 12.5}}); },
      // 17 disk
      [](wxGraphicsContext& gc) { circle(gc, 8, 8, 6.5, kSolid); },
      // 18 triangle
      [](wxGraphicsContext& gc) { fillPolygon(gc, {{8, 1.5}, {14.5, 14.5}, {1.5, 14.5}}); },
      // 19 sector
      [](wxGraphicsContext& gc) { pie(gc, 2.5, 13.5, 11.5, -kPi / 2, 0, false); },
      // 20 fillet: the corner a quarter circle leaves in a square
      [](wxGraphicsContext& gc) {
        wxGraphicsPath path = gc.CreatePath();
        path.MoveToPoint(2.5, 2.5);
        path.AddLineToPoint(2.5, 13.5);
        path.AddLineToPoint(13.5, 13.5);
        path.AddArc(13.5, 2.5, 11, kPi / 2, kPi, true);
        path.CloseSubpath();
        gc.SetBrush(wxBrush(kSolid));
        gc.SetPen(wxPen(kEdge, 1));
        gc.DrawPath(path);
      },
      // 21 annulus
      [](wxGraphicsContext& gc) {
        wxGraphicsPath path = gc.CreatePath();
        path.AddCircle(8, 8, 6.5);
        path.AddCircle(8, 8, 3.5);
        gc.SetBrush(wxBrush(kSolid));
        gc.SetPen(wxPen(kEdge, 1));
        gc.DrawPath(path, wxODDEVEN_RULE);
      },
      // 22 sector chord: a segment of a disk
      [](wxGraphicsContext& gc) { pie(gc, 8, 13.5, 9, -kPi * 0.92, -kPi * 0.08, true); },
      // 23 polygon
      [](wxGraphicsContext& gc) {
        fillPolygon(gc, {{4.5, 1.5}, {13.5, 3.5}, {14.5, 10.5}, {8.5, 14.5}, {1.5, 9.5}});
      },
      // 24 load condition: a force with its moment
      [](wxGraphicsContext& gc) {
        const wxColour red(200, 40, 40);
        gc.SetPen(wxPen(red, 2));
        gc.StrokeLine(8, 1.5, 8, 10);
        gc.SetBrush(wxBrush(red));
        gc.SetPen(wxPen(red, 1));
        wxGraphicsPath head = gc.CreatePath();
        head.MoveToPoint(4, 9);
        head.AddLineToPoint(12, 9);
        head.AddLineToPoint(8, 14.5);
        head.CloseSubpath();
        gc.FillPath(head);
      },
  };
}

wxBitmap draw(const Draw& drawing) {
  wxImage image(16, 16);
  image.InitAlpha();
  std::fill(image.GetAlpha(), image.GetAlpha() + 16 * 16, 0);
  {
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
    gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
    drawing(*gc);
  }
  return wxBitmap(image);
}

}  // namespace

wxBitmap SectionTreeBitmap(int index) {
  static const std::vector<Draw> all = drawings();
  if (index < 0 || index >= static_cast<int>(all.size())) return wxBitmap();
  return draw(all[index]);
}

wxImageList* CreateSectionTreeImages() {
  auto* images = new wxImageList(16, 16, false, SectionTreeImage::Count);
  for (int i = 0; i < SectionTreeImage::Count; ++i) images->Add(SectionTreeBitmap(i));
  return images;
}

wxBitmap SectionTreeMenuButtonBitmap() {
  return draw([](wxGraphicsContext& gc) {
    folder(gc, kFolder, kFolderEdge);
    const wxColour green(40, 150, 50);
    gc.SetPen(wxPen(green, 3));
    gc.StrokeLine(11.5, 7.5, 11.5, 15.5);
    gc.StrokeLine(7.5, 11.5, 15.5, 11.5);
  });
}
