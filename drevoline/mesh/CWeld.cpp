// CWeld: the weld box, its transforms and its file record.
#include "drevoline/mesh/CWeld.h"

#include <algorithm>

#include "drevoline/mesh/CMesh.h"
#include "platform/core/CArchive.h"

IMPLEMENT_SERIAL(CWeld, CObject, 1)

CWeld::CWeld() = default;

CWeld::CWeld(const CString& weldName) : name(weldName) {}

void CWeld::limits()
{
    xmin = std::min(pt1.x, pt2.x);
    xmax = std::max(pt1.x, pt2.x);
    ymin = std::min(pt1.y, pt2.y);
    ymax = std::max(pt1.y, pt2.y);
}

bool CWeld::inBox(const CVertex* v) const
{
    return xmin <= v->x && v->x <= xmax && ymin <= v->y && v->y <= ymax;
}

void CWeld::rotate(Point<double>* centre, double angleDegrees)
{
    pt1.rotate(*centre, angleDegrees);
    pt2.rotate(*centre, angleDegrees);
}

void CWeld::translate(Point<double>* d)
{
    pt1 += *d;
    pt2 += *d;
}

void CWeld::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar << static_cast<BYTE>(applied ? 1 : 0) << name << mesh1 << mesh2 << pt1.x << pt1.y << pt2.x
           << pt2.y << tolerance;
        return;
    }
    curve1 = curve2 = nullptr;
    BYTE flag = 0;
    ar >> flag >> name >> mesh1 >> mesh2 >> pt1.x >> pt1.y >> pt2.x >> pt2.y >> tolerance;
    applied = flag != 0;
    limits();
}
