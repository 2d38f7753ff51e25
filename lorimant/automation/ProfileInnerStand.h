// Temporary declarations of the basic-shape automation methods.
#pragma once
#include "lorimant/document/CXSectionAnalysisDoc.h"
namespace ILorimant {
void CreateSubSection(CXSectionAnalysisDoc& doc, const CString& name, const CString& parentName);
void AddParallelogram(CXSectionAnalysisDoc& doc, const CString& p, const CString& nm, double length, double width,
                      double ang1, double ang2, double x, double y, short origin, short dir, double rot, short sgn);
void AddFillet(CXSectionAnalysisDoc& doc, const CString& p, const CString& nm, double radius, double sweep, double x,
               double y, short origin, short dir, double rot, short sgn);
void AddTriangle(CXSectionAnalysisDoc& doc, const CString& p, const CString& nm, double base, double offset,
                 double height, double x, double y, short origin, short dir, double rot, short sgn);
void AddRectangle(CXSectionAnalysisDoc& doc, const CString& p, const CString& nm, double length, double width,
                  double x, double y, short origin, short dir, double rot, short sgn);
void AddAnnulus(CXSectionAnalysisDoc& doc, const CString& p, const CString& nm, double radius, double width,
                double sweep, double x, double y, short origin, short dir, double rot, short sgn);
void GroupAdd(CXSectionAnalysisDoc& doc, const CString& scn, const CString& obj, bool resetParent);
}  // namespace ILorimant
