#pragma once

// IGES entity import: the parameter record of every directory entry becomes
// a curve, a composite curve, a matrix or a surface record, and the closed
// outlines become shapes. What the import learns of an entry is kept beside
// the directory (one IgesEntity per entry), so that the lexical layer's
// entries stay plain directory records.
//
// Ownership: a curve belongs to its entity; every composite curve (the
// entity's own or a type 102's) holds copies, so no curve is owned twice. A
// composite belongs to its entity until a shape takes it. Everything not
// taken is freed by freeDirectoryEntries.

#include <memory>
#include <unordered_map>
#include <vector>

#include "analysis/geometry/Point.h"
#include "drevoline/iges/CDirectoryEntry.h"

class Bspline;
class Bsurface;
class CCompositeCurve;
class CShapeAnalysis;
class Matrix;

// Most members a composite curve may have.
constexpr int igesMaxCompositeMembers = 1000;

// The record of a type 144 trimmed surface.
struct IgesTrimmedSurface {
    int surface = 0;             // PTS
    int outerFlag = 0;           // N1
    int innerCount = 0;          // N2
    int outer = 0;               // PTO
    std::vector<int> inner;      // the N2 inner boundary pointers
};

// What the import learns of one directory entry.
struct IgesEntity {
    std::unique_ptr<Bspline> ownCurve;         // the curve (composites hold copies)
    Bspline* curve = nullptr;                  // ownCurve, or null
    bool memberOfComposite = false;            // a type 102 has copied the curve
    bool wantsOwnComposite = false;            // a visible closed curve: an outline by itself
    bool closed = false;                       // type 102: the composite closes
    std::vector<int> members;                  // type 102
    std::unique_ptr<CCompositeCurve> composite;
    std::unique_ptr<Bsurface> surface;         // types 108, 122, 128
    int curveOnSurface[5] = {0, 0, 0, 0, 0};   // type 142: CRTN, SPTR, BPTR, CPTR, PREF
    IgesTrimmedSurface trimmedSurface;         // type 144
    std::unique_ptr<Matrix> matrix;            // type 124: 3 x 3 rotation
    Point<double> translation;                 // type 124
    Point<double> arcCentre;                   // type 100
    double arcRadius = 0.0;                    // type 100
    CShapeAnalysis* shape = nullptr;           // the shape made from the composite
    std::vector<int> associativities;
    std::vector<int> properties;

    IgesEntity();
    ~IgesEntity();
    IgesEntity(IgesEntity&&) noexcept;
    IgesEntity& operator=(IgesEntity&&) noexcept;
};

// The shapes of the current import, in creation order (not owned: the
// caller attaches them to the model or deletes them).
extern std::vector<CShapeAnalysis*> importedShapes;

// The import's record of entry (created on first use).
IgesEntity& igesEntity(const CDirectoryEntry* entry);

// The first directory entry with that sequence number; null when none.
CDirectoryEntry* findIgesEntry(int sequence);

// Reads the parameter record of entry (the current line is its first line):
// 0, or the reader's errorCode. Throws the wide refusal texts of unsupported
// entities (conics, non-cubic or non-planar parametric splines).
int readParameterEntity(CDirectoryEntry* entry);

// Applies every entity's own transformation matrix to its curve and gives
// every visible closed curve its own composite. Runs once, after all records.
void placeEntityCurves();

// Assembles the composite curve of a type 102 entry from copies of its
// members: 0, or -1 (no composite) when a member is missing, has no curve or
// does not join; the kernel's exceptions are caught and reported on stderr.
int Read102(CDirectoryEntry* entry);

// True when any entry has type 122, 128 or 144.
bool hasSurfaceEntities();

// Shapes from the outer and inner boundaries of the type 144 entries.
// Throws the wide text "Failed to read trimmed surface" when a boundary
// cannot be found or closed.
void readTrimmedSurfaces();

// Shapes from every closed composite curve that is not a member of another.
void createShapesFromCurves();

// Makes every imported outline lying inside an odd number of the others a
// hole, then orients every one by its sign (solids counter-clockwise).
void applyImportedHoleRule();

// Deletes the entries, their curves and composites not handed on, and
// empties the directory.
void freeDirectoryEntries();
