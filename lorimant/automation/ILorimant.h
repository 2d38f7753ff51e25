// The document's automation interface ILorimant: its dispatch table (the
// form that invocation and journal replay use) and the methods built so far.
#pragma once

#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "platform/ole/CDispatchTable.h"

// The dispatch table of ILorimant: one entry per member in interface order,
// then the entries of DISPIDs 93 to 98 a second time (the first match wins).
// DISPIDs 62, 91 and 106 are not assigned. Members whose work is not built
// yet refuse with code 1 "<name> is not available.".
const CDispatchTable<CXSectionAnalysisDoc>& ILorimantDispatchTable();

namespace ILorimant {

// GroupCurrent (get): the name of the model's current sub-section.
CString GetGroupCurrent(CXSectionAnalysisDoc& doc);
// GroupCurrent (put): makes the sub-section called name current; refuses
// 1001 "Group not found." when no sub-section has the name.
void SetGroupCurrent(CXSectionAnalysisDoc& doc, const CString& name);
// Journals "xscn.ComputeGeomSectionProperties", then computes the current
// sub-section's section properties; refuses (code 1) when there is no
// current sub-section or the properties cannot be computed.
void ComputeGeomSectionProperties(CXSectionAnalysisDoc& doc);

// Sets the program-wide unit system only (0 SI, 1 US customary): no
// conversion, no refresh, no journal line. Refuses (code 1) any other value.
void SetUnitsystem(CXSectionAnalysisDoc& doc, int units);
// Clears the model (every sub-section and the grid), makes sure of "root",
// runs the change routine and clears the picks. Shapes left in the model
// afterwards fail "Not all shapes removed in clear." (a logic error).
void ClearAll(CXSectionAnalysisDoc& doc);
// Keeps a local size control (element size near (x, y), growing to the
// surrounding size at radius) for the next meshing of the shape called
// shapeName, and journals the call. Refuses 1001 "Object not found" for an
// unknown shape and (code 1) a size or radius that is not positive.
void AddLocalSizeControl(CXSectionAnalysisDoc& doc, const CString& shapeName, double x, double y, double size,
                         double radius);

}  // namespace ILorimant
