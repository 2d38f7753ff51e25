// The dispatch-table forms of the analysis, mesh, file and undo methods:
// arguments taken from the call in parameter order, the result put back.
#include "lorimant/automation/ILorimant.h"

namespace ILorimantRows {

using Doc = CXSectionAnalysisDoc;

void GetValue(Doc& d, DispatchCall& c) { c.result = COleVariant(ILorimant::GetValue(d, c.I2(0))); }
void BendingAnalysisResult(Doc& d, DispatchCall& c)
{
    c.result = COleVariant(ILorimant::BendingAnalysisResult(d, c.Text(0), c.I2(1)));
}
void CreateFatSectionLoad(Doc& d, DispatchCall& c)
{
    ILorimant::CreateFatSectionLoad(d, c.Text(0), c.R8(1), c.R8(2), c.R8(3), c.R8(4), c.R8(5), c.R8(6));
}
void DeleteLoad(Doc& d, DispatchCall& c) { ILorimant::DeleteLoad(d, c.Text(0)); }
void SetCurrentLoad(Doc& d, DispatchCall& c) { ILorimant::SetCurrentLoad(d, c.Text(0)); }
// The sub-section name (first argument) is not read: bending acts on the
// current sub-section.
void ApplyUnrestrainedBendingForces(Doc& d, DispatchCall& c)
{
    ILorimant::ApplyBendingForces(d, false, c.Text(1), c.R8(2), c.R8(3), c.R8(4), c.I4(5));
}
void ApplyRestrainedBendingForces(Doc& d, DispatchCall& c)
{
    ILorimant::ApplyBendingForces(d, true, c.Text(1), c.R8(2), c.R8(3), c.R8(4), c.I4(5));
}
void BruhnPlasticBendingAnalysis(Doc& d, DispatchCall& c)
{
    ILorimant::BruhnPlasticBendingAnalysis(d, c.Text(0), c.Text(1), c.R8(2));
}
void AddCriticalPoint(Doc& d, DispatchCall& c) { ILorimant::AddCriticalPoint(d, c.Text(0), c.R8(1), c.R8(2), c.R8(3)); }
void ClearCriticalPoints(Doc& d, DispatchCall& c) { ILorimant::ClearCriticalPoints(d, c.Text(0)); }
void ComputeAllSectionProperties(Doc& d, DispatchCall& c) { ILorimant::ComputeAllSectionProperties(d, c.Text(0)); }
void ComputeCozzonePlasticMomentsGivenFo(Doc& d, DispatchCall& c)
{
    ILorimant::ComputeCozzonePlasticMomentsGivenFo(d, c.R8(0), c.R8(1));
}
void ShapeVQIb(Doc& d, DispatchCall& c) { c.result = COleVariant(ILorimant::ShapeVQIb(d, c.Text(0), c.R8(1), c.R8(2))); }
void CozzoneMaxShear(Doc& d, DispatchCall& c)
{
    c.result = COleVariant(ILorimant::CozzoneMaxShear(d, c.R8(0), c.R8(1), c.I2(2)));
}
void MeshSubSection(Doc& d, DispatchCall& c)
{
    ILorimant::MeshSubSection(d, c.Text(0), c.I2(1), c.I4(2), c.R8(3), c.R8(4));
}
void MeshShape(Doc& d, DispatchCall& c) { ILorimant::MeshShape(d, c.Text(0), c.I2(1), c.I4(2), c.R8(3), c.R8(4)); }
void MoveSubSectionMeshesToRoot(Doc& d, DispatchCall&) { ILorimant::MoveSubSectionMeshesToRoot(d); }
void DeleteMeshes(Doc& d, DispatchCall&) { ILorimant::DeleteMeshes(d); }
void CreateWeld(Doc& d, DispatchCall& c) { ILorimant::CreateWeld(d, c.R8(0), c.R8(1), c.R8(2), c.R8(3)); }
void DeleteWelds(Doc& d, DispatchCall&) { ILorimant::DeleteWelds(d); }
void ExecuteWelds(Doc& d, DispatchCall&) { ILorimant::ExecuteWelds(d); }
void GetValueAtLocation(Doc& d, DispatchCall& c)
{
    c.result = COleVariant(ILorimant::GetValueAtLocation(d, c.I2(0), c.R8(1), c.R8(2)));
}
void ExtremeValues(Doc& d, DispatchCall& c) { ILorimant::ExtremeValues(d, c.I2(0), c.RefR8(1), c.RefR8(2)); }
void GetExtremeValue(Doc& d, DispatchCall& c)
{
    ILorimant::GetExtremeValue(d, c.I2(0), c.RefR8(1), c.RefR8(2), c.RefR8(3));
}
void PlotResult(Doc& d, DispatchCall& c) { ILorimant::PlotResult(d, c.I2(0)); }
void LinePlot(Doc& d, DispatchCall& c) { ILorimant::LinePlot(d, c.R8(0), c.R8(1), c.R8(2), c.R8(3), c.I2(4)); }
void BendingBoxForce(Doc& d, DispatchCall& c)
{
    c.result = COleVariant(ILorimant::BendingBoxForce(d, c.R8(0), c.R8(1), c.R8(2), c.R8(3)));
}
void BendingBoxQ(Doc& d, DispatchCall& c)
{
    c.result = COleVariant(ILorimant::BendingBoxQ(d, c.R8(0), c.R8(1), c.R8(2), c.R8(3)));
}
void Show(Doc& d, DispatchCall&) { ILorimant::Show(d); }
void FileOpen(Doc& d, DispatchCall& c) { ILorimant::FileOpen(d, c.Text(0)); }
void FileSave(Doc& d, DispatchCall& c) { ILorimant::FileSave(d, c.Text(0)); }
void Undo(Doc& d, DispatchCall&) { ILorimant::Undo(d); }
void Redo(Doc& d, DispatchCall&) { ILorimant::Redo(d); }
void ReadIGES(Doc& d, DispatchCall& c) { ILorimant::ReadIGES(d, c.Text(0)); }
void WriteIGES(Doc& d, DispatchCall& c) { ILorimant::WriteIGES(d, c.Text(0)); }

}  // namespace ILorimantRows
