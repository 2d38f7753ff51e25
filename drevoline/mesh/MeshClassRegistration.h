// The serialisable classes of the mesh library, registered by name.
//
// Each class registers itself through IMPLEMENT_SERIAL in the source file
// that defines it, so that loading the library makes it known to the
// archive by name (schema 1; the node's schema is 2 with the versionable
// flag).
#pragma once

#include <array>

// Names of the mesh library's serialisable classes.
inline constexpr std::array<const char*, 11> kMeshSerialClasses = {
    "CVertex",  "CEdge",           "CSegment",        "CTriangle", "CMesh",
    "CFEElementAnalysis", "CFETrng3", "CFEModelAnalysis", "CFENodeAnalysis", "CFEQuad4",
    "CWeld",
};
