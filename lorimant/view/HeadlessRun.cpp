#include "lorimant/view/HeadlessRun.h"

#include <memory>

#include "analysis/model/CLog.h"
#include "lorimant/automation/WrittenFiles.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/view/CThickSectionView.h"

JournalRunResult RunMacroHeadless(std::istream& macro, std::ostream& out, std::string* journalPath,
                                  const std::function<void(CXSectionAnalysisDoc&)>& inspect,
                                  HeadlessRunReport* report)
{
    JournalRunResult result;
    TakeWrittenFiles();  // files of an earlier run are not this one's
    {
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
        if (report != nullptr && doc.journal() != nullptr) report->journalProblem = doc.journal()->problem();
        if (report != nullptr && doc.journal() == nullptr) report->journalProblem = "the document has no journal";
    }
    if (report != nullptr) report->written = TakeWrittenFiles();
    return result;
}
