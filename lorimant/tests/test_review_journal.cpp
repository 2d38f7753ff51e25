// Journal lines of names beyond quotes: commas, parentheses, apostrophes,
// non-ASCII letters, backslashes, tabs, format directives, ten thousand
// characters and line breaks. Each session's journal replays to the same
// model and every call is one journal line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/model/CLog.h"
#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CMetal.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/automation/JournalInterpreter.h"
#include "platform/ole/COleDispatchException.h"
#include "test_journal_support.h"

namespace {

using journal_test::describe;

// Names that hold no quote but every other character a journal text may
// stumble on.
std::vector<CString> awkwardNames() {
  std::vector<CString> names = {
      L"a,b",          L"f(x), g(y)",  L"it's",      L"'lead",     L"Größe µm – 日本 😀", L"dir\\",
      L"\\",           L"tab\there",   L"%s%d%n%%", L" spaced ", L"a\"b,\"c\"(",        L"=xscn.ClearAll",
  };
  CString longName;
  for (int i = 0; i < 10000; ++i) longName += static_cast<wchar_t>(i % 10 == 9 ? L'"' : L'a' + i % 26);
  names.push_back(longName);
  return names;
}

class ReviewJournal : public journal_test::JournalSessionTest {
 protected:
  // A fresh document with its view, as the session's start.
  void freshDocument() {
    view.reset();
    doc = std::make_unique<CXSectionAnalysisDoc>(&frame);
    doc->hidden = true;
    ASSERT_TRUE(doc->OnNewDocument());
    openView();
  }

  // Sub-sections and a profile named on n, moved, renamed, reordered and
  // one deleted, through the automation, the view and the document.
  void session(const CString& n) {
    try {
      ILorimant::CreateSubSection(*doc, n + L"G", L"root");
      ILorimant::CreateSubSection(*doc, n + L"D", L"root");
      ILorimant::AddExtrudedL(*doc, n + L"G", n + L"L", {10, 1, 8, 1.2, 0.5, 90, 0, 2, 0, 0, 0, 0});
      CShapeAnalysis* l = model()->findShape(n + L"L");
      ASSERT_NE(l, nullptr);
      ASSERT_TRUE(view->translateShape(l, Point<double>(1, 2, 0), false));
      ASSERT_TRUE(view->rotateShape(l, false, 0, 0, 90));
      CSubSection* group = model()->findSubSectionMutable(n + L"G");
      ASSERT_NE(group, nullptr);
      doc->PushToBack(group);
      doc->BringToFront(group);
      doc->RenameSubSectionTo(n + L"G", n + L"H");
      doc->DeleteSubSectionAndChildShapes(n + L"D");
    } catch (const COleDispatchException& e) {
      FAIL() << "refused (" << e.m_wCode << ") " << e.m_strDescription.ToUtf8();
    } catch (const CException& e) {
      FAIL() << "failed: " << e.ErrorText().ToUtf8();
    }
  }

  // The session's journal body (after the 16 header lines).
  std::vector<std::string> body() {
    const std::vector<std::string> written = journalLines(*doc);
    return std::vector<std::string>(written.begin() + std::min<std::size_t>(16, written.size()), written.end());
  }

  void expectReplaysToTheSameModel(const std::vector<std::string>& lines) {
    std::string macro;
    for (const std::string& line : lines) macro += line + "\r\n";
    CXSectionAnalysisDoc replayed;
    replayed.hidden = true;
    ASSERT_TRUE(replayed.OnNewDocument());
    const JournalRunResult r = run(replayed, macro);
    ASSERT_TRUE(r.ok) << r.lineNumber << ": " << r.line.substr(0, 200) << ": " << r.description;
    EXPECT_EQ(describe(*replayed.model()), describe(*doc->model()));
  }
};

}  // namespace

// Every awkward name replays to the same model; the session writes one
// line per call, each starting with the object it calls.
TEST_F(ReviewJournal, AwkwardNamesReplayToTheSameModel) {
  for (const CString& n : awkwardNames()) {
    SCOPED_TRACE(n.ToUtf8().substr(0, 40));
    freshDocument();
    session(n);
    if (HasFatalFailure()) return;
    EXPECT_NE(model()->findShape(n + L"L"), nullptr);
    EXPECT_NE(model()->findSubSection(n + L"H"), nullptr);
    const std::vector<std::string> lines = body();
    for (const std::string& line : lines)
      EXPECT_EQ(line.rfind("xscn.", 0), 0u) << line.substr(0, 80);
    expectReplaysToTheSameModel(lines);
  }
}

// A line break in a name cannot stand in a macro text: written as it is it
// ends the journal line inside the text, and what follows it in the name
// replays as a statement of its own. Each call stays one line, and the
// replay neither fails nor runs a statement the session never made.
TEST_F(ReviewJournal, LineBreaksInNamesNeverSplitOrInjectJournalLines) {
  const CString names[] = {L"a\nb", L"a\r\nb", L"a\rb", L"x\",\"root\"\r\nxscn.CreateSubSection \"injected\",\"root",
                           L"a\r\nxscn.DeleteAllMaterials\r\n'", L"\n"};
  for (const CString& n : names) {
    SCOPED_TRACE(n.ToUtf8());
    freshDocument();
    session(n);
    if (HasFatalFailure()) return;
    const std::vector<std::string> lines = body();
    for (const std::string& line : lines) {
      EXPECT_EQ(line.rfind("xscn.", 0), 0u) << line;
      EXPECT_EQ(line.find('\r'), std::string::npos) << line;
      EXPECT_NE(line, "xscn.DeleteAllMaterials");
    }
    std::string macro;
    for (const std::string& line : lines) macro += line + "\r\n";
    CXSectionAnalysisDoc replayed;
    replayed.hidden = true;
    ASSERT_TRUE(replayed.OnNewDocument());
    const JournalRunResult r = run(replayed, macro);
    ASSERT_TRUE(r.ok) << r.lineNumber << ": " << r.line << ": " << r.description;
    EXPECT_EQ(replayed.model()->findSubSection(L"injected"), nullptr);
    // The same tree and shapes, up to the line breaks of the names.
    EXPECT_EQ(replayed.model()->subSections.size(), doc->model()->subSections.size());
    EXPECT_EQ(replayed.model()->shapes.GetCount(), doc->model()->shapes.GetCount());
  }
}

// The quoting function itself: a quote doubled, a line break a blank,
// nothing else touched (commas, parentheses, backslashes, tabs, non-ASCII,
// format directives).
TEST(ReviewJournalQuoting, QuotesDoubledLineBreaksBlanked) {
  const struct {
    const wchar_t* text;
    const wchar_t* quoted;
  } cases[] = {
      {L"", L""},
      {L"a,b(c)", L"a,b(c)"},
      {L"dir\\", L"dir\\"},
      {L"tab\tµ日😀", L"tab\tµ日😀"},
      {L"%s%d", L"%s%d"},
      {L"\"", L"\"\""},
      {L"a\"\"b", L"a\"\"\"\"b"},
      {L"a\r\nb\n", L"a  b "},
      {L"\"\r", L"\"\" "},
  };
  for (const auto& c : cases) EXPECT_EQ(JournalQuotedText(c.text), CString(c.quoted)) << CString(c.text).ToUtf8();
}

// A union the model scaled to unite (a section 1000 wide with a hole) is
// undone and redone at its own size: the snapshots hold the union curves
// scaled back.
TEST_F(ReviewJournal, ScaledUnionUndoesAndRedoesAtItsOwnSize) {
  CShapeAnalysis* plate = rectangle(L"plate", 0, 0, 1000, 20);
  CShapeAnalysis* rib = rectangle(L"rib", 480, 0, 40, 600);
  auto metal = std::make_shared<CMetal>();
  metal->name = L"steel";
  plate->material(metal);
  rib->material(metal);
  doc->CheckPoint();
  ILorimant::Union(*doc);
  doc->CheckPoint();
  const auto unionArea = [&]() {
    CSubSection* r = doc->model()->rootSubSection();
    if (r->getUnionShapes() == nullptr) return -1.0;
    double a = 0;
    for (POSITION pos = r->getUnionShapes()->GetHeadPosition(); pos != nullptr;)
      a += std::fabs(r->getUnionShapes()->GetNext(pos)->boundary->area());
    return a;
  };
  const double area = 1000 * 20 + 40 * 580;
  EXPECT_NEAR(unionArea(), area, 1e-9 * area);
  doc->Undo();
  EXPECT_EQ(unionArea(), -1.0);
  doc->Redo();
  EXPECT_NEAR(unionArea(), area, 1e-9 * area);
  CSubSection* r = doc->model()->rootSubSection();
  ASSERT_NE(r->getUnionShapes(), nullptr);
  Point<double> lo, hi;
  r->getUnionShapes()->GetHead()->boundary->extents(lo, hi);
  EXPECT_NEAR(hi.x, 1000, 1e-9);
  EXPECT_NEAR(hi.y, 600, 1e-9);
}
