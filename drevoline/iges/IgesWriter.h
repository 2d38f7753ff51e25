#pragma once

// IGES export of the current sub-section's outlines. A boundary of one arc
// becomes one rational B-spline entity (126); a boundary of several arcs one
// 126 per arc followed by a composite curve (102) listing them. Solid
// outlines come before the holes inside them. Parameter records go to a
// scratch file first and are copied behind the Directory section.
//
// Layout: 80-column records; Parameter data in columns 1-64, column 65
// blank, the directory pointer right-aligned in 66-72; every Global field
// followed by its delimiter and the section ended by ';'. Units follow the
// model's unit system (centimetres, else inches). Numbers are written in
// the C numeric locale.

#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/CString.h"

class Bspline;
class CCompositeCurve;
class CXSectionAnalysis;

// The writer's process-wide state (one export at a time).
struct IgesWriterState {
    FILE* output = nullptr;
    FILE* scratch = nullptr;
    int nextDirectoryNumber = 1;
    int nextParameterLine = 1;
    int lineFontPattern = 1;
    int level = 1;
    int color = 1;
    int lineWeight = 2;
    int entityType = 0;
    int parameterLineCount = 0;
    int globalLineCount = 0;
    bool member = false;             // the entity being written is a member of a composite
    std::vector<int> members;        // directory numbers of the composite's arcs
    // The local time written as the date of generation (tests set their own).
    std::function<std::tm()> clock;
};

// The writer state.
extern IgesWriterState gIgesWriter;

// Writes the current sub-section of model to path: 0; 4002 when the file
// cannot be opened (with "%s,%d,WrtIGES:Cant open %s.\n" on stderr); 4003
// when origin, normal point and axis point make no orthonormal frame; -1
// for a null model. Records the frame on the current sub-section. Throws a
// wide text when the scratch file cannot be made or rewound.
int WrtIGES(CXSectionAnalysis* model, const CString& path, const char* version, double ox, double oy,
            double oz, double nx, double ny, double nz, double ax, double ay, double az, int level,
            int color);

// Writes the Start line and the three Global lines to the output.
void WriteIgesStartGlobal(const char* version);

// Opens an anonymous scratch file; throws the wide text "Could not open
// scratch file at: <folder>, because <reason>" when it cannot.
void OpenIgesScratchFile();

// Writes every solid outline of the current shapes, each followed by the
// holes inside it: 0; -1 with a message for a null model.
int writeSectionShapes(CXSectionAnalysis* model);

// Writes one outline; returns the directory number of its top entity (0
// for a boundary without arcs, which is not written).
int writeCompositeCurve(CCompositeCurve* curve);

// Writes one type 126 entity; returns its directory number.
int writeBsplineCurveEntity(Bspline* curve);

// Writes one type 102 entity over `members`; returns its directory number.
int writeCompositeCurveEntity();

// Splits one parameter record into Parameter lines on the scratch file,
// each cut after its last delimiter within 64 columns.
void writeParameterLines(const std::string& text);

// Writes the two directory lines of the current entity.
void WriteIgesDirectoryEntry(int firstParameterLine, int form);
