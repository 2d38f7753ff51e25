#include "lorimant/automation/CShapesCollect.h"

#include <memory>
#include <vector>

#include "analysis/model/CEnumVARIANT.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/AutomationFrame.h"
#include "lorimant/automation/AutomationObject.h"

CShape::CShape(const CXSectionAnalysis* model, const CShapeAnalysis* shape)
    : m_model(model), m_id(shape ? shape->id : 0), m_refers(model != nullptr && shape != nullptr)
{
}

CShapeAnalysis* CShape::shape() const
{
    if (!m_refers || m_model != GetFatXSection()) return nullptr;
    return m_model->findShape(static_cast<unsigned int>(m_id));
}

CShapeAnalysis& CShape::validShape() const
{
    CShapeAnalysis* s = shape();
    if (s == nullptr) AfxThrowOleDispatchException(1001, L"Shape isn't correctly constructed");
    return *s;
}

CString CShape::GetName() const
{
    return AutomationObjectMethod([&] { return validShape().name(); });
}

void CShape::SetName(const CString& name)
{
    AutomationObjectMethod([&] {
        CShapeAnalysis& s = validShape();
        CString newName = name;
        GetFatXSection()->renameShape(&s, newName);
    });
}

SHORT CShape::PointCount() const
{
    return AutomationObjectMethod([&] { return static_cast<SHORT>(validShape().definingPoints.size()); });
}

void CShape::PointCoord(SHORT index, double& x, double& y) const
{
    AutomationObjectMethod([&] {
        const CShapeAnalysis& s = validShape();
        const int count = static_cast<int>(s.definingPoints.size());
        if (index <= 0 || index > count) {
            CString message;
            message.Format(L"index must be between 1 and %d", count);
            AfxThrowOleDispatchException(1001, message);
        }
        const Point<double> p = s.pointCoord(index);
        x = p.x;
        y = p.y;
    });
}

namespace {

// The shapes of the current sub-section and its descendants, in list order.
std::vector<CShapeAnalysis*> currentShapes(CXSectionAnalysis& model)
{
    std::vector<CShapeAnalysis*> out;
    const std::unique_ptr<ShapeList> list = model.currentShapes();
    if (!list) return out;
    for (POSITION pos = list->GetHeadPosition(); pos;) out.push_back(list->GetNext(pos));
    return out;
}

COleVariant shapeObject(const CXSectionAnalysis& model, const CShapeAnalysis* shape)
{
    return COleVariant::FromObject(std::make_shared<CShape>(&model, shape));
}

}  // namespace

CXSectionAnalysisDoc& CShapesCollect::document() const
{
    if (m_doc == nullptr) AfxThrowOleDispatchException(1, L"The document of this collection has been closed.");
    return *m_doc;
}

LONG CShapesCollect::Count()
{
    return AutomationMethod(document(), [](CXSectionAnalysis& model) {
        return static_cast<LONG>(currentShapes(model).size());
    });
}

COleVariant CShapesCollect::NewEnum()
{
    return AutomationMethod(document(), [](CXSectionAnalysis& model) {
        std::vector<COleVariant> items;
        for (const CShapeAnalysis* s : currentShapes(model)) items.push_back(shapeObject(model, s));
        // The enumerator's clone owns its copy of the array.
        const CEnumVARIANT<COleVariant> over(items.data(), static_cast<unsigned>(items.size()));
        std::shared_ptr<CEnumVARIANT<COleVariant>> owning = over.OnClone();
        return COleVariant::FromEnumerator(owning);
    });
}

COleVariant CShapesCollect::Item(LONG index)
{
    return AutomationMethod(document(), [&](CXSectionAnalysis& model) {
        const std::vector<CShapeAnalysis*> shapes = currentShapes(model);
        if (index < 1 || index > static_cast<LONG>(shapes.size()))
            AfxThrowOleDispatchException(1, L"Index value out of range");
        return shapeObject(model, shapes[static_cast<std::size_t>(index - 1)]);
    });
}

namespace {

void getName(CShape& s, DispatchCall& call) { call.result = COleVariant(s.GetName()); }
void putName(CShape& s, DispatchCall& call) { s.SetName(call.Text(0)); }
void pointCount(CShape& s, DispatchCall& call) { call.result = COleVariant(s.PointCount()); }
void pointCoord(CShape& s, DispatchCall& call) { s.PointCoord(call.I2(0), call.RefR8(1), call.RefR8(2)); }

void newEnum(CShapesCollect& c, DispatchCall& call) { call.result = c.NewEnum(); }
void count(CShapesCollect& c, DispatchCall& call) { call.result = COleVariant(c.Count()); }
void item(CShapesCollect& c, DispatchCall& call) { call.result = c.Item(call.I4(0)); }
void emptyName(CShapesCollect&, DispatchCall& call) { call.result = COleVariant(L""); }
void nothing(CShapesCollect&, DispatchCall&) {}

constexpr VARTYPE kRef = VT_R8 | VT_BYREF;

}  // namespace

const CDispatchTable<CShape>& ShapeDispatchTable()
{
    static const CDispatchTable<CShape> table({
        {L"name", 1, {}, VT_BSTR, getName, putName},
        {L"PointCount", 2, {}, VT_I2, pointCount},
        {L"PointCoord", 3, {VT_I2, kRef, kRef}, VT_EMPTY, pointCoord},
    });
    return table;
}

const CDispatchTable<CShapesCollect>& ShapesDispatchTable()
{
    static const CDispatchTable<CShapesCollect> table({
        {L"NewEnum", -4, {}, VT_UNKNOWN, newEnum},
        {L"Count", 2, {}, VT_I4, count},
        {L"Item", 3, {VT_I4}, VT_DISPATCH, item},
        {L"Name", 1, {}, VT_BSTR, emptyName, nothing},
        {L"PointCount", 2, {}, VT_EMPTY, nothing},
        {L"PointCoord", 3, {}, VT_EMPTY, nothing},
    });
    return table;
}

HRESULT CShape::CallMethod(const CString& name, std::vector<COleVariant> args, COleVariant* result, EXCEPINFO* excep,
                           UINT* argErr)
{
    return CallDispatchMember(ShapeDispatchTable(), *this, name, std::move(args), result, excep, argErr);
}

HRESULT CShapesCollect::CallMethod(const CString& name, std::vector<COleVariant> args, COleVariant* result,
                                   EXCEPINFO* excep, UINT* argErr)
{
    return CallDispatchMember(ShapesDispatchTable(), *this, name, std::move(args), result, excep, argErr);
}

const std::vector<VARTYPE>* CShape::MemberParameters(const CString& name, std::size_t arity) const
{
    return DispatchMemberParameters(ShapeDispatchTable(), name, arity);
}

std::vector<CString> CShape::MemberNames() const { return DispatchMemberNames(ShapeDispatchTable()); }

const std::vector<VARTYPE>* CShapesCollect::MemberParameters(const CString& name, std::size_t arity) const
{
    return DispatchMemberParameters(ShapesDispatchTable(), name, arity);
}

std::vector<CString> CShapesCollect::MemberNames() const { return DispatchMemberNames(ShapesDispatchTable()); }
