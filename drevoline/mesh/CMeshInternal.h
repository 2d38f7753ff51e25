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
// A new vertex m where segment s is to be split (ChooseSplitPosition1): s
// becomes (vertexA, m) and a new segment (m, old vertexB) takes s's curve
// name and curve. Null when the node allowance is spent; "exceed maximum
// number of segments" when the segments are.
CVertex* splitVertex(CMesh& m, CSegment* s);

// The two triangles of edge e = (vA, vB; left t1, right t2) with their
// other edges and opposite vertices: t1 runs vA -> vB -> o1 over e, e1a
// (vB -> o1), e1b (o1 -> vA); t2 runs vB -> vA -> o2 over e, e2a (vA -> o2),
// e2b (o2 -> vB).
struct EdgeQuad {
    explicit EdgeQuad(CEdge* e)
        : vA(e->vertexA), vB(e->vertexB), t1(e->leftTriangle), t2(e->rightTriangle)
    {
        t1->otherEdges(e, &e1a, &e1b, &o1);
        t2->otherEdges(e, &e2a, &e2b, &o2);
    }
    CVertex* vA;
    CVertex* vB;
    CTriangle* t1;
    CTriangle* t2;
    CEdge* e1a = nullptr;
    CEdge* e1b = nullptr;
    CVertex* o1 = nullptr;
    CEdge* e2a = nullptr;
    CEdge* e2b = nullptr;
    CVertex* o2 = nullptr;
};

// The sign of the orientation of c against a -> b (adaptive predicate: its
// sign is exact; use it wherever only the sign is read).
inline double orientSign(const CVertex* a, const CVertex* b, const CVertex* c)
{
    return ::orient2d(a->xy(), b->xy(), c->xy());
}

}  // namespace mesher
