// Load base: generated name, colour record and direction.
#include "analysis/model/CLoad.h"

#include "analysis/model/LightProperties.h"
#include "analysis/model/Utilities.h"

IMPLEMENT_SERIAL(CLoad, CObject, 1)

CLoad::CLoad() : m_name(nameGen()), m_lightProp(new LightProperties) {
  m_lightProp->ambient = RGBAf{1.0f, 1.0f, 0.0f, 1.0f};
  m_lightProp->diffuse = RGBAf{1.0f, 1.0f, 0.0f, 1.0f};
  m_lightProp->specular = RGBAf{1.0f, 1.0f, 0.7f, 1.0f};
  m_lightProp->shininess = 80.0f;
}

CLoad::~CLoad() { delete m_lightProp; }

void CLoad::direction(Point<double>* out) {
  m_direction.normalize();
  *out = m_direction;
}

CString CLoad::identity() const { return CString(L"Load identity"); }

void CLoad::write() {}
