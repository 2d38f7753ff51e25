// The base of every load applied to a sub-section: its kind, id, name,
// display colour and direction.
#pragma once

#include "analysis/geometry/Point.h"

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class LightProperties;

// Kind of a load; a point force is 0.
using LoadType = int;
inline constexpr LoadType kPointForceLoad = 0;

// A load: distributed flag, kind, id, name, an owned colour record and a
// direction. Stored loads are point forces (CPointForce); the base itself
// keeps CObject's empty Serialize.
class CLoad : public CObject {
  DECLARE_SERIAL(CLoad)

 public:
  // A load of kind 0 with id 0, the next generated name, direction
  // (0, 0, 0) and a yellow colour record (ambient and diffuse (1, 1, 0, 1),
  // specular (1, 1, 0.7, 1), shininess 80).
  CLoad();
  // Deletes the colour record.
  ~CLoad() override;
  CLoad(const CLoad&) = delete;
  CLoad& operator=(const CLoad&) = delete;

  // Kind of the load.
  LoadType type() const { return m_type; }
  // Sets the kind of the load.
  void type(LoadType t) { m_type = t; }
  // True for a distributed load.
  bool isDistributed() const { return m_distributed == 1; }
  // Unique id of the load.
  int id() const { return m_id; }
  // Name of the load.
  const CString& name() const { return m_name; }
  // The colour record (owned by the load).
  LightProperties* lightProp() const { return m_lightProp; }
  // The stored direction.
  const Point<double>* direction() const { return &m_direction; }
  // Normalises the stored direction in place (a vector shorter than 1e-12
  // stays as it is) and copies it to out.
  void direction(Point<double>* out);
  // The text "Load identity".
  CString identity() const;
  // Hook for derived loads; does nothing.
  virtual void write();

 protected:
  int m_distributed = 0;
  LoadType m_type = kPointForceLoad;
  int m_id = 0;
  CString m_name;
  LightProperties* m_lightProp = nullptr;
  Point<double> m_direction;
};
