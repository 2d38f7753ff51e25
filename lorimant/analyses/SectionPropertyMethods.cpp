// The document's automation methods that export section properties as XML
// and read such exports back.
#include <algorithm>

#include "drevoline/section/CSubSection.h"
#include "lorimant/analyses/SectionPropertiesXml.h"
#include "lorimant/automation/AutomationFrame.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/automation/WrittenFiles.h"

namespace ILorimant {

namespace {

constexpr DISPID kGetValue = 14;

// The value that the document's GetValue reports for the identifier, so
// that the export shows exactly what automation gives; its refusal passes on.
double automationValue(CXSectionAnalysisDoc& doc, short valueId)
{
    const CDispatchTable<CXSectionAnalysisDoc>& table = ILorimantDispatchTable();
    COleVariant result;
    EXCEPINFO excep;
    const HRESULT hr = table.Invoke(doc, kGetValue, DISPATCH_METHOD, {COleVariant(valueId)}, &result, &excep);
    if (hr == DISP_E_EXCEPTION) AfxThrowOleDispatchException(excep.wCode, excep.bstrDescription);
    if (hr != S_OK) AfxThrowOleDispatchException(1, L"GetValue failed.");
    return result.dblVal;
}

const SectionPropertiesRecord* findSet(const CString& name)
{
    const auto& sets = SectionPropertySets();
    const auto it = std::find_if(sets.begin(), sets.end(), [&](const auto& s) { return s->sectionName == name; });
    return it == sets.end() ? nullptr : it->get();
}

}  // namespace

void WriteSectionProperties(CXSectionAnalysisDoc& doc, const CString& fileName, const CString& sectionName)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CSubSection* current = ResolveCurrentSubSection(model);
        if (current == nullptr) AfxThrowOleDispatchException(1, L"There is no current sub-section.");
        if (!current->forceRecalcProperties()) RefuseUncomputedProperties(*current);
        WriteSectionPropertiesXml(
            fileName, sectionName, [&](short id) { return automationValue(doc, id); },
            PlasticPropertiesAvailable(*current));
        NoteFileWritten(fileName);
    });
}

void ReadSectionProperties(CXSectionAnalysisDoc& doc, const CString& fileName)
{
    AutomationMethod(doc, [&](CXSectionAnalysis&) {
        std::unique_ptr<SectionPropertiesRecord> record = ReadSectionPropertiesXml(fileName);
        if (!record) AfxThrowOleDispatchException(1, L"Error reading section properties file");
        if (findSet(record->sectionName))
            AfxThrowOleDispatchException(1001, L"A set of section properties with the same name has already been read in");
        SectionPropertySets().push_back(std::move(record));
    });
}

double GetFileSectionValue(CXSectionAnalysisDoc& doc, const CString& sectionName, short valueId)
{
    return AutomationMethod(doc, [&](CXSectionAnalysis&) {
        const SectionPropertiesRecord* set = findSet(sectionName);
        if (set == nullptr)
            AfxThrowOleDispatchException(1001, L"Checks FAILED,  Results do not match the inputs within tolerance.");
        return set->value(valueId);
    });
}

}  // namespace ILorimant
