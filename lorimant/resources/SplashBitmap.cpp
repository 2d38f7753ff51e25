// The splash window's picture: a light card with a band of section shapes
// at the top and a faint mesh at the foot, leaving the product-name band
// (140-210), the body band (230-290) and the status band (390-405) plain
// for the texts drawn over it.
#include <wx/brush.h>
#include <wx/graphics.h>
#include <wx/pen.h>
#include <wx/image.h>

#include <initializer_list>
#include <memory>

#include "lorimant/resources/LorimantImages.h"

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 420;

const wxColour kCard(248, 248, 244);
const wxColour kCardEdge(196, 204, 210);
const wxColour kBandTop(44, 88, 140);
const wxColour kBandBottom(96, 140, 190);
const wxColour kShape(232, 240, 250);
const wxColour kShapeLine(24, 56, 96);
const wxColour kRule(24, 92, 84);
const wxColour kMesh(220, 226, 232);

void fillPath(wxGraphicsContext& gc, std::initializer_list<wxPoint2DDouble> pts, const wxColour& fill,
              const wxColour& line) {
  wxGraphicsPath path = gc.CreatePath();
  bool first = true;
  for (const wxPoint2DDouble& p : pts) {
    if (first)
      path.MoveToPoint(p);
    else
      path.AddLineToPoint(p);
    first = false;
  }
  path.CloseSubpath();
  gc.SetBrush(wxBrush(fill));
  gc.SetPen(gc.CreatePen(wxGraphicsPenInfo(line).Width(1.5)));
  gc.DrawPath(path);
}

// The band of shapes: an I-beam, a channel, a tee, a disk with a hole and an angle.
void drawShapes(wxGraphicsContext& gc) {
  gc.SetBrush(gc.CreateLinearGradientBrush(0, 0, 0, 120, kBandTop, kBandBottom));
  gc.SetPen(*wxTRANSPARENT_PEN);
  gc.DrawRectangle(0, 0, kWidth, 120);
  fillPath(gc, {{40, 25}, {110, 25}, {110, 38}, {82, 38}, {82, 82}, {110, 82}, {110, 95}, {40, 95}, {40, 82},
                {68, 82}, {68, 38}, {40, 38}},
           kShape, kShapeLine);
  fillPath(gc, {{140, 25}, {200, 25}, {200, 38}, {154, 38}, {154, 82}, {200, 82}, {200, 95}, {140, 95}}, kShape,
           kShapeLine);
  fillPath(gc, {{225, 25}, {295, 25}, {295, 38}, {267, 38}, {267, 95}, {253, 95}, {253, 38}, {225, 38}}, kShape,
           kShapeLine);
  gc.SetBrush(wxBrush(kShape));
  gc.SetPen(gc.CreatePen(wxGraphicsPenInfo(kShapeLine).Width(1.5)));
  gc.DrawEllipse(320, 25, 70, 70);
  gc.SetBrush(wxBrush(kBandBottom));
  gc.DrawEllipse(340, 45, 30, 30);
  fillPath(gc, {{415, 25}, {429, 25}, {429, 81}, {455, 81}, {455, 95}, {415, 95}}, kShape, kShapeLine);
}

// A faint triangle mesh across the foot, above the status band.
void drawMesh(wxGraphicsContext& gc) {
  gc.SetPen(gc.CreatePen(wxGraphicsPenInfo(kMesh).Width(1.0)));
  for (int x = 0; x <= kWidth; x += 30) gc.StrokeLine(x, 305, x, 380);
  for (int y = 305; y <= 380; y += 25) gc.StrokeLine(0, y, kWidth, y);
  for (int x = -75; x < kWidth; x += 30) gc.StrokeLine(x, 380, x + 75 * 30 / 25, 305);
}

}  // namespace

wxBitmap LoadSplashBitmap() {
  wxImage image(kWidth, kHeight);
  {
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
    if (!gc) return wxBitmap();
    gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
    gc->SetBrush(wxBrush(kCard));
    gc->SetPen(*wxTRANSPARENT_PEN);
    gc->DrawRectangle(0, 0, kWidth, kHeight);
    drawShapes(*gc);
    drawMesh(*gc);
    gc->SetPen(gc->CreatePen(wxGraphicsPenInfo(kRule).Width(2.0)));
    gc->StrokeLine(20, 220, kWidth - 20, 220);
    gc->SetBrush(*wxTRANSPARENT_BRUSH);
    gc->SetPen(gc->CreatePen(wxGraphicsPenInfo(kCardEdge).Width(2.0)));
    gc->DrawRectangle(1, 1, kWidth - 2, kHeight - 2);
  }
  return wxBitmap(image);
}
