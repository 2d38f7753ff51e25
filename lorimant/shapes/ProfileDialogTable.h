// The nine profile dialogs as data: for each member its class name,
// template and caption, picture, builder, dimension cells in the builder's
// argument order, the trailing toe radius and flange slope (or radius)
// cells, and its standard-shape buttons.
#pragma once

#include <vector>

#include "platform/core/CString.h"

class CXSectionAnalysisDoc;

// One number cell: its control id, the builder parameter it feeds, its default.
struct ProfileCell {
  int id;
  const wchar_t* parameter;
  double defaultValue;
};

// A standard-shape button: control id, label and the database index it passes.
struct ProfileShapeButton {
  int id;
  const wchar_t* label;
  int databaseIndex;
};

// A profile builder: document, parent name, part name, numeric arguments.
using ProfileBuilder = void (*)(CXSectionAnalysisDoc&, const CString&, const CString&, const std::vector<double>&);

struct ProfileMember {
  int kind;  // the profile's ShapeType number (11 to 19)
  const wchar_t* className;
  int templateId;
  const wchar_t* caption;
  int pictureId;
  int bitmapId;
  const wchar_t* builderName;
  ProfileBuilder builder;
  int pointCount;  // the builder's defining points
  int applyId;     // 200, 1202 in the extruded Z
  std::vector<ProfileCell> dimensions;
  std::vector<ProfileCell> trailing;  // toe radius, then flange slope or radius
  std::vector<ProfileShapeButton> shapeButtons;
  int shapeType;  // the type code the standard-shape browser is given (0: no buttons)
};

// The nine members, in ShapeType order.
const std::vector<ProfileMember>& ProfileMembers();
// The member of a profile kind (11 to 19); null for any other.
const ProfileMember* ProfileMemberOf(int kind);
