// What a contour picture of a mesh needs of the section part that owns the
// mesh, so that the mesh layer need not know the section layer.
#pragma once

#include "drevoline/mesh/MeshTypes.h"

class CSectionForces;

// The owner of a mesh as its contour picture sees it: the result kind shown,
// the range of the colour scale and the applied section forces; it is told
// the length of the zero line that the picture measured.
class MeshDisplaySource {
 public:
  // The result kind the picture shows.
  virtual RESULTS contourResult() const = 0;
  // The smallest and largest value of that kind (the ends of the colour scale).
  virtual double contourLow() const = 0;
  virtual double contourHigh() const = 0;
  // The section forces of the applied load condition; null when none.
  virtual CSectionForces* contourForces() const = 0;
  // Takes the length of the zero line of the last picture.
  virtual void contourZeroLine(double length) = 0;

 protected:
  ~MeshDisplaySource() = default;
};
