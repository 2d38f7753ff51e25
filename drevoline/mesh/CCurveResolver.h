// The narrow interface through which a mesh finds the boundary curves of
// its segments in the section model that owns it (the mesh layer never
// includes the section layer).
#pragma once

#include "platform/core/CString.h"

class CCompositeCurve;

// What a mesh asks of the section model that owns it.
class CCurveResolver {
public:
    virtual ~CCurveResolver() = default;
    // The boundary curve of the shape called `name`, else of the named sub-section's union shape nearest to (x, y); null when none.
    virtual CCompositeCurve* findCompositeCurve(double x, double y, const CString& name) = 0;
};
