// Process-wide state of the analysis library: tolerances, the current unit
// system and model, the unique-id counter, the journal line being composed,
// the default materials and a few flags. Every global is defined once, in
// Globals.cpp, with the value it holds before any code runs. (The library's
// serialisable classes and how they register: ClassRegistration.h.)
#pragma once

#include <memory>

#include "platform/core/CRect.h"
#include "analysis/model/EUnitSystem.h"

#include "platform/core/CString.h"
#include "platform/core/Types.h"

class CModel;
class CMetal;

// Numeric tolerances.
extern double gEpsilon;          // general numeric zero, 1e-11
extern double gIntegrationTol;   // numeric integration, 1e-7
extern double gInsectTol;        // curve intersection, 1e-7
extern double gOverlapTol;       // overlap tests, 1e-6
extern double gExtractTol;       // extraction of sub-curves, 1e-6
extern double gAcceptableError;  // 0
extern double gWarningError;     // 0
extern double QHTgSplitTol;      // B-spline splitting; 0 until the kernel sets it

// Versions.
extern int gMajorVersion;  // 0
extern int gMinorVersion;  // 0
extern int gFileVersion;   // document format version, 2

// Current unit system (SI at load) and current model (null at load).
extern EUnitSystem gUnitSystem;
extern CModel* gModel;

// Next unique id handed out by uniqueID(); 1034 at load.
extern int gUniqueID;

// Flags.
extern bool gRunningScript;  // false
extern bool gShowAnimation;  // false

// The application's two default materials; empty at load.
extern std::shared_ptr<CMetal> gDefaultMatl;
extern std::shared_ptr<CMetal> gDefaultMatl2;

// Exported constant.
extern const int gVelkin;  // 1

// The journal line being composed; empty at load.
extern CString gLogMsg;

// Extent of the embedded picture; (0, 0) at load, (572, 400) once a model
// has been read.
extern CSize gEmbedSizePixels;
