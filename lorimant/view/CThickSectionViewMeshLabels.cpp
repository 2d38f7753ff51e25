// The labels of the current sub-section's meshes: node identifiers and
// element numbers, each where the element and node value picks look for it.
#include "analysis/views/COpenGLView.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFEQuad4.h"
#include "drevoline/mesh/CFETrng3.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/view/CThickSectionView.h"

namespace {

// Labels lie over the section: no lighting, no depth test, flat shading.
void labelOverlay() {
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glShadeModel(GL_FLAT);
}

CStringA labelText(int n) {
  CStringA text;
  text.Format("%d", n);
  return text;
}

}  // namespace

void CThickSectionView::drawNodeNumbers(CSubSection* sub) {
  if (sub == nullptr) return;
  labelOverlay();
  for (CMesh* mesh : sub->meshes) {
    for (const auto& node : mesh->nodes)
      if (node)
        text3DwithBackground(node->position.x, node->position.y, 0.0, 0.0f, 0.0f, 0.0f, "cc", labelText(node->id()),
                             1.0f, 1.0f, 1.0f, -1);
    glFlush();
  }
  glEnable(GL_DEPTH_TEST);
}

void CThickSectionView::drawElementNumbers(CSubSection* sub) {
  if (sub == nullptr) return;
  labelOverlay();
  for (CMesh* mesh : sub->meshes) {
    for (const auto& e : mesh->quad4Elements) {
      const Point<double> c = e->center();
      text3D(c.x, c.y, 0.0, 0.0f, 0.0f, 0.6f, "cc", labelText(e->number), -1);
    }
    for (const auto& e : mesh->trng3Elements) {
      const Point<double> c = e->center();
      text3D(c.x, c.y, 0.0, 0.0f, 0.0f, 0.6f, "cc", labelText(e->id), -1);
    }
    glFlush();
  }
  glEnable(GL_DEPTH_TEST);
}
