// The exchange commands from the program's menu: wx's file dialogs and the
// folder browser answered by the test in place of their modal loops, the
// text dialog filled and OK pressed, the message boxes scripted. The
// session's journal, replayed as `lorimant --run` replays it, makes the
// same section and the same database rows.
#include <gtest/gtest.h>

#include <wx/dirdlg.h>
#include <wx/filedlg.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "analysis/views/CommonDialogForms.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/analyses/SectionPropertiesXml.h"
#include "lorimant/automation/LorimantTypeLibrary.h"
#include "lorimant/automation/MaterialRecord.h"
#include "lorimant/tests/test_gui_support.h"
#include "lorimant/ui/CSectionDocView.h"
#include "lorimant/ui/FileQuestions.h"
#include "lorimant/ui/SectionCanvas.h"
#include "lorimant/view/CThickSectionView.h"
#include "platform/sqldb/CSQLDatabase.h"
#include "platform/tests/DialogTestSupport.h"
#include "platform/ui/CXSBrowseFolder.h"

namespace test_gui_exchange {

using namespace gui_lorimant_test;
namespace EC = SectionCommand;

// What one file dialog showed.
struct ShownFileDialog {
  wxString wildcard;
  long style;
  wxString name;
};

class GuiExchange : public GuiLorimantTest {
 protected:
  void SetUp() override {
    GuiLorimantTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(start());
    ASSERT_FALSE(documents().empty());
    auto* docView = dynamic_cast<CSectionDocView*>(documents().front()->GetFirstView());
    ASSERT_NE(docView, nullptr);
    view = docView->sectionView();
    ASSERT_NE(dynamic_cast<SectionCanvas*>(view->sectionHost()), nullptr);
    SetFileDialogRunner([this](wxFileDialog& dialog, wxString& chosen) {
      shown.push_back({dialog.GetWildcard(), dialog.GetWindowStyle(), dialog.GetFilename()});
      if (answers.empty()) return static_cast<int>(wxID_CANCEL);
      chosen = wxString::FromUTF8(answers.front().string());
      answers.erase(answers.begin());
      return static_cast<int>(wxID_OK);
    });
  }
  void TearDown() override {
    SetFileDialogRunner(nullptr);
    CXSBrowseFolder::SetRunner(nullptr);
    GuiLorimantTest::TearDown();
  }
  CXSectionAnalysisDoc& core() const { return *view->GetDocument(); }
  double area() const {
    double a = 0;
    const CSubSection* root = core().model()->rootSubSection();
    for (POSITION pos = root->shapeList.GetHeadPosition(); pos != nullptr;) a += root->shapeList.GetNext(pos)->area();
    return a;
  }
  // The message boxes shown so far with the caption.
  std::vector<CString> boxes(const wchar_t* caption) const {
    std::vector<CString> out;
    for (const MessageBoxCall& call : Hooks::messageBoxes())
      if (call.caption == CString(caption)) out.push_back(call.text);
    return out;
  }

  CThickSectionView* view = nullptr;
  std::vector<fs::path> answers;
  std::vector<ShownFileDialog> shown;
};

TEST_F(GuiExchange, EachCommandRunsFromTheMenuAndTheSessionReplays) {
  const fs::path fixture = fs::path(LORIMANT_TEST_DATA) / "exchange_rectangle_3x1.igs";
  // Import IGES: the open dialog with its three types.
  // The first shape of the new document asks for its units: OK takes them.
  answers = {fixture};
  {
    dialog_test::ModalScript units([](CDialog& d) { dialog_test::Click(d, IDOK); });
    command(EC::ImportIges);
  }
  EXPECT_NE(core().unitSystem(), 2);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].wildcard, "IGES Files (*.igs)|*.igs|IGES Files (*.iges)|*.iges|All Files (*.*)|*.*");
  EXPECT_TRUE(shown[0].style & wxFD_OPEN);
  EXPECT_TRUE(shown[0].style & wxFD_FILE_MUST_EXIST);
  EXPECT_NEAR(area(), 3.0, 1e-9);
  EXPECT_TRUE(boxes(L"IGES Error").empty());
  EXPECT_FALSE(gui_test::SaveWindowPng(frame(), "gui_exchange_iges_import").empty());

  // Export Shapes as Polygon: a name without extension gets ".txt".
  answers = {root_ / "shapes"};
  command(EC::ExportPolygon);
  EXPECT_EQ(shown.back().wildcard, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
  EXPECT_TRUE(shown.back().style & wxFD_SAVE);
  ASSERT_TRUE(fs::exists(root_ / "shapes.txt"));
  EXPECT_NE(bytes(root_ / "shapes.txt").find("Area 3\n"), std::string::npos);

  // Export IGES over nothing: no question, the file written.
  answers = {root_ / "out.igs"};
  command(EC::ExportIges);
  EXPECT_EQ(shown.back().wildcard, "IGES Files (*.igs)|*.igs|All Files (*.*)|*.*");
  ASSERT_TRUE(fs::exists(root_ / "out.igs"));

  // Export Section Properties as XML through the text dialog.
  answers = {root_ / "props.xml"};
  {
    dialog_test::ModalScript script([](CDialog& d) {
      EXPECT_EQ(d.GetDlgItemText(CGetStringForm::IDC_PROMPT), CString(L"Enter a name for the section properties set."));
      dialog_test::Type(d, CGetStringForm::IDC_ANSWER, "windowed");
      dialog_test::Click(d, IDOK);
    });
    command(EC::ExportPropertiesXml);
  }
  EXPECT_TRUE(shown.back().style & wxFD_OVERWRITE_PROMPT);
  const std::unique_ptr<SectionPropertiesRecord> props = ReadSectionPropertiesXml(CString::FromUtf8((root_ / "props.xml").string()));
  ASSERT_NE(props, nullptr);
  EXPECT_EQ(props->sectionName, CString(L"windowed"));
  EXPECT_DOUBLE_EQ(props->value(SA_Area), 3.0);

  // Create New Database in a folder chosen with the browser.
  const fs::path folder = root_ / "materials";
  fs::create_directories(folder);
  wxString browserTitle;
  CXSBrowseFolder::SetRunner([&](wxDirDialog& dialog, wxString& chosen) {
    browserTitle = dialog.GetMessage();
    chosen = wxString::FromUTF8(folder.string());
    return static_cast<int>(wxID_OK);
  });
  command(EC::CreateDatabase);
  EXPECT_EQ(browserTitle, "Browse to where you want to store the Quenholt SQL database.");
  const fs::path database = folder / "Quenholt.sqldb";
  ASSERT_TRUE(fs::exists(database));
  EXPECT_EQ(core().model()->materialDatabasePath, CString::FromUtf8(database.string()));

  // Connect To Existing Database, then Show Path To Database.
  answers = {database};
  command(EC::ConnectDatabase);
  EXPECT_TRUE(shown.back().style & wxFD_FILE_MUST_EXIST);
  EXPECT_EQ(boxes(L"SQL Database Change").size(), 1u);
  command(EC::ShowDatabasePath);
  EXPECT_EQ(boxes(L"Path To Current Database"), std::vector<CString>{CString::FromUtf8(database.string())});
  // Only the unit question of the start, closed unanswered.
  EXPECT_LE(unscriptedDialogs_.size(), 1u);

  // The journal, replayed with the database and the exports gone, makes
  // the same section and the same metals.
  std::vector<std::string> body;
  for (const std::string& l : lines(core().journal()->path()))
    if (l.rfind("xscn.", 0) == 0) body.push_back(l);
  const std::vector<std::string> expected = {
      "xscn.ReadIGES \"" + fixture.string() + "\"", "xscn.WriteIGES \"" + (root_ / "out.igs").string() + "\"",
      "xscn.CreateDatabase \"" + database.string() + "\"", "xscn.ConnectDatabase \"" + database.string() + "\""};
  auto next = body.begin();
  for (const std::string& line : expected) {
    next = std::find(next, body.end(), line);
    ASSERT_NE(next, body.end()) << line;
  }
  const auto metalNumbers = [&] {
    CSQLDatabase db(CString::FromUtf8(database.string()).ToStdWString());
    db.connect();
    std::vector<std::vector<double>> out;
    for (const wchar_t* name : {L"Aluminum Default", L"Steel Default"}) {
      MaterialRecord metal;
      EXPECT_TRUE(metal.read(db, name)) << CString(name).ToUtf8();
      out.emplace_back();
      for (const double* v : metal.values()) out.back().push_back(*v);
    }
    return out;
  };
  const std::vector<std::vector<double>> windowedMetals = metalNumbers();
  fs::remove(database);
  fs::remove(root_ / "out.igs");
  std::string macro;
  for (const std::string& l : body) macro += l + "\n";
  macro += "xscn.WriteSectionProperties \"" + (root_ / "replayed.xml").string() + "\",\"root\"\n";
  const fs::path macroFile = root_ / "session.txt";
  std::ofstream(macroFile) << macro;
  const std::string run = std::string(LORIMANT_PROGRAM) + " --run " + macroFile.string() + " > " +
                          (root_ / "run.out").string() + " 2>&1";
  ASSERT_EQ(std::system(run.c_str()), 0) << bytes(root_ / "run.out") << "\n" << macro;
  EXPECT_TRUE(fs::exists(root_ / "out.igs"));
  const std::unique_ptr<SectionPropertiesRecord> replayed =
      ReadSectionPropertiesXml(CString::FromUtf8((root_ / "replayed.xml").string()));
  ASSERT_NE(replayed, nullptr);
  for (short id : {SA_Area, SA_AreaCGx, SA_AreaCGy, SA_Area2ndMomentOfInertiaAboutXc, SA_AreaPolarMomentOfInertia})
    EXPECT_EQ(replayed->value(id), props->value(id)) << id;
  // Every digit of the metals came through the journal, in the C locale.
  EXPECT_EQ(metalNumbers(), windowedMetals);
}

}  // namespace test_gui_exchange
