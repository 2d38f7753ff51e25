// The document's automation methods for files, undo and redo, IGES
// exchange and showing the program.
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "analysis/model/Globals.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/AutomationFrame.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/automation/WrittenFiles.h"
#include "lorimant/document/LorimantVersion.h"
#include "lorimant/view/CThickSectionView.h"

namespace {

// The main frame opens a document window when the document has none.
void ensureWindow(CXSectionAnalysisDoc& doc)
{
    if (doc.activeView() == nullptr) doc.frame()->OpenDocumentWindow(doc);
}

CThickSectionView* sectionView(CXSectionAnalysisDoc& doc)
{
    return dynamic_cast<CThickSectionView*>(doc.activeView());
}

// The undo or redo command: the view's own when there is a view, else
// the same steps on the document alone.
void undoOrRedo(CXSectionAnalysisDoc& doc, bool undo)
{
    if (CThickSectionView* view = sectionView(doc)) {
        view->ClearPicks();
        undo ? view->OnUndo() : view->OnRedo();
        return;
    }
    JournalLine(doc, undo ? L"xscn.Undo" : L"xscn.Redo");
    if (undo ? !doc.CanUndo() : !doc.CanRedo()) return;
    if (undo) {
        doc.Undo();
    } else {
        JournalBlock blocked(doc, L"Redo");
        doc.Redo();
    }
    if (CXSectionAnalysis* model = doc.model()) model->initialize();
    doc.frame()->RefreshSectionTree();
}

}  // namespace

namespace ILorimant {

void Show(CXSectionAnalysisDoc& doc)
{
    try {
        ensureWindow(doc);
        doc.frame()->RefreshSectionTree();
    } catch (...) {
        AfxRethrowAsOleDispatchException();
    }
}

void FileOpen(CXSectionAnalysisDoc& doc, const CString& fileName)
{
    // No model is needed beforehand: opening brings one.
    try {
        ensureWindow(doc);
        if (ActiveSectionView* view = doc.activeView())
            view->EnsureRootSubSection();
        else if (CXSectionAnalysis* model = doc.model())
            model->initialize();
        // The document's open empties the model before it reads: a file
        // that cannot even be opened must not cost the user the section.
        if (!std::ifstream(fileName.ToUtf8(), std::ios::binary).is_open()) {
            CString text;
            text.Format(L"Unable to open the file \"%s\".", static_cast<const wchar_t*>(fileName));
            AfxThrowOleDispatchException(1, text);
        }
        // The caller learns why, as the user would ("Not a Lorimant file").
        if (!doc.OnOpenDocument(fileName)) AfxThrowOleDispatchException(1, doc.openFailure());
        doc.MakeCurrent();
        RefreshRedraw(doc, true);
        doc.frame()->RefreshSectionTree();
    } catch (...) {
        AfxRethrowAsOleDispatchException();
    }
}

void FileSave(CXSectionAnalysisDoc& doc, const CString& fileName)
{
    AutomationMethod(doc, [&](CXSectionAnalysis&) {
        if (!doc.OnSaveDocument(fileName)) {
            CString text;
            text.Format(L"Unable to save the file \"%s\".", static_cast<const wchar_t*>(fileName));
            AfxThrowOleDispatchException(1, text);
        }
        NoteFileWritten(fileName);
        RefreshRedraw(doc);
    });
}

void Undo(CXSectionAnalysisDoc& doc)
{
    AutomationMethod(doc, [&](CXSectionAnalysis&) { undoOrRedo(doc, true); });
}

void Redo(CXSectionAnalysisDoc& doc)
{
    AutomationMethod(doc, [&](CXSectionAnalysis&) { undoOrRedo(doc, false); });
}

void ReadIGES(CXSectionAnalysisDoc& doc, const CString& fileName)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CString file = fileName;
        model.readIGES(file, true);
        RefreshRedraw(doc, true);
    });
}

void WriteIGES(CXSectionAnalysisDoc& doc, const CString& fileName)
{
    AutomationMethod(doc, [&](CXSectionAnalysis& model) {
        CString file = fileName;
        CStringA version;
        version.Format("%d.%d", kLorimantVersionMajor, kLorimantVersionMinor);
        model.writeIGES(file, version);
        if (std::filesystem::exists(std::filesystem::path(fileName.ToUtf8()))) NoteFileWritten(fileName);
    });
}

}  // namespace ILorimant
