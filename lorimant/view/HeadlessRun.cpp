#include "lorimant/view/HeadlessRun.h"

#include <memory>

#include "analysis/model/CLog.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/view/CThickSectionView.h"

JournalRunResult RunMacroHeadless(std::istream& macro, std::ostream& out, std::string* journalPath,
                                  const std::function<void(CXSectionAnalysisDoc&)>& inspect)
{
    JournalRunResult result;
    CXSectionAnalysisDoc doc;
    doc.hidden = true;
    doc.OnNewDocument();
    doc.MakeCurrent();
    if (journalPath != nullptr) *journalPath = doc.journal() != nullptr ? doc.journal()->path() : std::string();
    {
        // The view goes before its document.
        std::unique_ptr<CThickSectionView> view = CThickSectionView::createFor(doc);
        JournalInterpreter interpreter(DocumentAutomationObject(doc), out);
        result = interpreter.Run(macro);
        out.flush();
        if (inspect) inspect(doc);
    }
    return result;
}
