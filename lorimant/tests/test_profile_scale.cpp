// Profiles many orders of magnitude larger than a section end, built or
// refused: the curve intersections of their union must not run without end.
#include <gtest/gtest.h>

#include <vector>

#include "lorimant/automation/ILorimant.h"
#include "platform/ole/COleDispatchException.h"
#include "test_document_support.h"

namespace {

using document_test::DocumentTest;

class ProfileScale : public DocumentTest {};

TEST_F(ProfileScale, HugeProfilesAreBuiltOrRefusedInReasonableTime) {
  CXSectionAnalysisDoc doc;
  doc.hidden = true;
  ASSERT_TRUE(doc.OnNewDocument());
  int k = 0;
  for (double scale : {1e8}) {
    // The extruded L of the examples with a toe radius, every length scaled.
    std::vector<double> v = {10, 1, 8, 1.2, 0.5, 90, 0, 2, 0, 0, 0, 0.3};
    for (int i : {0, 1, 2, 3, 4, 11}) v[i] *= scale;
    CString name;
    name.Format(L"L%d", ++k);
    try {
      ILorimant::AddExtrudedL(doc, L"root", name, v);
    } catch (const COleDispatchException& e) {
      EXPECT_FALSE(e.m_strDescription.IsEmpty()) << scale;
    }
  }
}

}  // namespace
