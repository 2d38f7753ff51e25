// The profile dialogs' builds: a first build through the member's builder,
// and a replacement of the applied part that never loses it.
#include <exception>

#include "analysis/model/CLog.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/shapes/CFormedExtrudedDlg.h"
#include "platform/ole/COleDispatchException.h"

namespace {

constexpr const wchar_t* kSelfChecker = L"Self-Checker";
constexpr const wchar_t* kNameTaken = L"Object with that name already exists.";
constexpr const wchar_t* kTrialBlocker = L"ProfileTrial";

}  // namespace

void CFormedExtrudedDlg::refuse(const CString& text, const wchar_t* caption) {
  message(text, caption, MB_OK | MB_ICONEXCLAMATION);
}

CString CFormedExtrudedDlg::runBuilder(CXSectionAnalysisDoc& doc, const CString& name) {
  try {
    m_member.builder(doc, m_parentName, name, builderValues());
    return CString();
  } catch (const COleDispatchException& e) {
    return e.m_strDescription.IsEmpty() ? CString(L"The profile could not be built.") : e.m_strDescription;
  } catch (const std::exception& e) {
    return CString(e.what());
  }
}

bool CFormedExtrudedDlg::trialBuild(CXSectionAnalysisDoc& doc, std::vector<CString>& suffixes) {
  CXSectionAnalysis& model = *doc.model();
  CString temporary = L"~trial~" + m_name;
  while (model.findSubSection(temporary) != nullptr || model.findShape(temporary) != nullptr) temporary += L"~";
  CString refused;
  {
    // Nothing of the trial reaches the journal or the undo store.
    CLogBlock block(doc.journal(), kTrialBlocker);
    const bool held = doc.checkPointSuppressed;
    doc.checkPointSuppressed = true;
    refused = runBuilder(doc, temporary);
    if (refused.IsEmpty()) {
      if (const CSubSection* trial = model.findSubSection(temporary)) {
        const std::unique_ptr<ShapeList> shapes = trial->getShapesRecursive();
        for (POSITION pos = shapes->GetHeadPosition(); pos != nullptr;) {
          const CString piece = shapes->GetNext(pos)->name();
          if (piece.Left(temporary.GetLength()) == temporary) suffixes.push_back(piece.Mid(temporary.GetLength()));
        }
      }
      doc.DeleteSubSectionAndChildShapes(temporary);
    }
    doc.checkPointSuppressed = held;
  }
  if (!refused.IsEmpty()) refuse(refused, kSelfChecker);
  return refused.IsEmpty();
}

bool CFormedExtrudedDlg::nameTakenOutsideApplied(const CString& name) const {
  const CXSectionAnalysisDoc* doc = document();
  const CXSectionAnalysis& model = *doc->model();
  const CSubSection* applied = model.findSubSection(m_appliedName);
  const CSubSection* sub = model.findSubSection(name);
  if (sub != nullptr && sub != applied) return true;
  const CShapeAnalysis* shape = model.findShape(name);
  if (shape == nullptr || applied == nullptr) return shape != nullptr;
  // A shape of the applied part (its pieces or its union) goes with it.
  for (const CSubSection* s = shape->subSection(); s != nullptr; s = s->parent())
    if (s == applied) return false;
  return shape->name() != m_appliedName;
}

bool CFormedExtrudedDlg::build() {
  CXSectionAnalysisDoc* doc = document();
  if (doc == nullptr || doc->model() == nullptr) return false;
  const bool replacing = m_applied && !m_appliedName.IsEmpty() && doc->model()->findSubSection(m_appliedName) != nullptr;
  if (replacing) {
    std::vector<CString> suffixes;
    if (!trialBuild(*doc, suffixes)) return false;
    bool taken = nameTakenOutsideApplied(m_name);
    for (const CString& suffix : suffixes) taken = taken || nameTakenOutsideApplied(m_name + suffix);
    if (taken) {
      refuse(kNameTaken, kSelfChecker);
      return false;
    }
    doc->DeleteSubSectionAndChildShapes(m_appliedName);
  }
  const CString refused = runBuilder(*doc, m_name);
  if (refused.IsEmpty()) return true;
  refuse(refused, kSelfChecker);
  // A replaced part is gone by now: the dialog no longer holds one.
  if (replacing) m_applied = false;
  return false;
}
