// Display records: annotations and the drawing of one record.
#include "analysis/model/DspRecord.h"

#include <stdexcept>

#include "analysis/model/LightProperties.h"
#include "platform/gl/OpenGL.h"

namespace {

void checkGl() {
  if (glGetError() != GL_NO_ERROR) throw std::logic_error("OpenGL display failure");
}

// glMaterialfv reads four floats.
void setMaterialColour(const RGBAf& c) {
  const GLfloat rgba[4] = {c.red, c.green, c.blue, c.alpha};
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, rgba);
}

}  // namespace

DspRecord::DspRecord(const wchar_t* recordName, void* shownObject, const CLoadCondition* condition, int typeBits,
                     int list, LightProperties* colours, int isVisible)
    : material(colours),
      name(recordName),
      type(static_cast<unsigned int>(typeBits)),
      visible(isVisible != 0 ? 1 : 0),
      listId(list),
      object(shownObject),
      loadCondition(condition) {}

DspRecord::~DspRecord() {
  if (listId > 0) glDeleteLists(static_cast<GLuint>(listId), 1);
  type = static_cast<unsigned int>(-1);
}

void DspRecord::annotation(const Point<double>* position, double value, const char* placement) {
  CStringA text;
  text.Format("%g", value);
  addAnnotation(position, text, placement);
}

void DspRecord::annotationText(const Point<double>* position, CStringA text, const char* placement) {
  addAnnotation(position, text, placement);
}

void DspRecord::addAnnotation(const Point<double>* position, CStringA text, const char* placement) {
  if (annotationCount >= kMaxAnnotations) return;
  DspAnnotation& slot = annotations[annotationCount];
  slot.position = *position;
  slot.colour[0] = slot.colour[1] = slot.colour[2] = 0.0f;
  slot.placement[0] = slot.placement[1] = slot.placement[2] = 0;
  for (int i = 0; i < 2 && placement != nullptr && placement[i] != 0; ++i) slot.placement[i] = placement[i];
  slot.text = text;
  ++annotationCount;
}

void DspRecord::display(DspRecordView* view, int priorityArg, unsigned typeMask, int renderMode, int /*lit*/,
                        int layerArg) {
  if (!visible || !posted) return;
  if (layerArg >= 0 && layerArg != layer) return;
  if (priorityArg >= 0 && priorityArg != drawPriority) return;
  if ((type & typeMask) == 0) return;

  const bool selecting = renderMode == GL_SELECT;
  if (selecting && !m_pickable) return;
  if (material != nullptr) {
    if (selecting) {
      glLoadName(static_cast<GLuint>(listId));
      checkGl();
    }
    if (picked && view != nullptr) {
      const RGBAf& c = view->highlight().diffuse;
      glColor3f(c.red, c.green, c.blue);
      setMaterialColour(c);
    } else {
      const RGBAf& c = material->diffuse;
      setMaterialColour(c);
      glColor3f(c.red, c.green, c.blue);
    }
  } else if (selecting) {
    // Without a name of its own the record would add to the hit of the
    // record drawn before it, and a click would pick that one.
    glLoadName(0);
    checkGl();
  }
  checkGl();
  glCallList(static_cast<GLuint>(listId));
  checkGl();
  if (!selecting && view != nullptr) drawAnnotations(view);
  checkGl();
}

void DspRecord::drawAnnotations(DspRecordView* view) const {
  for (int i = 0; i < annotationCount; ++i) {
    const DspAnnotation& a = annotations[i];
    view->text3D(a.position.x, a.position.y, a.position.z, a.colour[0], a.colour[1], a.colour[2], a.placement,
                 a.text, -1);
  }
}
