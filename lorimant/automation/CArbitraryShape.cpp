#include "lorimant/automation/CArbitraryShape.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>

#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/AutomationFrame.h"
#include "lorimant/automation/AutomationObject.h"
#include "lorimant/automation/CShapesCollect.h"
#include "lorimant/automation/ILorimant.h"

namespace {

// The sub-section a fit builds under and the model, after the refusals.
struct FitPlace {
    CXSectionAnalysis* model;
    CSubSection* parent;
};

FitPlace fitPlace(CXSectionAnalysisDoc& doc, const CString& name, const CString& parentName)
{
    CXSectionAnalysis& model = PublishDocumentModel(doc);
    CSubSection* parent = ResolveSubSection(model, parentName);
    if (parent == nullptr)
        AfxThrowOleDispatchException(1, CString(L"Parent does not exist: ") + parentName);
    RefuseTakenShapeName(model, name);
    return {&model, parent};
}

void redrawAndFit(CXSectionAnalysisDoc& doc) { RefreshRedraw(doc, true); }

}  // namespace

HRESULT CArbitraryShape::CallMethod(const CString& name, std::vector<COleVariant> args, COleVariant* result,
                                    EXCEPINFO* excep, UINT* argErr)
{
    return CallDispatchMember(ArbitraryShapeDispatchTable(), *this, name, std::move(args), result, excep, argErr);
}

CArbitraryShape::CArbitraryShape(CXSectionAnalysisDoc& doc, const CString& name, short sign)
    : m_doc(&doc), m_docAlive(doc.shapesCollection()), m_name(name), m_sign(sign)
{
}

CXSectionAnalysisDoc& CArbitraryShape::document() const
{
    const std::shared_ptr<CShapesCollect> alive = m_docAlive.lock();
    if (alive == nullptr || !alive->attached())
        AfxThrowOleDispatchException(1, L"The document of this shape has been closed.");
    return *m_doc;
}

void CArbitraryShape::AddPoint(double x, double y)
{
    AutomationObjectMethod([&] {
        document();
        RefuseNonFinite({x, y});
        m_points.emplace_back(x, y, 0.0);
    });
}

std::vector<Point<double>> CArbitraryShape::closedPoints() const
{
    // Three distinct corners at least: fewer enclose nothing. Counting
    // stops at three, so a long outline costs one pass.
    std::vector<Point<double>> corners;
    for (const Point<double>& p : m_points) {
        if (corners.size() == 3) break;
        const auto near = [&](const Point<double>& c) { return (p - c).length() <= 1e-5; };
        if (std::none_of(corners.begin(), corners.end(), near)) corners.push_back(p);
    }
    if (corners.size() < 3) AfxThrowOleDispatchException(1, L"An arbitrary shape needs at least three points.");
    std::vector<Point<double>> pts = m_points;
    if ((pts.back() - pts.front()).length() > 1e-5) pts.push_back(pts.front());
    return pts;
}

void CArbitraryShape::LinearFit(const CString& parentName)
{
    AutomationObjectMethod([&] {
        CXSectionAnalysisDoc& doc = document();
        std::vector<Point<double>> pts = closedPoints();
        const FitPlace at = fitPlace(doc, m_name, parentName);
        auto shape = std::make_unique<CShapeAnalysis>(at.model);
        shape->polygon(at.parent, m_name, pts.data(), static_cast<int>(pts.size()), m_sign < 1 ? 1 : 0,
                       doc.journal());
        // A hole runs clockwise like the basic shapes' holes, whatever
        // order the points came in.
        shape->orient();
        shape.release();
        redrawAndFit(doc);
    });
}

void CArbitraryShape::SplineFit(const CString& parentName)
{
    AutomationObjectMethod([&] {
        CXSectionAnalysisDoc& doc = document();
        std::vector<Point<double>> pts = closedPoints();
        const FitPlace at = fitPlace(doc, m_name, parentName);
        auto shape = std::make_unique<CShapeAnalysis>(at.model);
        shape->parent = at.parent;
        shape->splineFit(pts.data(), static_cast<int>(pts.size()), m_sign < 1 ? 1 : 0);
        CShapeAnalysis* built = shape.release();
        // The fit lists the shape in the current sub-section: it belongs to
        // the parent alone.
        if (CSubSection* current = at.model->currentSubSectionMutable(); current != at.parent && current != nullptr)
            current->removeChildShape(built);
        built->name(m_name);
        built->orient();
        at.parent->addChildShape(built);
        built->parent = at.parent;
        if (at.model->shapes.Find(built) == nullptr) at.model->shapes.AddTail(built);
        redrawAndFit(doc);
    });
}

namespace {

void addPoint(CArbitraryShape& s, DispatchCall& c) { s.AddPoint(c.R8(0), c.R8(1)); }
void linearFit(CArbitraryShape& s, DispatchCall& c) { s.LinearFit(c.Text(0)); }
void splineFit(CArbitraryShape& s, DispatchCall& c) { s.SplineFit(c.Text(0)); }

}  // namespace

const CDispatchTable<CArbitraryShape>& ArbitraryShapeDispatchTable()
{
    static const CDispatchTable<CArbitraryShape> table({
        {L"AddPoint", 1, {VT_R8, VT_R8}, VT_EMPTY, addPoint},
        {L"LinearFit", 2, {VT_BSTR}, VT_EMPTY, linearFit},
        {L"SplineFit", 3, {VT_BSTR}, VT_EMPTY, splineFit},
    });
    return table;
}

namespace ILorimant {

COleVariant AddArbitraryShape(CXSectionAnalysisDoc& doc, const CString& name, short sign)
{
    return AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        RefuseTakenShapeName(model, name);
        return COleVariant::FromObject(std::make_shared<CArbitraryShape>(doc, name, sign));
    });
}

}  // namespace ILorimant

const std::vector<VARTYPE>* CArbitraryShape::MemberParameters(const CString& name, std::size_t arity) const
{
    return DispatchMemberParameters(ArbitraryShapeDispatchTable(), name, arity);
}

std::vector<CString> CArbitraryShape::MemberNames() const { return DispatchMemberNames(ArbitraryShapeDispatchTable()); }
