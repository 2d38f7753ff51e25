// The questions the section view's commands ask the user: a number, a
// text, a point, a set of points on a circle, the mesh parameters, a local
// mesh size control and a material. The program's canvas answers with its
// dialogs; tests script the answers. Every question answers false (or no
// material) when the user cancels, and leaves its arguments as they were
// then. The mesh, size-control and material questions count as cancelled
// where nobody answers them.
#pragma once

#include <memory>

#include "platform/core/CString.h"

class CMetal;
class CXSectionAnalysisDoc;

// Points spread on a circle: how many, its radius and the angles (degrees)
// of the first and the last.
struct PointsAtAngles {
  double radius = 10.0;
  int points = 8;
  double start = 0.0;
  double end = 360.0;
};

// What the mesh dialog gives the Mesh Selected command: the node count,
// the material thickness, the chord-height tolerance, the last value and
// the element type (0 three-node triangles, 1 four-node quadrilaterals).
struct MeshParameters {
  int nodes = 100;
  double thickness = 1.0;
  double tolerance = 0.001;
  int lastValue = -1;
  int elementType = 0;
};

class ViewPrompts {
 public:
  virtual ~ViewPrompts() = default;
  // A number under prompt, preset to value.
  virtual bool askValue(const CString& prompt, double& value) = 0;
  // A text under prompt, preset to text.
  virtual bool askText(const CString& prompt, CString& text) = 0;
  // A point, preset to (x, y).
  virtual bool askPoint(double& x, double& y) = 0;
  // The circle and the number of points, preset to request.
  virtual bool pointsAtAngles(PointsAtAngles& request) = 0;
  // The mesh parameters, preset to parameters.
  virtual bool meshParameters(MeshParameters& /*parameters*/) { return false; }
  // The element size and the radius of a local mesh size control.
  virtual bool localControl(double& /*size*/, double& /*radius*/) { return false; }
  // The material manager on doc's database: the metal the user applies
  // (the model's own of that name, or a new one not yet in the model), or
  // null when the manager was closed otherwise.
  virtual std::shared_ptr<CMetal> chooseMaterial(CXSectionAnalysisDoc& /*doc*/) { return nullptr; }
  // The material manager on doc's database, to edit the materials; what it
  // chooses is not applied.
  virtual void editMaterials(CXSectionAnalysisDoc& /*doc*/) {}
};
