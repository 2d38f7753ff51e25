// Names and paths holding double quotes in journal lines: every writer of a
// line doubles them, so that a session's journal replays to the same model;
// names without quotes keep their exact lines. Also the refusals of deleting
// the root or a sub-section that holds the current one, and the journal
// writing again after a Delete of picked shapes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/model/CLog.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/automation/JournalInterpreter.h"
#include "lorimant/automation/MaterialRecord.h"
#include "platform/ole/COleDispatchException.h"
#include "test_journal_support.h"

namespace {

using journal_test::describe;

// The names a session is run with: a quote inside, two together, at the
// start, at the end, alone, only quotes.
const wchar_t* const kQuotedNames[] = {L"a\"b", L"a\"\"b", L"\"ab", L"ab\"", L"\"", L"\"\"", L"\"a\""};

// text as the macro language writes it inside quotes, doubled here by hand.
std::string macroText(const CString& text) {
  std::string out;
  for (char c : text.ToUtf8()) {
    out += c;
    if (c == '"') out += '"';
  }
  return out;
}

// The texts among the arguments of a journal line, as the interpreter reads them.
std::vector<CString> textArguments(const CString& line) {
  std::vector<CString> texts;
  for (const JournalValue& v : ParseJournalStatement(line).call.args)
    if (v.kind == JournalValue::Kind::Text) texts.push_back(v.text);
  return texts;
}

class JournalQuoting : public journal_test::JournalSessionTest {
 protected:
  // The rectangle both the session and its replay start from.
  static void startingRectangle(CXSectionAnalysisDoc& d, const CString& n) {
    d.MakeCurrent();
    CXSectionAnalysis* m = d.model();
    auto* s = new CShapeAnalysis(m);
    CString name = n + L"P";
    s->sector(m->rootSubSection(), m, name, 20, 0, 3, 2, 0, 90, 90, qhtShapeRectangle, 0, 1, 0.0, false);
  }

  // A session through every kind of writer, with names built on n: the
  // polygon block (model), view transforms, a profile, the document's
  // sub-section operations and the automation's own lines.
  void session(const CString& n) {
    try {
      sessionSteps(n);
    } catch (const COleDispatchException& e) {
      FAIL() << "refused (" << e.m_wCode << ") " << e.m_strDescription.ToUtf8();
    } catch (const CException& e) {
      FAIL() << "failed: " << e.ErrorText().ToUtf8();
    } catch (const std::exception& e) {
      FAIL() << "failed: " << e.what();
    }
  }
  void sessionSteps(const CString& n) {
    const CString g = n + L"G", d = n + L"D";
    // The view moves a rectangle; it is made without a journal line, in
    // the replaying document too.
    startingRectangle(*doc, n);
    ILorimant::CreateSubSection(*doc, g, L"root");
    ILorimant::CreateSubSection(*doc, d, L"root");
    // The polygon block, fitted into the new sub-section.
    const std::string polygon = "Dim polygon As Quenholt.ArbitraryShape\r\nSet polygon = xscn.AddArbitraryShape ( \"" +
                                macroText(n) +
                                "\",1)\r\npolygon.AddPoint 0,0\r\npolygon.AddPoint 3,0\r\npolygon.AddPoint 0,2\r\n"
                                "polygon.LinearFit \"" + macroText(g) + "\"\r\nSet polygon = Nothing\r\n";
    const JournalRunResult r = run(*doc, polygon);
    ASSERT_TRUE(r.ok) << r.lineNumber << ": " << r.line << ": " << r.description;
    CShapeAnalysis* moved = model()->findShape(n + L"P");
    ASSERT_NE(moved, nullptr);
    ASSERT_TRUE(view->translateShape(moved, Point<double>(1, 2, 0), false));
    ASSERT_TRUE(view->rotateShape(moved, false, 0, 0, 90));
    view->mirrorShape(moved, false, Point<double>(0, 0, 0), Point<double>(1, 0, 0));
    ASSERT_TRUE(view->translateShape(moved, Point<double>(10, 0, 0), true));
    ASSERT_TRUE(view->rotateShape(moved, true, 0, 0, 45));
    view->mirrorShape(moved, true, Point<double>(0, 5, 0), Point<double>(0, 1, 0));
    ILorimant::AddExtrudedL(*doc, g, n + L"L", {10, 1, 8, 1.2, 0.5, 90, 0, 2, 0, 0, 0, 0});
    CSubSection* group = model()->findSubSectionMutable(g);
    ASSERT_NE(group, nullptr);
    doc->PushToBack(group);
    doc->BringToFront(group);
    doc->RenameSubSectionTo(g, n + L"H");
    doc->DeleteSubSectionAndChildShapes(d);
  }

  // Replays the session's journal (after its header) into a fresh document
  // and expects the same model.
  void expectReplaysToTheSameModel(const CString& n) {
    std::string macro;
    const std::vector<std::string> written = journalLines(*doc);
    for (std::size_t i = 16; i < written.size(); ++i) macro += written[i] + "\r\n";
    CXSectionAnalysisDoc replayed;
    replayed.hidden = true;
    ASSERT_TRUE(replayed.OnNewDocument());
    startingRectangle(replayed, n);
    const JournalRunResult r = run(replayed, macro);
    ASSERT_TRUE(r.ok) << r.lineNumber << ": " << r.line << ": " << r.description;
    EXPECT_EQ(describe(*replayed.model()), describe(*doc->model()));
  }
};

TEST_F(JournalQuoting, SessionsWithQuotedNamesReplayToTheSameModel) {
  for (const wchar_t* name : kQuotedNames) {
    const CString n(name);
    SCOPED_TRACE(n.ToUtf8());
    view.reset();
    doc = std::make_unique<CXSectionAnalysisDoc>(&frame);
    doc->hidden = true;
    ASSERT_TRUE(doc->OnNewDocument());
    openView();
    session(n);
    if (HasFatalFailure()) return;
    // The session reached every writer with the quoted names.
    for (const CString& made : {n + L"P", n, n + L"L"}) EXPECT_NE(model()->findShape(made), nullptr) << made.ToUtf8();
    EXPECT_NE(model()->findSubSection(n + L"H"), nullptr);
    EXPECT_EQ(model()->findSubSection(n + L"D"), nullptr);
    expectReplaysToTheSameModel(n);
  }
}

TEST_F(JournalQuoting, QuotedNamesAreDoubledInTheirLines) {
  session(L"a\"b");
  const std::vector<std::string> written = journalLines(*doc);
  for (const char* expected : {"Set polygon = xscn.AddArbitraryShape ( \"a\"\"b\",1)", "polygon.LinearFit \"a\"\"bG\"",
                               "xscn.TranslateShape \"a\"\"bP\",1,2", "xscn.RotateShape \"a\"\"bP\", 0,0,90",
                               "xscn.MirrorShape \"a\"\"bP\", 0,0,1,0", "xscn.PushSubSectionToBack \"a\"\"bG\"",
                               "xscn.BringSubSectionToFront \"a\"\"bG\"", "xscn.RenameSubSection \"a\"\"bG\",\"a\"\"bH\"",
                               "xscn.DeleteSubSectionAndChildShapes \"a\"\"bD\"",
                               "xscn.AddExtrudedL \"a\"\"bG\",\"a\"\"bL\",10,1,8,1.2,0.5,90,0,2,0,0,0,0"})
    EXPECT_NE(std::find(written.begin(), written.end(), expected), written.end()) << expected;
}

// Names without quotes keep the exact lines of the journal's formats.
TEST_F(JournalQuoting, NamesWithoutQuotesKeepTheirExactLines) {
  session(L"N");
  const std::vector<std::string> written = journalLines(*doc);
  for (const char* expected :
       {"Dim polygon As Quenholt.ArbitraryShape", "Set polygon = xscn.AddArbitraryShape ( \"N\",1)",
        "polygon.AddPoint 0,0", "polygon.LinearFit \"NG\"", "Set polygon = Nothing", "xscn.TranslateShape \"NP\",1,2",
        "xscn.RotateShape \"NP\", 0,0,90", "xscn.MirrorShape \"NP\", 0,0,1,0", "xscn.PushSubSectionToBack \"NG\"",
        "xscn.BringSubSectionToFront \"NG\"", "xscn.RenameSubSection \"NG\",\"NH\"",
        "xscn.DeleteSubSectionAndChildShapes \"ND\"", "xscn.CreateSubSection \"NG\",\"root\"",
        "xscn.AddExtrudedL \"NG\",\"NL\",10,1,8,1.2,0.5,90,0,2,0,0,0,0"})
    EXPECT_NE(std::find(written.begin(), written.end(), expected), written.end()) << expected;
  const auto duplicate = std::find_if(written.begin(), written.end(),
                                      [](const std::string& l) { return l.rfind("xscn.TranslateDuplicateShape ", 0) == 0; });
  ASSERT_NE(duplicate, written.end());
  EXPECT_EQ(duplicate->rfind("xscn.TranslateDuplicateShape \"NP\",\"", 0), 0u) << *duplicate;
}

// Lines the session does not replay: each text reads back as written.
TEST_F(JournalQuoting, OtherWritersQuoteTheirTexts) {
  for (const wchar_t* name : kQuotedNames) {
    const CString n(name);
    SCOPED_TRACE(n.ToUtf8());
    // The mesh line of a shape.
    CShapeAnalysis* shape = rectangle(name, 0, 0, 2, 1);
    mesh(shape);
    EXPECT_EQ(textArguments(gLogMsg), std::vector<CString>{n});
    EXPECT_EQ(gLogMsg.Find(L"xscn.MeshShape \""), 0) << gLogMsg.ToUtf8();
    // The selection line.
    view->RebuildAndRedraw();
    view->updateDisplayLists();
    DspRecord* record = view->findDspRecord(static_cast<const void*>(shape));
    ASSERT_NE(record, nullptr);
    view->shapeSelected(record);
    EXPECT_EQ(textArguments(CString(journalLines(*doc).back().c_str())), std::vector<CString>{n});
    model()->deleteShape(n);
    // A material's texts.
    MaterialRecord material;
    std::vector<CString> texts;
    for (CString* text : material.texts()) {
      *text = n + CString(static_cast<wchar_t>(L'0' + texts.size()));
      texts.push_back(*text);
    }
    EXPECT_EQ(textArguments(material.journalLine()), texts);
    // The path of a file opened (here one that is not there).
    CXSectionAnalysisDoc opening;
    opening.hidden = true;
    ASSERT_TRUE(opening.OnNewDocument());
    const CString path = CString((root_ / "x").c_str()) + n + L".qhscn";
    EXPECT_FALSE(opening.OnOpenDocument(path));
    EXPECT_EQ(textArguments(CString(journalLines(opening).back().c_str())), std::vector<CString>{path});
  }
}

// ---- deleting what holds the section ----

WORD refusal(const std::function<void()>& call) {
  try {
    call();
  } catch (const COleDispatchException& e) {
    EXPECT_EQ(e.m_strDescription, CString(L"Cannot delete the current group or root group. Change current first"));
    return e.m_wCode;
  }
  return 0;
}

TEST_F(JournalQuoting, DeletingTheRootOrWhatHoldsTheCurrentIsRefused) {
  ILorimant::CreateSubSection(*doc, L"outer", L"root");
  ILorimant::CreateSubSection(*doc, L"inner", L"outer");
  ILorimant::CreateSubSection(*doc, L"aside", L"root");
  ILorimant::SetGroupCurrent(*doc, L"inner");
  const std::size_t written = journalLines(*doc).size();
  const std::function<void(const CString&)> deletions[] = {
      [&](const CString& n) { ILorimant::DeleteSubSection(*doc, n); },
      [&](const CString& n) { ILorimant::DeleteShape(*doc, n); },
      [&](const CString& n) { ILorimant::GroupDelete(*doc, n); },
  };
  for (const auto& erase : deletions) {
    for (const wchar_t* held : {L"root", L"outer", L"inner"}) {
      SCOPED_TRACE(CString(held).ToUtf8());
      EXPECT_EQ(refusal([&] { erase(held); }), 1001);
      EXPECT_NE(model()->findSubSection(held), nullptr);
    }
  }
  EXPECT_EQ(journalLines(*doc).size(), written);
  EXPECT_EQ(model()->currentSubSectionMutable()->name(), CString(L"inner"));
  // A sub-section beside the current one still goes.
  ILorimant::DeleteSubSection(*doc, L"aside");
  EXPECT_EQ(model()->findSubSection(L"aside"), nullptr);
  EXPECT_EQ(journalLines(*doc).back(), "xscn.DeleteSubSectionAndChildShapes \"aside\"");
}

// ---- the journal after a Delete of picked shapes ----

TEST_F(JournalQuoting, JournalWritesAgainAfterADelete) {
  CShapeAnalysis* shape = rectangle(L"R1", 0, 0, 2, 1);
  view->RebuildAndRedraw();
  ASSERT_TRUE(view->SelectShapes({static_cast<const void*>(shape)}));
  view->DeleteSelected();
  EXPECT_EQ(model()->findShape(L"R1"), nullptr);
  EXPECT_FALSE(doc->journal()->isBlocked());
  ILorimant::CreateSubSection(*doc, L"after", L"root");
  const std::vector<std::string> written = journalLines(*doc);
  ASSERT_GE(written.size(), 2u);
  EXPECT_EQ(written[written.size() - 2], "xscn.DeleteSelected");
  EXPECT_EQ(written.back(), "xscn.CreateSubSection \"after\",\"root\"");
}

}  // namespace
