// Colour sets and their sixteen-value archive record.
#include "analysis/model/LightProperties.h"

#include "platform/core/CArchive.h"

IMPLEMENT_SERIAL(LightProperties, CObject, 1)

LightProperties::LightProperties() = default;

LightProperties::LightProperties(float r, float g, float b) : diffuse{r, g, b, 1.0f} {}

LightProperties::LightProperties(const LightProperties* source) : LightProperties(*source) {}

void LightProperties::color(const RGBAf* diffuseColour, const RGBAf* specularColour, float shine) {
  ambient.red = diffuse.red = diffuseColour->red;
  ambient.green = diffuse.green = diffuseColour->green;
  ambient.blue = diffuse.blue = diffuseColour->blue;
  specular.red = specularColour->red;
  specular.green = specularColour->green;
  specular.blue = specularColour->blue;
  shininess = shine;
}

void LightProperties::Serialize(CArchive& ar) {
  if (ar.IsLoading())
    read(ar);
  else
    write(ar);
}

namespace {

// The record's order: ambient, diffuse, specular (each red, green, blue,
// alpha), shininess, param, then mode and flags as int32.
template <class Props, class Visitor>
void eachFloat(Props& p, Visitor&& visit) {
  for (auto* colour : {&p.ambient, &p.diffuse, &p.specular}) {
    visit(colour->red);
    visit(colour->green);
    visit(colour->blue);
    visit(colour->alpha);
  }
  visit(p.shininess);
  visit(p.param);
}

}  // namespace

void LightProperties::read(CArchive& ar) {
  eachFloat(*this, [&ar](float& v) { ar >> v; });
  ar >> mode;
  ar >> flags;
}

void LightProperties::write(CArchive& ar) const {
  eachFloat(*this, [&ar](const float& v) { ar << v; });
  ar << mode;
  ar << flags;
}
