// A construction point of a sub-section.
#pragma once

#include "analysis/geometry/Point.h"
#include "analysis/model/LightProperties.h"

#include "platform/core/CObject.h"

class CBaseSubSection;

// A marked point: its location, a unique id, the sub-section that added it,
// the caller's object it belongs to (client) and its colour (magenta).
class CDot : public CObject {
 public:
  // A dot at p with the next unique id, no owner and no client.
  explicit CDot(const Point<double>& p);
  // A dot at p added by owner for client.
  CDot(const Point<double>& p, CBaseSubSection* owner, void* client);
  ~CDot() override = default;
  CDot(const CDot&) = delete;
  CDot& operator=(const CDot&) = delete;

  Point<double> location;
  int id = 0;
  CBaseSubSection* owner = nullptr;  // not owned
  void* client = nullptr;            // not owned
  int style = 0;                     // drawing style, set by the sub-section
  LightProperties light{1.0f, 0.0f, 1.0f};
};
