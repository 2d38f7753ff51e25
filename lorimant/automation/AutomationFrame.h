// The common frame of every method of the document's automation interface:
// the document's model published as current, names resolved, the two
// refresh sequences through the active view, the journal, and one exception
// boundary through which every failure leaves as a COleDispatchException.
#pragma once

#include <initializer_list>

#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "platform/ole/CDispatchTable.h"

class CShapeAnalysis;
class CSubSection;
class CXSectionAnalysis;

// Publishes doc's own model (and unit system) as current and returns it;
// refuses (code 1) a document that has no model yet.
CXSectionAnalysis& PublishDocumentModel(CXSectionAnalysisDoc& doc);

// Runs work(model) as one automation method of doc, after publishing the
// document's model as current. Whatever work throws leaves as a
// COleDispatchException: a dispatch exception keeps its own code, every
// other kind becomes code 1 with its text.
template <class Work>
auto AutomationMethod(CXSectionAnalysisDoc& doc, Work&& work) -> decltype(work(PublishDocumentModel(doc)))
{
    try {
        return work(PublishDocumentModel(doc));
    } catch (...) {
        AfxRethrowAsOleDispatchException();
    }
}

// The sub-section called name (the model's sub-section lookup); null when none.
CSubSection* ResolveSubSection(const CXSectionAnalysis& model, const CString& name);
// The sub-section called name; refuses (1) with refusal when there is none.
CSubSection& ExistingSubSection(const CXSectionAnalysis& model, const CString& name, const wchar_t* refusal);
// Refuses (2) "Object with that name already exists." when a shape of the
// model has the name.
void RefuseTakenShapeName(const CXSectionAnalysis& model, const CString& name);
// Refuses (1001) "Cannot delete the current group or root group. Change
// current first" when sub is the root, the current sub-section or one the
// current sub-section lies in: its deletion would take the whole section
// or leave the model without a current sub-section.
void RefuseDeletingHeldSubSection(CXSectionAnalysis& model, const CSubSection& sub);
// The model's current sub-section; null when there is none.
CSubSection* ResolveCurrentSubSection(CXSectionAnalysis& model);
// The shape called name anywhere in the model; null when none.
CShapeAnalysis* ResolveShape(const CXSectionAnalysis& model, const CString& name);
// The shape called name in the current sub-section; null when none.
CShapeAnalysis* ResolveShapeInCurrent(CXSectionAnalysis& model, const CString& name);

// Refuses (1) "Invalid number." when any of values is infinite or not a
// number, so that no geometry is built from one.
void RefuseNonFinite(std::initializer_list<double> values);

// The model-changed sequence: the document's change routine (check-point,
// properties out of date, property lists emptied, tree rebuilt); then, with
// an active view, its picks cleared when asked, its display lists rebuilt
// and redrawn and the whole section fitted into it.
void RefreshModelChanged(CXSectionAnalysisDoc& doc, bool clearPicks = false);
// The light sequence: the active view's display lists rebuilt and redrawn,
// and the section fitted when asked. Nothing without an active view.
void RefreshRedraw(CXSectionAnalysisDoc& doc, bool fit = false);

// A text as a journal line quotes it (JournalQuotedText). Other arguments
// pass unchanged.
inline CString JournalQuoted(const CString& text)
{
    return JournalQuotedText(text);
}
inline CString JournalQuoted(const wchar_t* text)
{
    return JournalQuotedText(CString(text));
}
template <class A>
const A& JournalQuoted(const A& value)
{
    return value;
}

// Formats one journal line into the pending line and writes it at once;
// every text argument goes between quotes in the format.
template <class... A>
void JournalLine(CXSectionAnalysisDoc& doc, const wchar_t* format, const A&... args)
{
    gLogMsg.Format(format, JournalQuoted(args)...);
    doc.LogIt();
}

// Refuses (code 1) the sub-section whose properties could not be computed,
// saying why where the reason is plain: it holds no shape at all.
[[noreturn]] void RefuseUncomputedProperties(const CSubSection& sub);

// Blocks doc's journal under name for the lifetime of the object, so that
// the model's own lines are not written while a method works.
class JournalBlock : public CLogBlock {
public:
    JournalBlock(CXSectionAnalysisDoc& doc, const wchar_t* name);
};
