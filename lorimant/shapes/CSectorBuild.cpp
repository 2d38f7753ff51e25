// The basic-shape dialog: validation, building, journal lines, Add and Edit.
#include <cmath>
#include <memory>
#include <stdexcept>

#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "analysis/model/Utilities.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/shapes/CSector.h"
#include "platform/core/Hooks.h"
#include "platform/ole/COleDispatchException.h"

namespace {

// The values a check looks at.
struct SectorInputs {
  double v1, v2, v3, a1, a2;
  int origin, direction;
};

// One check of ValidateInput: the kinds it applies to (bit k for kind k).
struct SectorCheck {
  unsigned kinds;
  bool (*fails)(const SectorInputs&);
  const wchar_t* text;
};

constexpr unsigned bit(int kind) { return 1u << kind; }
constexpr unsigned kAllButDisk = (bit(0) | bit(1) | bit(2) | bit(3) | bit(4) | bit(7) | bit(9) | bit(10));

// In the order the dialog checks them; the first failing one is reported.
constexpr SectorCheck kChecks[] = {
    {bit(0) | bit(2) | bit(10), [](const SectorInputs& i) { return i.v1 < 1e-8; }, L"Invalid radius"},
    {bit(0) | bit(2) | bit(10), [](const SectorInputs& i) { return i.a1 <= 0.001; }, L"Sweep angle is too small"},
    {bit(0), [](const SectorInputs& i) { return std::fabs(i.a1) >= 360.0; }, L"Sweep angle must be less than 360. deg"},
    {bit(2), [](const SectorInputs& i) { return std::fabs(i.a1) > 170.0; }, L"Sweep angle must be less than 170. deg"},
    {bit(2), [](const SectorInputs& i) { return std::fabs(i.a1) < 5.0; }, L"Sweep angle must be greater than 5. deg"},
    {bit(4) | bit(7), [](const SectorInputs& i) { return i.v1 < 1e-8 || i.v2 < 1e-8; }, L"Invalid length or width"},
    {bit(4),
     [](const SectorInputs& i) { return i.a1 < 10.0 || i.a1 > 170.0 || i.a2 < 10.0 || i.a2 > 170.0; },
     L"Invalid trapezoid angles must be in the range [10,170]"},
    {bit(3), [](const SectorInputs& i) { return i.v3 < 1e-8; }, L"Invalid dimensions"},
    {bit(1), [](const SectorInputs& i) { return i.v2 <= 0.0 || i.v1 <= 0.0; }, L"Bad leg length or radius"},
    {bit(1), [](const SectorInputs& i) { return i.v2 / i.v1 < 1e-4; }, L"Leg length is too small"},
    {bit(1), [](const SectorInputs& i) { return i.v2 > 2.0 * i.v1 - 1e-12; },
     L"Leg length can't be greater than 2 times radius."},
    {bit(10), [](const SectorInputs& i) { return i.v2 < 1e-8; }, L"Invalid radius 1"},
    {bit(8), [](const SectorInputs& i) { return i.v1 < 1e-8; }, L"Invalid radius"},
    {bit(9), [](const SectorInputs& i) { return i.v1 <= 0.0; }, L"Radius must be positive"},
    {bit(9), [](const SectorInputs& i) { return i.v2 <= 0.0; }, L"Width must be positive"},
    {bit(9), [](const SectorInputs& i) { return i.a1 <= 0.0 || i.a1 > 359.0; },
     L"Sweep must be positive and less than 359 degrees"},
    {kAllButDisk, [](const SectorInputs& i) { return i.origin == i.direction; }, L"Origin same as direction point."},
    {kAllButDisk, [](const SectorInputs& i) { return i.origin < 0 || i.direction < 0; },
     L"Origin and direction must be greater than 0"},
};

// How a kind's journal line is written: the method with its blanks, the
// values that follow the two names (indices into value 1, value 2, value
// 3, angle 1, angle 2), whether the placement is the disk's short one, and
// what ends the line.
struct JournalForm {
  int kind;
  const wchar_t* head;
  std::vector<int> values;
  bool disk;
  const wchar_t* end;
};

const JournalForm kJournalForms[] = {
    {qhtShapeRectangle, L"xscn.AddRectangle ", {0, 1}, false, L""},
    {qhtShapeParallelogram, L"xscn.AddParallelogram  ", {0, 1, 3, 4}, false, L""},
    {qhtShapeDisk, L"xscn.AddDisk  ", {0}, true, L""},
    {qhtShapeTriangle, L"xscn.AddTriangle  ", {0, 1, 2}, false, L""},
    {qhtShapeSector, L"xscn.AddSector  ", {0, 3}, false, L""},
    {qhtShapeFillet, L"xscn.AddFillet  ", {0, 3}, false, L" "},
    {qhtShapeSectorChord, L"xscn.AddSectorChord  ", {0, 1}, false, L""},
    {qhtShapeAnnulus, L"xscn.AddAnnulus  ", {0, 1, 3}, false, L""},
    // The blend's line replays it like every other kind.
    {qhtShapeBlend, L"xscn.AddBlend ", {0, 1, 3}, false, L""},
};

const wchar_t* const kNameTaken = L"Name for object must be unique";

}  // namespace

void CSector::ValidateInput(double value1, double value2, double value3, double angle1, double angle2, int kind,
                            int originPoint, int directionPoint) {
  if (kind < 0 || kind > 31) return;
  const SectorInputs in{value1, value2, value3, angle1, angle2, originPoint, directionPoint};
  for (const SectorCheck& c : kChecks)
    if ((c.kinds & bit(kind)) != 0 && c.fails(in)) AfxThrowOleDispatchException(1, c.text);
}

CString CSector::journalLine(const CString& subSection) const {
  const double values[5] = {m_value1, m_value2, m_value3, m_angle1, m_angle2};
  const int solid = m_negative != 0 ? 0 : 1;
  for (const JournalForm& f : kJournalForms) {
    if (f.kind != m_kind) continue;
    CString line;
    line.Format(L"%s\"%s\",\"%s\"", f.head, static_cast<const wchar_t*>(JournalQuotedText(subSection)),
                static_cast<const wchar_t*>(JournalQuotedText(m_name)));
    for (int v : f.values) line.AppendFormat(L",%g", values[v]);
    if (f.disk)
      line.AppendFormat(L",%g,%g,%d", m_originX, m_originY, solid);
    else
      line.AppendFormat(L",%g,%g,%d,%d,%g,%d", m_originX, m_originY, m_originPoint, m_directionPoint, m_rotation,
                        solid);
    return line + f.end;
  }
  return CString();
}

bool CSector::readAndValidate() {
  if (window() != nullptr && !UpdateData(TRUE)) return false;
  try {
    ValidateInput(m_value1, m_value2, m_value3, m_angle1, m_angle2, m_kind, m_originPoint, m_directionPoint);
  } catch (const COleDispatchException& e) {
    message(e.m_strDescription, L"", MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  return true;
}

CString CSector::nameToBuild() {
  // A nameless shape gets a generated name, as the replayed line would.
  CString trimmed = m_name;
  if (trimmed.Trim().IsEmpty()) {
    m_name = nameGen();
    UpdateData(FALSE);
  }
  return m_name;
}

CShapeAnalysis* CSector::build(CSubSection* sub, CString name, bool forAdd) {
  CXSectionAnalysis* model = view().model();
  auto shape = std::make_unique<CShapeAnalysis>(model);
  const wchar_t* refused = nullptr;  // the caption of a refusal, when one came
  CString text;
  try {
    shape->sector(sub, model, name, m_originX, m_originY, m_value1, m_value2, m_value3, m_angle1, m_angle2,
                  static_cast<ShapeType>(m_kind), static_cast<short>(m_originPoint),
                  static_cast<short>(m_directionPoint), m_rotation, m_negative != 0);
    return shape.release();
  } catch (const COleDispatchException& e) {
    text = e.m_strDescription;
    refused = L"";
  } catch (const std::invalid_argument& e) {
    text = CString(e.what());
    refused = forAdd ? L"Invalid Argument" : L"";
  } catch (const std::exception& e) {
    text = CString(e.what());
    refused = forAdd ? L"Self-Checker" : L"";
  }
  // The half-built shape goes with everything it left in the model.
  shape.reset();
  message(text, refused, MB_OK | MB_ICONEXCLAMATION);
  if (forAdd) view().RebuildAndRedraw();
  return nullptr;
}

void CSector::finishBuild(CShapeAnalysis* shape, const CString& subName) {
  CXSectionAnalysisDoc* doc = document();
  gLogMsg = journalLine(subName);
  if (doc != nullptr) doc->LogIt();
  view().ClearPicks();
  UpdateData(FALSE);
  m_shapeName = shape->name();
  setHasShape(true);
  if (doc != nullptr) doc->ModelChanged();
  view().RebuildAndRedraw();
  view().fullView();
}

void CSector::OnAdd() {
  CXSectionAnalysis* model = view().model();
  if (model == nullptr || !readAndValidate()) return;
  const CString name = nameToBuild();
  if (model->findShape(name) != nullptr) {
    message(kNameTaken, L"", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  view().EnsureRootSubSection();
  CSubSection* sub = model->currentSubSectionMutable();
  if (sub == nullptr) return;
  CShapeAnalysis* shape = build(sub, name, true);
  if (shape != nullptr) finishBuild(shape, sub->name());
}

void CSector::OnEdit() {
  CXSectionAnalysis* model = view().model();
  if (model == nullptr || !readAndValidate()) return;
  view().EnsureRootSubSection();
  CSubSection* sub = model->currentSubSectionMutable();
  if (sub == nullptr) return;
  // The shape to replace, if it is still in the model.
  CShapeAnalysis* old = m_hasShape ? model->findShape(m_shapeName) : nullptr;
  const CString name = nameToBuild();
  const CShapeAnalysis* holder = model->findShape(name);
  if (holder != nullptr && holder != old) {
    message(kNameTaken, L"", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  // Built beside the old shape first, so that a refusal loses nothing.
  CString working = L"~edit~" + name;
  while (model->findShape(working) != nullptr) working += L"~";
  CShapeAnalysis* shape = build(sub, working, false);
  if (shape == nullptr) return;
  if (old != nullptr) {
    const CString oldName = old->name();
    gLogMsg.Format(L"xscn.DeleteShape \"%s\"", static_cast<const wchar_t*>(JournalQuotedText(oldName)));
    if (CXSectionAnalysisDoc* doc = document()) doc->LogIt();
    model->deleteShape(oldName);
  }
  shape->name(name);
  finishBuild(shape, sub->name());
}
