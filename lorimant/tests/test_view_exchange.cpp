// The section view's exchange commands run as the window runs them
// (RunCommand) on a real document, their file and folder questions and
// message boxes answered by a script: the polygon export against closed
// forms, IGES import and export with a failing writer, the XML export read
// back, and the material database made, replayed, refused and connected.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CLog.h"
#include "lorimant/analyses/SectionPropertiesXml.h"
#include "lorimant/analyses/SectionPropertyValues.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/automation/LorimantTypeLibrary.h"
#include "lorimant/view/SectionExchange.h"
#include "platform/sqldb/CSQLDatabase.h"
#include "test_journal_support.h"

namespace test_view_exchange {

using namespace journal_test;
namespace fs = std::filesystem;
namespace EC = SectionCommand;

// A window that answers the file and folder questions and the message
// boxes from a script and keeps what it was asked.
class ExchangeHost : public view_test::SectionHost {
 public:
  std::optional<CString> file;  // the next file answer (none: cancelled)
  std::vector<FileQuestion> fileQuestions;
  std::vector<bool> saving;
  int folderAnswer = kFolderCancelled;
  CString folder;
  std::vector<CString> folderTitles;
  std::deque<int> answers;  // answers to the next boxes (else their default)
  std::vector<UINT> types;

  int messageBox(const CString& text, const CString& caption, UINT type) override {
    SectionHost::messageBox(text, caption, type);
    types.push_back(type);
    if (answers.empty()) return Hooks::defaultAnswer(type);
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool saveFile(const FileQuestion& q, CString& path) override { return answerFile(q, true, path); }
  bool openFile(const FileQuestion& q, CString& path) override { return answerFile(q, false, path); }
  int chooseFolder(const CString& title, CString& chosen) override {
    folderTitles.push_back(title);
    if (folderAnswer == kFolderChosen) chosen = folder;
    return folderAnswer;
  }

 private:
  bool answerFile(const FileQuestion& q, bool save, CString& path) {
    fileQuestions.push_back(q);
    saving.push_back(save);
    if (!file) return false;
    path = *file;
    return true;
  }
};

std::string readAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> textLines(const fs::path& file) {
  std::istringstream in(readAll(file));
  std::vector<std::string> out;
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

// v as a stream writes it by default (six significant digits, C locale).
std::string streamed(double v) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out << v;
  return out.str();
}

CString wide(const fs::path& p) { return CString::FromUtf8(p.string()); }

// The numbers of the two default metals as the material table gives them.
const std::array<double, 37> kAluminium = {
    10000000, 10200000, 0.101, -1, 62000, 62000, 45000, 45000, 37000, 37000, 62000, 62000, 40000,
    40000, 0.33, 4000000, 105000, 131000, 75000, 90000, 0.5, 0.5, 0, 0.002, 0.002, 0.002, 0.002, 50, 50,
    13, 13, 12.6969847, 12.6969847, 7.8824039, 7.8824039, 0.12, -0.12};
const std::array<double, 37> kSteel = {
    2.85e7, 2.92e7, 0.283, -1, 170000, 170000, 155000, 155000, 155000, 155000, 170000, 170000, 156000,
    156000, 0.32, 11000000, 347000, 440000, 312000, 346000, 0, 0.5, 0.7, 0.002, 0.002, 0.002, 0.002, 13,
    13, 13, 13, 32.430709, 32.430709, 32.430709, 32.430709, 0.02, -0.02};

class ExchangeCommands : public JournalSessionTest {
 protected:
  void SetUp() override {
    JournalSessionTest::SetUp();
    ask.client = host.client;
    view->setHost(&ask);
  }
  void TearDown() override {
    SetIgesFileWriter(nullptr);
    JournalSessionTest::TearDown();
  }
  // The journal lines that start with prefix.
  std::vector<std::string> journalled(const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& l : journalLines(*doc))
      if (l.rfind(prefix, 0) == 0) out.push_back(l);
    return out;
  }
  bool run(UINT id) { return view->RunCommand(id); }
  using JournalSessionTest::run;
  CShapeAnalysis* disk(const wchar_t* name, double radius) {
    auto* s = new CShapeAnalysis(model());
    CString n(name);
    s->sector(root(), model(), n, 0, 0, radius, 0, 0, 0, 0, qhtShapeDisk, 0, 1, 0.0, false);
    return s;
  }
  // The last message shown, with its caption.
  std::pair<CString, CString> lastMessage() const {
    if (ask.messages.empty()) return {};
    return {ask.messages.back(), ask.captions.back()};
  }

  ExchangeHost ask;
};

// ---- polygon export ----

TEST_F(ExchangeCommands, PolygonExportOfARectangleMatchesItsClosedForms) {
  rectangle(L"aa", 0, 0, 2, 1);
  const fs::path out = root_ / "aa.txt";
  ask.file = wide(out);
  ASSERT_TRUE(run(EC::ExportPolygon));
  ASSERT_EQ(ask.fileQuestions.size(), 1u);
  EXPECT_TRUE(ask.saving[0]);
  EXPECT_EQ(ask.fileQuestions[0].defaultExtension, CString(L"txt"));
  ASSERT_EQ(ask.fileQuestions[0].filters.size(), 2u);
  EXPECT_EQ(ask.fileQuestions[0].filters[0].description, CString(L"Text Files (*.txt)"));
  EXPECT_EQ(ask.fileQuestions[0].filters[1].pattern, CString(L"*.*"));
  EXPECT_TRUE(ask.messages.empty());

  const std::vector<std::string> lines = textLines(out);
  ASSERT_EQ(lines.size(), 13u + 19u);
  const std::string stars(66, '*');
  EXPECT_EQ(lines[0], stars);
  EXPECT_EQ(lines[1], "Quenholt");
  EXPECT_EQ(lines[2], "Version2.0");
  EXPECT_EQ(lines[3], stars);
  EXPECT_EQ(lines[4], "Number Shapes 1");
  EXPECT_EQ(lines[5], "Begin Polygon for aa");
  // The four corners, each once, then the first again.
  std::vector<std::string> corners(lines.begin() + 6, lines.begin() + 10);
  std::sort(corners.begin(), corners.end());
  EXPECT_EQ(corners, (std::vector<std::string>{"0 0", "0 1", "2 0", "2 1"}));
  EXPECT_EQ(lines[10], lines[6]);
  EXPECT_EQ(lines[11], "End Polygon");
  EXPECT_EQ(lines[12], "Sign 1");

  // b = 2 along x, h = 1 along y: Ixc = b h^3 / 12 about the centroidal x
  // axis, Iyc = h b^3 / 12, moduli over the half depths.
  const double b = 2, h = 1, area = b * h, ixc = b * h * h * h / 12, iyc = h * b * b * b / 12;
  const struct {
    const char* label;
    double value;
  } expected[] = {
      {"Area ", area},
      {"CGx ", b / 2},
      {"CGy ", h / 2},
      {"Ixc ", ixc},
      {"Iyc ", iyc},
      {"Imin ", ixc},
      {"Imax  ", iyc},
      {"Ipolar  ", ixc + iyc},
      {"PolarRadiusGyration ", std::sqrt((ixc + iyc) / area)},
      {"RadiusGyrationAboutX ", std::sqrt(ixc / area)},
      {"RadiusGyrationAboutY ", std::sqrt(iyc / area)},
      {"MinRadiusGyration ", std::sqrt(ixc / area)},
      {"MaxRadiusGyration ", std::sqrt(iyc / area)},
      {"ElasticSectionModulusAboutXc ", ixc / (h / 2)},
      {"ElasticSectionModulusAboutYc ", iyc / (b / 2)},
  };
  std::map<std::string, std::string> written;
  std::vector<std::string> labels;
  for (std::size_t i = 13; i < lines.size(); ++i) {
    const std::size_t cut = lines[i].find_last_of(' ');
    labels.push_back(lines[i].substr(0, cut + 1));
    written[labels.back()] = lines[i].substr(cut + 1);
  }
  EXPECT_EQ(labels, (std::vector<std::string>{
                        "Area ", "CGx ", "CGy ", "Ixc ", "Iyc ", "Ixyc ", "Imin ", "Imax  ", "Ipolar  ",
                        "PrincipalAngle ", "PolarRadiusGyration ", "RadiusGyrationAboutX ", "RadiusGyrationAboutY ",
                        "MinRadiusGyration ", "MaxRadiusGyration ", "ElasticSectionModulusAboutXc ",
                        "ElasticSectionModulusAboutYc ", "ElasticSectionModulusAboutXp ",
                        "ElasticSectionModulusAboutYp "}));
  for (const auto& e : expected) EXPECT_EQ(written[e.label], streamed(e.value)) << e.label;
  EXPECT_LT(std::fabs(std::stod(written["Ixyc "])), 1e-12);
  // The principal axes of a rectangle are its centroidal axes, in either order.
  std::vector<std::string> principal = {written["ElasticSectionModulusAboutXp "], written["ElasticSectionModulusAboutYp "]};
  std::sort(principal.begin(), principal.end());
  EXPECT_EQ(principal, (std::vector<std::string>{streamed(ixc / (h / 2)), streamed(iyc / (b / 2))}));
  EXPECT_EQ(written["Iyc "], "0.666667");
  EXPECT_EQ(written["PolarRadiusGyration "], "0.645497");
}

TEST_F(ExchangeCommands, PolygonExportSignsAHoleMinusOne) {
  rectangle(L"outer", 0, 0, 4, 4);
  CShapeAnalysis* hole = rectangle(L"hole", 1, 1, 1, 1);
  model()->changeSign(hole);
  const fs::path out = root_ / "holed.txt";
  ask.file = wide(out);
  ASSERT_TRUE(run(EC::ExportPolygon));
  const std::vector<std::string> lines = textLines(out);
  EXPECT_EQ(lines[4], "Number Shapes 2");
  const auto begin = std::find(lines.begin(), lines.end(), "Begin Polygon for hole");
  ASSERT_NE(begin, lines.end());
  const auto end = std::find(begin, lines.end(), "End Polygon");
  ASSERT_NE(end, lines.end());
  EXPECT_EQ(*(end + 1), "Sign -1");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "Sign 1"), 1);
  // Five header lines, then eight for each rectangle: its name, five
  // points, its end and its sign.
  EXPECT_EQ(lines[5 + 2 * 8], "Area 15");
}

TEST_F(ExchangeCommands, PolygonExportRefinesACircleAndLeavesStraightOutlinesAtTheStart) {
  CShapeAnalysis* d = disk(L"d", 1.0);
  CShapeAnalysis* r = rectangle(L"r", 3, 0, 1, 1);
  EXPECT_EQ(PolygonExportTolerance(*r->boundary, 1e-12), 0.5);
  const fs::path out = root_ / "disk.txt";
  ask.file = wide(out);
  ASSERT_TRUE(run(EC::ExportPolygon));
  const std::vector<std::string> lines = textLines(out);
  const auto begin = std::find(lines.begin(), lines.end(), "Begin Polygon for d");
  const auto end = std::find(begin, lines.end(), "End Polygon");
  ASSERT_NE(end, lines.end());
  std::vector<Point<double>> points;
  for (auto it = begin + 1; it != end; ++it) {
    std::istringstream in(*it);
    double x, y;
    in >> x >> y;
    points.emplace_back(x, y, 0.0);
  }
  // The extreme fibres of the whole section about its centroid span D.
  Point<double> lo, hi;
  root()->extremeFibersFromCG(&lo, &hi, false);
  const double target = (hi - lo).length() / 1000;
  // Each point on the unit circle (six digits), no chord sagging more than
  // the target from it unless the outline already has 300 points.
  double sag = 0;
  for (std::size_t i = 0; i + 1 < points.size(); ++i) {
    EXPECT_NEAR(points[i].length(), 1.0, 1e-5);
    sag = std::max(sag, 1.0 - ((points[i] + points[i + 1]) / 2.0).length());
  }
  EXPECT_TRUE(sag <= target || points.size() >= 300) << points.size() << " points, sag " << sag;
  // Far finer than the start tolerance 0.5 gives.
  d->boundary->polygon(false, 0.5, -1);
  EXPECT_GT(points.size(), 2 * static_cast<std::size_t>(d->boundary->polygonPoints().GetSize()));
  const auto rect = std::find(lines.begin(), lines.end(), "Begin Polygon for r");
  ASSERT_NE(rect, lines.end());
  EXPECT_EQ(*(rect + 6), "End Polygon");
}

TEST_F(ExchangeCommands, PolygonExportSaysWhenItCannotWriteAndCancelWritesNothing) {
  rectangle(L"aa", 0, 0, 2, 1);
  ASSERT_TRUE(run(EC::ExportPolygon));
  EXPECT_TRUE(ask.messages.empty());
  const fs::path missing = root_ / "missing" / "aa.txt";
  ask.file = wide(missing);
  ASSERT_TRUE(run(EC::ExportPolygon));
  EXPECT_EQ(lastMessage(), std::make_pair(CString(L"Unable to write ") + wide(missing),
                                          CString(L"Export Shapes as Polygon")));
  EXPECT_FALSE(fs::exists(missing));
}

// ---- IGES ----

class IgesExchange : public ExchangeCommands {
 protected:
  // The fixture: a 3 x 1 rectangle as an IGES file.
  fs::path fixture() const { return fs::path(LORIMANT_TEST_DATA) / "exchange_rectangle_3x1.igs"; }
  double totalArea() const {
    double a = 0;
    for (POSITION pos = root()->shapeList.GetHeadPosition(); pos != nullptr;) a += root()->shapeList.GetNext(pos)->area();
    return a;
  }
};

TEST_F(IgesExchange, ImportReadsTheFixtureJournalsAndReplays) {
  ask.file = wide(fixture());
  ASSERT_TRUE(run(EC::ImportIges));
  ASSERT_EQ(ask.fileQuestions.size(), 1u);
  EXPECT_FALSE(ask.saving[0]);
  EXPECT_EQ(ask.fileQuestions[0].defaultExtension, CString(L".igs"));
  ASSERT_EQ(ask.fileQuestions[0].filters.size(), 3u);
  EXPECT_EQ(ask.fileQuestions[0].filters[1].description, CString(L"IGES Files (*.iges)"));
  EXPECT_TRUE(ask.messages.empty());
  EXPECT_NEAR(totalArea(), 3.0, 1e-9);
  EXPECT_EQ(journalled("xscn.ReadIGES"), std::vector<std::string>{"xscn.ReadIGES \"" + fixture().string() + "\""});
  EXPECT_TRUE(doc->IsModified());

  CXSectionAnalysisDoc other(&frame);
  other.hidden = true;
  other.OnNewDocument();
  const std::unique_ptr<CThickSectionView> otherView = CThickSectionView::createFor(other, 64, 64);
  const JournalRunResult r = run(other, journalled("xscn.ReadIGES")[0] + "\n");
  ASSERT_TRUE(r.ok) << r.description;
  EXPECT_EQ(describe(*other.model()), describe(*model()));
}

TEST_F(IgesExchange, ABrokenFileIsShownAndChangesNothing) {
  rectangle(L"kept", 0, 0, 1, 1);
  const std::vector<std::string> before = describe(*model());
  const fs::path broken = root_ / "broken.igs";
  std::ofstream(broken) << "this is no IGES file\n";
  ask.file = wide(broken);
  ASSERT_TRUE(run(EC::ImportIges));
  ASSERT_EQ(ask.messages.size(), 1u);
  EXPECT_EQ(ask.captions[0], CString(L"IGES Error"));
  EXPECT_FALSE(ask.messages[0].IsEmpty());
  EXPECT_TRUE(journalled("xscn.ReadIGES").empty());
  EXPECT_EQ(describe(*model()), before);
}

TEST_F(IgesExchange, AFailedExportLeavesTheOldFileWhole) {
  rectangle(L"r", 0, 0, 3, 1);
  const fs::path target = root_ / "out.igs";
  const std::string old = "the old file\r\nkept byte for byte\r\n";
  std::ofstream(target, std::ios::binary) << old;
  ask.file = wide(target);
  // A writer that stops half way, as a full disk stops it.
  SetIgesFileWriter([](CXSectionAnalysis&, CString& path, CStringA&) {
    std::ofstream(path.ToUtf8()) << "S      1\n";
    throw L"No space left on device";
  });
  ask.answers = {IDYES};
  ASSERT_TRUE(run(EC::ExportIges));
  ASSERT_EQ(ask.messages.size(), 2u);
  CString question;
  question.Format(L"%s already exists.\n\nDo you want to overwrite it?", wide(target).GetString());
  EXPECT_EQ(ask.messages[0], question);
  EXPECT_EQ(ask.captions[0], CString(L"Database Creation"));
  EXPECT_EQ(ask.types[0] & MB_TYPEMASK, MB_YESNO);
  EXPECT_EQ(lastMessage(), std::make_pair(CString(L"No space left on device"), CString(L"IGES Error")));
  EXPECT_EQ(readAll(target), old);
  EXPECT_TRUE(journalled("xscn.WriteIGES").empty());
  // Nothing of the failed write is left beside it.
  std::size_t files = 0;
  for (const auto& e : fs::directory_iterator(root_)) files += e.is_regular_file() ? 1 : 0;
  EXPECT_EQ(files, 1u);

  // A writer that leaves an empty file fails too.
  SetIgesFileWriter([](CXSectionAnalysis&, CString& path, CStringA&) { std::ofstream(path.ToUtf8()); });
  ask.answers = {IDYES};
  ASSERT_TRUE(run(EC::ExportIges));
  EXPECT_EQ(lastMessage(), std::make_pair(CString(L"Unable to write ") + wide(target), CString(L"IGES Error")));
  EXPECT_EQ(readAll(target), old);
  // No keeps it without writing.
  SetIgesFileWriter(nullptr);
  ask.answers = {IDNO};
  ASSERT_TRUE(run(EC::ExportIges));
  EXPECT_EQ(readAll(target), old);
  EXPECT_TRUE(journalled("xscn.WriteIGES").empty());
}

TEST_F(IgesExchange, AGoodExportReplacesTheFileJournalsAndReadsBack) {
  rectangle(L"r", 0, 0, 3, 1);
  const fs::path target = root_ / "out.igs";
  std::ofstream(target) << "old";
  ask.file = wide(target);
  ask.answers = {IDYES};
  ASSERT_TRUE(run(EC::ExportIges));
  ASSERT_EQ(ask.fileQuestions.size(), 1u);
  EXPECT_TRUE(ask.saving[0]);
  EXPECT_EQ(ask.fileQuestions[0].filters[0].description, CString(L"IGES Files (*.igs)"));
  EXPECT_EQ(ask.messages.size(), 1u);  // the overwrite question only
  EXPECT_EQ(journalled("xscn.WriteIGES"), std::vector<std::string>{"xscn.WriteIGES \"" + target.string() + "\""});
  const std::string written = readAll(target);
  ASSERT_GT(written.size(), 80u);
  EXPECT_EQ(written[72], 'S');
  // The file reads back as the rectangle it came from.
  model()->deleteShape(CString(L"r"));
  ASSERT_EQ(root()->nShapes(), 0);
  ask.file = wide(target);
  ASSERT_TRUE(run(EC::ImportIges));
  EXPECT_NEAR(totalArea(), 3.0, 1e-9);
}

// ---- XML export ----

TEST_F(ExchangeCommands, TheXmlExportReadsBackAsGetValueGivesIt) {
  rectangle(L"aa", 0, 0, 2, 1);
  const fs::path out = root_ / "props.xml";
  ask.file = wide(out);
  ask.textAnswer = CString(L"set one");
  ASSERT_TRUE(run(EC::ExportPropertiesXml));
  EXPECT_TRUE(ask.messages.empty());
  ASSERT_FALSE(ask.prompts.empty());
  EXPECT_EQ(ask.prompts.back(), CString(L"Enter a name for the section properties set."));
  EXPECT_TRUE(ask.fileQuestions[0].overwritePrompt);
  const std::unique_ptr<SectionPropertiesRecord> back = ReadSectionPropertiesXml(wide(out));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->sectionName, CString(L"set one"));
  EXPECT_DOUBLE_EQ(back->value(SA_Area), 2.0);
  EXPECT_DOUBLE_EQ(back->value(SA_AreaCGy), 0.5);
  for (short id : {SA_AreaCGx, SA_Area2ndMomentOfInertiaAboutXc, SA_Area2ndMomentOfInertiaAboutYc,
                   SA_AreaPolarMomentOfInertia, SA_AreaRadiusGyrationAboutX, SA_AreaElasticSectionModulusX,
                   SA_AreaElasticSectionModulusY, SA_ElasticArea}) {
    const double v = ILorimant::GetValue(*doc, id);
    EXPECT_NEAR(back->value(id), v, 1e-5 * std::fabs(v)) << id;
  }
  // A file that cannot be made is said, under the command's name.
  ask.file = wide(root_ / "missing" / "props.xml");
  ask.textAnswer = CString(L"set two");
  ASSERT_TRUE(run(EC::ExportPropertiesXml));
  ASSERT_EQ(ask.messages.size(), 1u);
  EXPECT_EQ(ask.captions[0], CString(L"Export Section Properties as XML"));
  EXPECT_FALSE(ask.messages[0].IsEmpty());
  // Cancelling the name writes nothing.
  const fs::path second = root_ / "second.xml";
  ask.file = wide(second);
  ask.textAnswer.reset();
  ASSERT_TRUE(run(EC::ExportPropertiesXml));
  EXPECT_FALSE(fs::exists(second));
}

// ---- material database ----

class MaterialDatabase : public ExchangeCommands {
 protected:
  void SetUp() override {
    ExchangeCommands::SetUp();
    folder = root_ / "db";
    fs::create_directories(folder);
    file = folder / "Quenholt.sqldb";
    ask.folderAnswer = kFolderChosen;
    ask.folder = wide(folder);
  }
  // The stored metal called name, or none.
  static std::optional<MaterialRecord> stored(const fs::path& db, const wchar_t* name) {
    CSQLDatabase base(wide(db).ToStdWString());
    base.connect();
    MaterialRecord record;
    if (!record.read(base, name)) return std::nullopt;
    return record;
  }
  static std::vector<double> numbers(MaterialRecord& r) {
    std::vector<double> out;
    for (double* v : r.values()) out.push_back(*v);
    return out;
  }
  fs::path folder, file;
};

TEST_F(MaterialDatabase, CreateMakesTheTwoMetalsJournalsThemAndReplays) {
  ASSERT_TRUE(run(EC::CreateDatabase));
  EXPECT_EQ(ask.folderTitles,
            std::vector<CString>{L"Browse to where you want to store the Quenholt SQL database."});
  ASSERT_TRUE(fs::exists(file));
  EXPECT_EQ(model()->materialDatabasePath, wide(file));
  EXPECT_EQ(lastMessage().first, CString(L"Database successfully created at ") + wide(folder));
  const struct {
    const wchar_t* name;
    const std::array<double, 37>* values;
    std::array<const wchar_t*, 8> texts;
  } metals[] = {
      {L"Aluminum Default", &kAluminium,
       {L"Aluminum Default", L"Aluminum Alloys", L"Clad Sheet", L"T3", L"", L"AMS-QQ-A-250/5", L"USCSin", L"A92024"}},
      {L"Steel Default", &kSteel,
       {L"Steel Default", L"Steel Alloys", L"Strip", L"", L"", L"AMS-5046, Type 2", L"USCSin", L"A92024"}},
  };
  for (const auto& m : metals) {
    std::optional<MaterialRecord> r = stored(file, m.name);
    ASSERT_TRUE(r) << CString(m.name).ToUtf8();
    EXPECT_EQ(numbers(*r), std::vector<double>(m.values->begin(), m.values->end()));
    for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(*r->texts()[i], CString(m.texts[i])) << i;
    EXPECT_FALSE(r->metal.isotropic);
  }
  // One line for the database, then one per metal with every digit kept.
  const std::vector<std::string> lines = journalLines(*doc);
  const auto created = std::find(lines.begin(), lines.end(), "xscn.CreateDatabase \"" + file.string() + "\"");
  ASSERT_NE(created, lines.end());
  ASSERT_GE(lines.end() - created, 3);
  EXPECT_EQ((created + 1)->rfind("xscn.AddMaterialDef \"Aluminum Default\",", 0), 0u);
  EXPECT_NE((created + 1)->find(",12.6969847,"), std::string::npos);
  EXPECT_EQ((created + 2)->rfind("xscn.AddMaterialDef \"Steel Default\",", 0), 0u);
  EXPECT_EQ(journalled("xscn.AddMaterialDef").size(), 2u);

  // The file removed, the three lines make the same rows again.
  fs::remove(file);
  CXSectionAnalysisDoc other(&frame);
  other.hidden = true;
  other.OnNewDocument();
  const JournalRunResult r = run(other, *created + "\n" + *(created + 1) + "\n" + *(created + 2) + "\n");
  ASSERT_TRUE(r.ok) << r.line << ": " << r.description;
  for (const auto& m : metals) {
    std::optional<MaterialRecord> again = stored(file, m.name);
    ASSERT_TRUE(again);
    EXPECT_EQ(numbers(*again), std::vector<double>(m.values->begin(), m.values->end()));
  }
}

TEST_F(MaterialDatabase, AnExistingDatabaseIsReplacedOnlyAfterYes) {
  std::ofstream(file, std::ios::binary) << "keep me";
  ask.answers = {IDNO};
  ASSERT_TRUE(run(EC::CreateDatabase));
  CString question;
  question.Format(L"Quenholt.sqldb already exists at %s\n\nDo you want to overwrite it?", wide(folder).GetString());
  EXPECT_EQ(lastMessage(), std::make_pair(question, CString(L"Database Creation")));
  EXPECT_EQ(readAll(file), "keep me");
  EXPECT_TRUE(journalled("xscn.CreateDatabase").empty());
  EXPECT_TRUE(model()->materialDatabasePath.IsEmpty());

  ask.answers = {IDYES};
  ASSERT_TRUE(run(EC::CreateDatabase));
  EXPECT_TRUE(stored(file, L"Steel Default"));
  EXPECT_EQ(journalled("xscn.CreateDatabase").size(), 1u);
}

TEST_F(MaterialDatabase, AFolderInItsPlaceCannotBeDeleted) {
  fs::create_directories(file);
  std::ofstream(file / "inside.txt") << "x";
  ask.answers = {IDYES};
  ASSERT_TRUE(run(EC::CreateDatabase));
  EXPECT_EQ(lastMessage(), std::make_pair(CString(L"Unable to delete database, check to see if it is in use"),
                                          CString(L"DatabaseCreation")));
  EXPECT_EQ(ask.types.back() & MB_ICONMASK, MB_ICONEXCLAMATION);
  EXPECT_TRUE(fs::exists(file / "inside.txt"));
  EXPECT_TRUE(journalled("xscn.CreateDatabase").empty());
}

TEST_F(MaterialDatabase, CancelAndABrowserFailureSaySo) {
  ask.folderAnswer = kFolderCancelled;
  ASSERT_TRUE(run(EC::CreateDatabase));
  EXPECT_EQ(lastMessage(), std::make_pair(CString(L"Operation canceled."), CString(L"Info")));
  ask.folderAnswer = kFolderFailed;
  ASSERT_TRUE(run(EC::CreateDatabase));
  EXPECT_EQ(lastMessage().first, CString(L"The shell did not return a path for the selected item!"));
  EXPECT_EQ(ask.types.back() & MB_ICONMASK, MB_ICONSTOP);
  EXPECT_FALSE(fs::exists(file));
  EXPECT_TRUE(journalled("xscn.CreateDatabase").empty());
}

TEST_F(MaterialDatabase, ADatabaseFailureShowsItsTextAndLeavesNothing) {
  model()->materialDatabasePath = L"/kept/path.sqldb";
  ask.folder = wide(root_ / "gone");
  ASSERT_TRUE(run(EC::CreateDatabase));
  ASSERT_EQ(ask.messages.size(), 1u);
  EXPECT_FALSE(ask.messages[0].IsEmpty());
  EXPECT_EQ(ask.types[0] & MB_ICONMASK, MB_ICONSTOP);
  EXPECT_FALSE(fs::exists(root_ / "gone"));
  EXPECT_EQ(model()->materialDatabasePath, CString(L"/kept/path.sqldb"));
  EXPECT_TRUE(journalled("xscn.CreateDatabase").empty());
}

TEST_F(MaterialDatabase, ConnectRefusesFoldersAndTextFilesAndTakesADatabase) {
  model()->materialDatabasePath = L"/somewhere/else.sqldb";
  // A folder: one box, the path cleared, no line.
  ask.file = wide(folder);
  ASSERT_TRUE(run(EC::ConnectDatabase));
  ASSERT_EQ(ask.fileQuestions.size(), 1u);
  EXPECT_TRUE(ask.fileQuestions[0].mustExist);
  EXPECT_EQ(ask.fileQuestions[0].fileName, CString(L"*.sqldb"));
  EXPECT_EQ(ask.messages, std::vector<CString>{L"Invalid SQLite Database"});
  EXPECT_EQ(ask.captions, std::vector<CString>{L"SQL Database Error"});
  EXPECT_TRUE(model()->materialDatabasePath.IsEmpty());
  // A text file.
  model()->materialDatabasePath = L"/somewhere/else.sqldb";
  const fs::path text = root_ / "notes.sqldb";
  std::ofstream(text) << "these are notes, not a database, and long enough to be read as one\n";
  ask.file = wide(text);
  ASSERT_TRUE(run(EC::ConnectDatabase));
  EXPECT_EQ(lastMessage(), std::make_pair(CString(L"Not a valid SQLite database"), CString(L"SQL Database Error")));
  EXPECT_EQ(ask.messages.size(), 2u);
  EXPECT_TRUE(model()->materialDatabasePath.IsEmpty());
  EXPECT_TRUE(journalled("xscn.ConnectDatabase").empty());

  // A database made by the database service.
  {
    CSQLDatabase made(wide(file).ToStdWString());
    made.createDatabase(wide(file).ToStdWString());
    made.createMetalTable();
    made.createControlsTable();
  }
  ask.file = wide(file);
  ASSERT_TRUE(run(EC::ConnectDatabase));
  EXPECT_EQ(lastMessage(),
            std::make_pair(CString(L"To update material properties of existing objects, save the document, and re-load it."),
                           CString(L"SQL Database Change")));
  EXPECT_EQ(model()->materialDatabasePath, wide(file));
  EXPECT_EQ(journalled("xscn.ConnectDatabase"),
            std::vector<std::string>{"xscn.ConnectDatabase \"" + file.string() + "\""});
  ASSERT_TRUE(run(EC::ShowDatabasePath));
  EXPECT_EQ(lastMessage(), std::make_pair(wide(file), CString(L"Path To Current Database")));
  EXPECT_EQ(ask.types.back() & MB_ICONMASK, MB_ICONINFORMATION);
}

}  // namespace test_view_exchange
