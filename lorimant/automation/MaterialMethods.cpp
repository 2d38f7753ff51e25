// The document's automation methods for materials and the material
// database, and the two that hand out shape objects.
#include <filesystem>
#include <stdexcept>

#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/AutomationFrame.h"
#include "lorimant/automation/CMetalMaterial.h"
#include "lorimant/automation/CShapesCollect.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/automation/MaterialAssignment.h"
#include "lorimant/automation/WrittenFiles.h"
#include "platform/sqldb/CSQLDatabase.h"

namespace ILorimant {

namespace {

using MetalPtr = std::shared_ptr<CMetal>;

[[noreturn]] void refuse(const wchar_t* format, const CString& name)
{
    CString message;
    message.Format(format, static_cast<const wchar_t*>(name));
    AfxThrowOleDispatchException(1, message);
}

// The stored metal called name; refuses (1) absentText when the database
// lacks it and "Could not recover material from database" when it cannot be read.
MetalPtr readMaterial(const CXSectionAnalysis& model, const CString& name, const wchar_t* absentText)
{
    MetalPtr metal;
    try {
        std::unique_ptr<CSQLDatabase> db = OpenMaterialDatabase(model);
        if (db->matlExists(name.ToStdWString())) metal = CModel::fetchMetal(*db, name);
    } catch (const COleDispatchException&) {
        throw;  // no database connected: its own words say what to do
    } catch (...) {
        AfxThrowOleDispatchException(1, L"Could not recover material from database");
    }
    if (!metal) AfxThrowOleDispatchException(1, absentText);
    return metal;
}

// The model keeps one material per name: a new name joins its list.
void adopt(CXSectionAnalysis& model, const MetalPtr& metal)
{
    if (!model.findMaterial(metal->name)) model.materials.AddTail(metal);
}

CSubSection& existingSubSection(const CXSectionAnalysis& model, const CString& name)
{
    CSubSection* sub = ResolveSubSection(model, name);
    if (sub == nullptr) AfxThrowOleDispatchException(1, L"SubSection doesn't exist");
    return *sub;
}

// The database file that a path given by a script names here.
std::wstring databaseFile(const CString& path) { return resolveMaterialDatabasePath(path).ToStdWString(); }

}  // namespace

COleVariant Shapes(CXSectionAnalysisDoc& doc)
{
    const std::shared_ptr<CShapesCollect> shapes = doc.shapesCollection();
    if (!shapes) AfxThrowOleDispatchException(1, L"The document has no shape collection.");
    return COleVariant::FromObject(shapes);
}

COleVariant FindShape(CXSectionAnalysisDoc& doc, const CString& name)
{
    return AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        return COleVariant::FromObject(std::make_shared<CShape>(&model, ResolveShape(model, name)));
    });
}

void ApplyMaterialToSelected(CXSectionAnalysisDoc& doc, const CString&, const CString& material)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        const MetalPtr metal = readMaterial(model, material, L"Material not found in current database");
        adopt(model, metal);
        if (ActiveSectionView* view = doc.activeView())
            for (const CString& name : view->pickedShapeNames())
                if (CShapeAnalysis* shape = ResolveShape(model, name)) shape->material(metal);
        RefreshRedraw(doc);
    });
}

void ApplyMaterialToAll(CXSectionAnalysisDoc& doc, const CString& subSection, const CString& material)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection& sub = existingSubSection(model, subSection);
        GiveMaterialToAll(model, sub, doc.FetchMaterial(material));
        if (ActiveSectionView* view = doc.activeView()) view->ClearPicks();
        RefreshRedraw(doc);
    });
}

void CreateDatabase(CXSectionAnalysisDoc& doc, const CString& path)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        const std::wstring file = databaseFile(path);
        CSQLDatabase db(file);
        try {
            db.createDatabase(file);
        } catch (...) {
            AfxThrowOleDispatchException(1001, L"Unable to construct the database");
        }
        try {
            db.createMetalTable();
            db.createControlsTable();
        } catch (...) {
            // Half a database would pass for a material database later.
            db.close();
            std::error_code ignored;
            std::filesystem::remove(std::filesystem::path(file), ignored);
            AfxThrowOleDispatchException(1001, L"Unable to construct the database");
        }
        model.materialDatabasePath = path;
        NoteFileWritten(CString(file.c_str()));
    });
}

void AddMaterialDef(CXSectionAnalysisDoc& doc, MaterialRecord& record)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        std::unique_ptr<CSQLDatabase> db = OpenMaterialDatabase(model);
        if (!record.write(*db, false)) refuse(L"Material %s already exists in the database.", record.metal.name);
    });
}

void EditMaterial(CXSectionAnalysisDoc& doc, MaterialRecord& record)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        std::unique_ptr<CSQLDatabase> db = OpenMaterialDatabase(model);
        if (!record.write(*db, true)) refuse(L"Material %s does not exist in the database.", record.metal.name);
    });
}

void DeleteMaterial(CXSectionAnalysisDoc& doc, const CString& name)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        std::unique_ptr<CSQLDatabase> db = OpenMaterialDatabase(model);
        if (!db->deleteMaterial(name.ToUtf8())) refuse(L"Material %s does not exist in the database.", name);
    });
}

void ConnectDatabase(CXSectionAnalysisDoc& doc, const CString& fileName)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSQLDatabase db(databaseFile(fileName));
        db.connect();
        db.close();
        model.materialDatabasePath = fileName;
    });
}

COleVariant AddMaterial(CXSectionAnalysisDoc& doc)
{
    return AutomationMethod(doc, [](CXSectionAnalysis&) {
        return COleVariant::FromObject(std::make_shared<CMetalMaterial>());
    });
}

COleVariant FetchMaterial(CXSectionAnalysisDoc& doc, const CString& name)
{
    return AutomationMethod(doc, [&](CXSectionAnalysis&) {
        auto material = std::make_shared<CMetalMaterial>();
        material->Fetch(name);
        return COleVariant::FromObject(material);
    });
}

void DeleteAllMaterials(CXSectionAnalysisDoc& doc)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        JournalLine(doc, L"xscn.DeleteAllMaterials");
        std::unique_ptr<CSQLDatabase> db = OpenMaterialDatabase(model, false);
        try {
            db->deleteAll();
        } catch (const std::exception& e) {
            if (std::string(e.what()) != "no such table: Metals") throw;
        }
    });
}

SHORT MaterialExists(CXSectionAnalysisDoc& doc, const CString& name)
{
    return AutomationMethod(doc, [&](CXSectionAnalysis&) {
        CXSectionAnalysisDoc* active = GetActiveSectionDoc();
        if (active == nullptr || active->model() == nullptr)
            throw std::logic_error("Invalid document type, not a CXSectionAnalysisDoc");
        std::unique_ptr<CSQLDatabase> db = OpenMaterialDatabase(*active->model());
        return static_cast<SHORT>(db->matlExists(name.ToStdWString()) ? 1 : 0);
    });
}

void SetMaterialOnSubSection(CXSectionAnalysisDoc& doc, const CString& subSection, const CString& material)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        const CSubSection& sub = existingSubSection(model, subSection);
        GiveMaterialToSubSection(model, sub, readMaterial(model, material, L"Material not found."));
        RefreshRedraw(doc);
    });
}

void SetMaterial(CXSectionAnalysisDoc& doc, const CString& subSection, const CString& object,
                 const CString& material)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        const CSubSection& sub = existingSubSection(model, subSection);
        CShapeAnalysis* shape = sub.findShape(object);
        const CSubSection* named = shape ? nullptr : ResolveSubSection(model, object);
        if (shape == nullptr && named == nullptr) AfxThrowOleDispatchException(1, L"Object does not exist");
        const MetalPtr metal = doc.FetchMaterial(material);
        if (shape)
            GiveMaterialToShape(model, *shape, metal);
        else
            GiveMaterialToSubSection(model, *named, metal, true);
        RefreshRedraw(doc);
    });
}

void ApplyMaterialToSubSection(CXSectionAnalysisDoc& doc, const CString& subSection, const CString& material)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        const CSubSection& sub = existingSubSection(model, subSection);
        GiveMaterialToSubSection(model, sub, readMaterial(model, material, L"Material doesn't exist"));
        RefreshRedraw(doc);
    });
}

void ApplyMaterialToShape(CXSectionAnalysisDoc& doc, const CString& shapeName, const CString& material)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CShapeAnalysis* shape = ResolveShape(model, shapeName);
        if (shape == nullptr) AfxThrowOleDispatchException(1, L"Shape doesn't exist");
        GiveMaterialToShape(model, *shape, readMaterial(model, material, L"Material doesn't exist"));
        RefreshRedraw(doc);
    });
}

void ApplyMaterial(CXSectionAnalysisDoc& doc, const CString& object, const CString& material)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        if (ResolveSubSection(model, object) != nullptr) return ApplyMaterialToSubSection(doc, object, material);
        if (ResolveShape(model, object) != nullptr) return ApplyMaterialToShape(doc, object, material);
        AfxThrowOleDispatchException(1, L"Object does not exist");
    });
}

}  // namespace ILorimant
