// Helpers shared by the mesher's source files: record changes that keep the
// mesher's index in step, indexed lookups and the orientation sign.
#pragma once

#include "analysis/predicates/Predicates.h"
#include "drevoline/mesh/CMesh.h"

namespace mesher {

// e->set(a, b, left, right), keeping the index in step.
void setEdge(CMesh& m, CEdge* e, CVertex* a, CVertex* b, CTriangle* left, CTriangle* right);
// t->set(...), keeping the index in step.
void setTriangle(CMesh& m, CTriangle* t, CVertex* v0, CVertex* v1, CVertex* v2, CEdge* e0,
                 CEdge* e1, CEdge* e2);
// t->alive = alive, keeping the index in step.
void setAlive(CMesh& m, CTriangle* t, bool alive);
// s's ends := (a, b), keeping the index in step.
void setSegment(CMesh& m, CSegment* s, CVertex* a, CVertex* b);
// The first edge joining a and b (either direction), or null.
CEdge* edgeBetween(CMesh& m, const CVertex* a, const CVertex* b);
// The first segment joining a and b (either direction), or null.
CSegment* segmentBetween(CMesh& m, const CVertex* a, const CVertex* b);
// s becomes (vertexA, mid) and a new segment (mid, old vertexB) with s's
// curve name and curve is returned; "exceed maximum number of segments" when full.
CSegment* splitOffSegment(CMesh& m, CSegment* s, CVertex* mid);

// The sign of the orientation of c against a -> b (adaptive predicate: its
// sign is exact; use it wherever only the sign is read).
inline double orientSign(const CVertex* a, const CVertex* b, const CVertex* c)
{
    return ::orient2d(a->xy(), b->xy(), c->xy());
}

}  // namespace mesher
