#pragma once

class Bspline;

// One entry of an IGES Directory section: the fields of its two 80-column
// lines, then what the entity import learns from the entity's parameter
// record. A new entry has every field zero.
class CDirectoryEntry {
public:
    // ---- line 1 ----
    int entityType = 0;             // columns 1-8; replaced by the record's first parameter
    int parameterData = 0;          // 9-16
    int structure = 0;              // 17-24
    int lineFontPattern = 0;        // 25-32
    int level = 0;                  // 33-40
    int view = 0;                   // 41-48
    int transformationMatrix = 0;   // 49-56: sequence number of a type 124 entry, 0 none
    int labelDisplay = 0;           // 57-64
    int status = 0;                 // 65-72 as one number
    bool blanked = false;           // column 66 is '1' (never in a CATIA file)
    int sequence = 0;               // 74-80
    // ---- line 2 ----
    int entityType2 = 0;            // 1-8
    int lineWeight = 0;             // 9-16
    int color = 0;                  // 17-24
    int parameterLineCount = 0;     // 25-32
    int form = 0;                   // 33-40
    int label = 0;                  // 57-64, read as a number
    int subscript = 0;              // 65-72
    int sequence2 = 0;              // 74-80

    // ---- results of the parameter record ----
    Bspline* curve = nullptr;       // not owned by the entry
    bool geometryRead = false;      // the record has been read
};
