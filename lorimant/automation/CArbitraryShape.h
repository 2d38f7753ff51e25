// The arbitrary-shape automation object (ArbitraryShape): a client adds the
// outline's points one by one and then builds a polygon (straight edges) or
// a spline-fitted shape from them under a sub-section.
#pragma once

#include <memory>
#include <vector>

#include "analysis/geometry/Point.h"
#include "platform/ole/CDispatchTable.h"
#include "platform/ole/IAutomationObject.h"

class CShapesCollect;
class CXSectionAnalysisDoc;

class CArbitraryShape : public IAutomationObject {
public:
    // An empty outline for a shape called name of doc's model; a sign below
    // 1 makes a hole. Once doc has closed every member refuses (1).
    CArbitraryShape(CXSectionAnalysisDoc& doc, const CString& name, short sign);

    CString TypeName() const override { return L"ArbitraryShape"; }
    HRESULT CallMethod(const CString& name, std::vector<COleVariant> args, COleVariant* result, EXCEPINFO* excep,
                       UINT* argErr) override;
    const std::vector<VARTYPE>* MemberParameters(const CString& name, std::size_t arity) const override;
    std::vector<CString> MemberNames() const override;

    // Appends (x, y, 0) to the outline's points.
    void AddPoint(double x, double y);
    // Builds a polygon shape of the points (closed when the last lies more
    // than 1e-5 from the first) under the sub-section parentName, journals
    // the polygon block, redraws and fits. Refuses (1) fewer than three
    // distinct points or a parent no sub-section has, (2) a name a shape
    // of the model has. The points stay for a further fit.
    void LinearFit(const CString& parentName);
    // The same with one interpolating cubic through the points; no journal line.
    void SplineFit(const CString& parentName);

    const std::vector<Point<double>>& points() const { return m_points; }

private:
    // The points closed, after the refusals every fit shares.
    std::vector<Point<double>> closedPoints() const;

    // The document, refusing (1) once it has closed.
    CXSectionAnalysisDoc& document() const;

    CXSectionAnalysisDoc* m_doc;
    // The document's shape collection, detached (or gone) when it closes.
    std::weak_ptr<CShapesCollect> m_docAlive;
    CString m_name;
    short m_sign;
    std::vector<Point<double>> m_points;
};

// The object's dispatch table: AddPoint 1, LinearFit 2, SplineFit 3.
const CDispatchTable<CArbitraryShape>& ArbitraryShapeDispatchTable();
