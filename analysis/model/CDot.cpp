// Construction points.
#include "analysis/model/CDot.h"

#include "analysis/model/Utilities.h"

CDot::CDot(const Point<double>& p) : location(p), id(uniqueID()) {}

CDot::CDot(const Point<double>& p, CBaseSubSection* owner_, void* client_)
    : location(p), id(uniqueID()), owner(owner_), client(client_) {}
