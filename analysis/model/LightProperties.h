// The colour set of a material, a load or a display record: ambient,
// diffuse and specular colours with a shininess, used as the OpenGL
// material of display records and stored in documents.
#pragma once

#include "platform/core/CObject.h"

class CArchive;

// A colour of four floats, each 0 to 1.
struct RGBAf {
  float red = 0.0f;
  float green = 0.0f;
  float blue = 0.0f;
  float alpha = 0.0f;
};

// Ambient, diffuse and specular colours, shininess and three values that
// only travel with the record (param, mode, flags). Its archive record is
// sixteen four-byte values with no header, stored by owners as an object
// reference so that the class tag precedes it the first time.
class LightProperties : public CObject {
  DECLARE_SERIAL(LightProperties)

 public:
  // Ambient (0.3, 0.3, 0.3, 1), diffuse green (0, 1, 0, 1), specular white,
  // shininess 80, param 50, mode 0x2101, flags 0.
  LightProperties();
  // The defaults with diffuse (r, g, b, 1).
  LightProperties(float r, float g, float b);
  // A copy of all sixteen values of source.
  explicit LightProperties(const LightProperties* source);
  LightProperties(const LightProperties&) = default;
  LightProperties& operator=(const LightProperties&) = default;

  // Ambient and diffuse red, green, blue := diffuseColour's; specular red,
  // green, blue := specularColour's; shininess := shine. Alphas stay.
  void color(const RGBAf* diffuseColour, const RGBAf* specularColour, float shine);

  // Loading: read; storing: write.
  void Serialize(CArchive& ar) override;
  // Reads the sixteen values; the archive's exception on a storing archive
  // or a short record.
  void read(CArchive& ar);
  // Writes the sixteen values; the archive's exception on a loading archive.
  void write(CArchive& ar) const;

  RGBAf ambient{0.3f, 0.3f, 0.3f, 1.0f};
  RGBAf diffuse{0.0f, 1.0f, 0.0f, 1.0f};
  RGBAf specular{1.0f, 1.0f, 1.0f, 1.0f};
  float shininess = 80.0f;
  float param = 50.0f;
  int mode = 0x2101;
  int flags = 0;
};
