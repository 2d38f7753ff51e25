// The section model's IGES import: reading a file into the current
// sub-section, and moving imported outlines into the x-y plane.

#include <cmath>
#include <cstdio>
#include <cwchar>
#include <exception>
#include <string>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/Matrix.h"
#include "drevoline/iges/IgesImport.h"
#include "drevoline/iges/IgesReader.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "platform/core/Exceptions.h"

namespace {

IgesReaderState& S = gIgesReader;

// IGES unit flags of the model's length labels.
struct UnitFlagOfLabel {
    const wchar_t* label;
    int flag;
};
constexpr UnitFlagOfLabel kUnitFlags[] = {
    {L"in", 1}, {L"mm", 2}, {L"ft", 4}, {L"m", 6}, {L"cm", 10},
};

// Tells on stderr when the file's unit differs from the model's; the
// coordinates are taken as written.
void reportUnitMismatch(const CXSectionAnalysis& model)
{
    for (const UnitFlagOfLabel& u : kUnitFlags)
        if (model.unitLabels[kLengthLabel] == u.label) {
            if (S.global.unitFlag != 0 && S.global.unitFlag != u.flag)
                std::fprintf(stderr,
                             "IGES unit flag %d (%s) differs from the model's length unit; "
                             "coordinates are taken as written\n",
                             S.global.unitFlag, S.global.unitName);
            return;
        }
}

// Ends the import on every path: the file closed once, the directory and
// every shape not handed to the model released.
struct ImportScope {
    FILE* file;
    bool shapesHandedOn = false;

    void closeFile()
    {
        if (file)
            std::fclose(file);
        file = nullptr;
        S.input = nullptr;
    }
    ~ImportScope()
    {
        closeFile();
        freeDirectoryEntries();
        if (!shapesHandedOn) {
            for (CShapeAnalysis* s : importedShapes)
                delete s;
            importedShapes.clear();
        }
        S.model = nullptr;
    }
};

// The wide text of a malformed parameter record, kept until the next one.
const wchar_t* parameterFailure()
{
    static wchar_t text[257];
    std::swprintf(text, 257, L"Error reading parametric data section on line:  %s",
                  currentLineText().c_str());
    return text;
}

// True when the current line, a Terminate line, counts one or more
// Directory lines: columns 17 to 24 hold "D" and the count, right-aligned.
bool terminateCountsDirectoryLines()
{
    if (S.line[16] != 'D')
        return false;
    long count = 0;
    for (int column = 17; column < 24; ++column) {
        const char c = S.line[column];
        if (c >= '0' && c <= '9')
            count = count * 10 + (c - '0');
        else if (c != ' ' && c != '0')
            return false;
    }
    return count > 0;
}

// Reads the Start, Global and Directory sections.
void readSections()
{
    if (readStartSection() != 0)
        throw L"Not an IGES file";
    if (ReadGlobal() != 0 || S.errorCode != 0)
        throw L"Failure in reading Global Section of IGES file";
    for (int tries = 0; tries < 2 && S.line[72] != 'D' && S.line[72] != 'T'; ++tries)
        if (readRecordLine() != 0)
            break;
    // The Terminate line straight after the Global section: a file of no
    // entities (the export of an empty section), which imports nothing;
    // unless it counts Directory lines, which were then lost.
    if (S.line[72] == 'T') {
        if (terminateCountsDirectoryLines())
            throw L"Failure to read Directory Section of IGES file";
        return;
    }
    if (S.line[72] != 'D')
        throw L"Failure to read Global section of IGES file";
    if (readDirectory() != 0)
        throw L"Failure to read Directory Section of IGES file";
}

// Reads every entry's parameter record.
void readParameterSection()
{
    // The list may not change while it is walked: take a copy.
    const std::vector<CDirectoryEntry*> entries = S.directory;
    for (CDirectoryEntry* entry : entries) {
        if (readParameterEntity(entry) != 0 || S.errorCode != 0)
            throw parameterFailure();
        if (S.fieldStatus != -2)
            findRecordEnd();
        readRecordLine();
    }
}

// Builds the shapes by the surface route when the file has trimmed surfaces
// and the curve route otherwise (or when the surfaces give no outline).
void buildShapes()
{
    for (CDirectoryEntry* entry : S.directory)
        if (entry->entityType == 102 && !entry->blanked)
            Read102(entry);
    if (hasSurfaceEntities())
        readTrimmedSurfaces();
    if (importedShapes.empty())
        createShapesFromCurves();
}

}  // namespace

void CXSectionAnalysis::readIGES(CString& fileName, bool intoCurrent)
{
    importedShapes.clear();
    FILE* file = std::fopen(fileName.ToUtf8().c_str(), "r");
    if (!file)
        throw L"Can't open IGES file";
    ImportScope scope{file};
    freeDirectoryEntries();  // nothing of an earlier reading may be taken for this file's
    resetIgesReader(file);
    S.model = this;
    readSections();
    reportUnitMismatch(*this);
    readParameterSection();
    scope.closeFile();
    try {
        placeEntityCurves();
        buildShapes();
        orientShapes(intoCurrent);
        applyImportedHoleRule();
    } catch (const char*) {
        // The kernel's refusals of a curve it cannot work with: the caller
        // gets one clear text, and the scope releases everything.
        throw L"Failed to build the imported outlines";
    } catch (const CInvalidArgException&) {
        throw L"Failed to build the imported outlines";
    } catch (const std::exception&) {
        throw L"Failed to build the imported outlines";
    }

    CSubSection* current = currentSubSectionMutable();
    if (current == nullptr)
        throw L"No current sub-section to import into";
    scope.shapesHandedOn = true;
    for (size_t i = 0; i < importedShapes.size(); ++i) {
        CShapeAnalysis* shape = importedShapes[i];
        try {
            addShapeToLists(current, shape);
        } catch (...) {
            // Shapes not listed yet are the import's to release.
            for (size_t j = i; j < importedShapes.size(); ++j)
                delete importedShapes[j];
            importedShapes.resize(i);
            throw;
        }
        if (!intoCurrent) {
            if (current->unionShapes == nullptr)
                current->unionShapes = new ShapeList(10);
            current->unionShapes->AddTail(shape);
        }
    }
    if (!intoCurrent)
        current->checkForHoles();
    CXSectionAnalysis* model = scn();
    if (!model->subSections.empty())
        model->currentName = model->subSections.front()->name();
}

void CXSectionAnalysis::orientShapes(bool)
{
    if (importedShapes.empty() || importedShapes.front()->boundary->nArcs() == 0)
        return;
    CCompositeCurve* first = importedShapes.front()->boundary;
    const Point<double> n = first->planeNormal();
    // An outline with no plane of its own (a degenerate one) is left as it is.
    if (std::fabs(std::fabs(n.z) - 1.0) < 1e-5 || !(n.length() > 1e-12) || !std::isfinite(n.length()))
        return;
    Point<double> p0, p1, p2;
    first->select3Pts(p0, p1, p2);
    Point<double> origin = first->avgPoints();
    Point<double> normalPoint = origin + n;
    Point<double> d = p1 - p0;
    const double length = d.length();
    if (length >= 1e-12)
        d = d / length;
    Point<double> directionPoint = origin + d;
    Matrix m(origin, normalPoint, directionPoint);
    for (CShapeAnalysis* s : importedShapes) {
        s->transform(m);
        s->orient();
        s->boundary->verify();
    }
}
