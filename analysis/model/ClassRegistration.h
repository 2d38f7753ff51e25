// Registration of the library's serialisable classes by name.
//
// A class registers itself in the framework's class registry when the
// library is loaded: declare it with DECLARE_SERIAL(Class) and define it in
// its own source file with IMPLEMENT_SERIAL(Class, Base, 1). The macro's
// static registration object adds the class to the registry (a
// function-local static of the platform core, so the order of static
// initialisation does not matter), and an archive read by any program that
// links the library then finds the class by name without registering it
// itself. Each class is registered by the source file that defines it.
#pragma once

#include <array>

// Names of the classes the library registers at load (schema 1, dynamic
// creation, run-time class name equal to the class name).
inline constexpr std::array<const char*, 18> kAnalysisSerialClasses = {
    "CBaseXSectionAnalysis", "Bspline",          "CCompositeCurve", "CSimpleDIB",
    "CGrid",                 "LightProperties",  "CLoad",           "CLoadCase",
    "CLoadCdnFactor",        "CLoadCombination", "CLoadCondition",  "CMaterial",
    "Matrix",                "CMetal",           "CModel",          "CNurbsSurface",
    "CPointForce",           "PowerSeries",
};
