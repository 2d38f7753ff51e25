// The shape automation objects: a shape object (coclass Shape) that refers
// to one shape of a section model, and the document's shape collection
// (coclass Shapes) over the shapes of the current sub-section.
#pragma once

#include "platform/ole/CDispatchTable.h"
#include "platform/ole/IAutomationObject.h"

class CShapeAnalysis;
class CXSectionAnalysis;
class CXSectionAnalysisDoc;

// Refers to a shape by its model and id and looks it up on every use, so it
// never touches a shape that has been deleted: a shape gone from the model,
// or a model that is no longer the current one, leaves the object without a
// shape.
class CShape : public IAutomationObject {
public:
    // An object without a shape.
    CShape() = default;
    // An object referring to shape of model (none when shape is null).
    CShape(const CXSectionAnalysis* model, const CShapeAnalysis* shape);

    // The automation object's type name and its members by name (the
    // dispatch table below).
    CString TypeName() const override { return L"Shape"; }
    HRESULT CallMethod(const CString& name, std::vector<COleVariant> args, COleVariant* result, EXCEPINFO* excep,
                       UINT* argErr) override;
    const std::vector<VARTYPE>* MemberParameters(const CString& name, std::size_t arity) const override;
    std::vector<CString> MemberNames() const override;

    // The shape's name; refuses 1001 without a shape.
    CString GetName() const;
    // Renames the shape; refuses 1001 without a shape, (1) a name another
    // shape of its sub-section has.
    void SetName(const CString& name);
    // The number of the shape's defining points; refuses 1001 without a shape.
    SHORT PointCount() const;
    // Point index (1-based) into x and y; refuses 1001 without a shape and
    // "index must be between 1 and <count>" outside 1 ... PointCount.
    void PointCoord(SHORT index, double& x, double& y) const;

    // The shape referred to while it lives in the current model; else null.
    CShapeAnalysis* shape() const;

private:
    // shape(), refusing 1001 "Shape isn't correctly constructed" when null.
    CShapeAnalysis& validShape() const;

    const CXSectionAnalysis* m_model = nullptr;
    int m_id = 0;
    bool m_refers = false;
};

// The document's collection of the shapes of its model's current
// sub-section (and its descendants); created with the document.
class CShapesCollect : public IAutomationObject {
public:
    explicit CShapesCollect(CXSectionAnalysisDoc& doc) : m_doc(&doc) {}

    // Called by the closing document: every later call refuses (1).
    void detach() { m_doc = nullptr; }
    // False once the document has closed.
    bool attached() const { return m_doc != nullptr; }

    // The automation object's type name and its members by name (the
    // dispatch table below).
    CString TypeName() const override { return L"Shapes"; }
    HRESULT CallMethod(const CString& name, std::vector<COleVariant> args, COleVariant* result, EXCEPINFO* excep,
                       UINT* argErr) override;
    const std::vector<VARTYPE>* MemberParameters(const CString& name, std::size_t arity) const override;
    std::vector<CString> MemberNames() const override;

    // The number of shapes.
    LONG Count();
    // An enumerator over a new shape object per shape, in list order.
    COleVariant NewEnum();
    // The index-th shape (1-based) in the order NewEnum gives; refuses (1)
    // "Index value out of range" outside 1 ... Count.
    COleVariant Item(LONG index);

private:
    // The document, refusing (1) once it has closed.
    CXSectionAnalysisDoc& document() const;

    CXSectionAnalysisDoc* m_doc;
};

// The shape object's dispatch table: name 1 (property), PointCount 2,
// PointCoord 3.
const CDispatchTable<CShape>& ShapeDispatchTable();
// The collection's dispatch table: NewEnum -4, Count 2, Item 3, then Name 1
// (an empty text; a put is ignored) and two entries that DISPIDs 2 and 3
// never reach.
const CDispatchTable<CShapesCollect>& ShapesDispatchTable();
