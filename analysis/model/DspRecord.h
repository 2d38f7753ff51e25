// Display records: one compiled OpenGL display list with what a view needs
// to draw, pick and label it.
#pragma once

#include "analysis/geometry/Point.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

class CLoadCondition;
class LightProperties;

// What a record needs of the view that draws it: the colour of picked
// records and flat text labels. The OpenGL view base implements it.
class DspRecordView {
 public:
  // The colour set in which picked records are drawn.
  virtual const LightProperties& highlight() const = 0;
  // Draws text at the model point (x, y, z) in colour (r, g, b) with the
  // two-letter placement, in the font list fontList (-1: the default flat
  // text font); draws nothing in selection mode.
  virtual void text3D(double x, double y, double z, float r, float g, float b, const char* placement,
                      CStringA text, int fontList) = 0;

 protected:
  ~DspRecordView() = default;
};

// A text label attached to a record.
struct DspAnnotation {
  Point<double> position;
  float colour[3] = {0.0f, 0.0f, 0.0f};
  char placement[3] = {0, 0, 0};  // two letters and a terminating zero
  CStringA text;
};

// One entry of a view's record lists. The view owns its records; deleting a
// record deletes its display list in the current OpenGL context.
class DspRecord : public CObject {
 public:
  static constexpr int kMaxAnnotations = 20;

  // A visible (visible != 0), posted, pickable, unpicked record of layer 0
  // with priorities 0 and overlay mask 31. material is not owned; object is
  // only compared by address; listId names a display list that the caller
  // compiles.
  DspRecord(const wchar_t* name, void* object, const CLoadCondition* loadCondition, int type, int listId,
            LightProperties* material, int visible);
  // Deletes the display list (glDeleteLists(listId, 1)).
  ~DspRecord() override;
  DspRecord(const DspRecord&) = delete;
  DspRecord& operator=(const DspRecord&) = delete;

  // Marks the record picked or not.
  void pick() { picked = 1; }
  void unpick() { picked = 0; }
  // Whether the record takes part in selection-mode picking.
  void pickable(int value) { m_pickable = value; }
  int pickable() const { return m_pickable; }
  // Sets the drawing and the pick priority.
  void priority(int value) { drawPriority = pickPriority = value; }

  // Adds a black label whose text is value formatted with "%g" (C locale);
  // a twenty-first label is dropped.
  void annotation(const Point<double>* position, double value, const char* placement);
  // Adds a black label with the given text; a twenty-first label is dropped.
  void annotationText(const Point<double>* position, CStringA text, const char* placement);

  // Draws the record when it is visible and posted, layer is negative or
  // its own, priority is negative or its drawing priority, and type shares a
  // bit with typeMask. In GL_SELECT mode it loads its list id as the name
  // (0 when it has no material) and an unpickable record is skipped; the
  // colour is the view's highlight when picked, else the material's diffuse
  // colour (a record without material keeps the current colour). Outside
  // selection mode the labels follow. Throws std::logic_error "OpenGL
  // display failure" on a GL error.
  void display(DspRecordView* view, int priority, unsigned typeMask, int renderMode, int lit, int layer);

  LightProperties* material;
  CString name;             // the name of the function that built it
  unsigned int type;        // type bits that views select by mask
  int kind = 0;             // what the object is, set by the caller (1: a shape)
  BYTE visible;
  int flags = 0;            // set and read by callers only
  int listId;
  void* object;
  int picked = 0;
  int layer = 0;
  int posted = 1;
  int drawPriority = 0;
  int pickPriority = 0;
  int annotationCount = 0;
  int sequence = 0;         // set and read by callers only
  const CLoadCondition* loadCondition;
  DspAnnotation annotations[kMaxAnnotations];
  int overlayMask = 31;

 private:
  void addAnnotation(const Point<double>* position, CStringA text, const char* placement);
  void drawAnnotations(DspRecordView* view) const;

  int m_pickable = 1;
};
