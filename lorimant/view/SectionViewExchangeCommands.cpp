// The section view's exchange commands: the polygon and IGES exports, the
// IGES import, the XML export of the section properties, and the creation,
// connection and display of the material database. Each journals only what
// it did, once it is done, so that a replayed journal makes the same files
// and the same model.
#include <exception>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "analysis/model/CLog.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/document/LorimantVersion.h"
#include "lorimant/view/CThickSectionView.h"
#include "lorimant/view/SectionExchange.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Hooks.h"
#include "platform/core/Settings.h"
#include "platform/sqldb/CSQLDatabase.h"

namespace {

namespace fs = std::filesystem;
namespace C = SectionCommand;

constexpr const wchar_t* kPolygonCaption = L"Export Shapes as Polygon";
constexpr const wchar_t* kIgesErrorCaption = L"IGES Error";
constexpr const wchar_t* kXmlCaption = L"Export Section Properties as XML";
constexpr const wchar_t* kCreationCaption = L"Database Creation";
constexpr const wchar_t* kSqlErrorCaption = L"SQL Database Error";
constexpr const wchar_t* kFolderTitle = L"Browse to where you want to store the Quenholt SQL database.";
// The journal of a new database's metals keeps every bit of their numbers.
constexpr const wchar_t* kExactNumber = L",%.17g";

const FileFilter kAllFiles{L"All Files (*.*)", L"*.*"};
const FileFilter kIgesFiles{L"IGES Files (*.igs)", L"*.igs"};

// A question for a file of the listed types with the default extension.
FileQuestion fileQuestion(const wchar_t* extension, std::vector<FileFilter> filters) {
  FileQuestion question;
  question.defaultExtension = extension;
  question.filters = std::move(filters);
  return question;
}

// The text of the exception being handled, whatever its kind.
CString failureText() {
  try {
    throw;
  } catch (const CException& e) {
    return e.ErrorText();
  } catch (const std::exception& e) {
    return CString::FromUtf8(e.what());
  } catch (const wchar_t* text) {
    return CString(text != nullptr ? text : L"");
  } catch (const char* text) {
    return CString::FromUtf8(text != nullptr ? text : "");
  } catch (...) {
    return CString(L"Unexpected error.");
  }
}

fs::path filePath(const CString& path) { return fs::path(path.ToUtf8()); }

// "<method> "path"", the path quoted as journal lines quote texts.
CString pathLine(const wchar_t* method, const CString& path) {
  CString line;
  line.Format(L"%s \"%s\"", method, static_cast<const wchar_t*>(JournalQuotedText(path)));
  return line;
}

// Creates the material database file with its tables, the controls of its
// maker and the default metals; a failure removes the file it made.
void makeMaterialDatabase(const CString& path, std::array<MaterialRecord, 2>& metals) {
  CSQLDatabase db(path.ToStdWString());
  db.createDatabase(path.ToStdWString());
  try {
    db.createMetalTable();
    db.createControlsTable();
    db.UpdateControls(L"USCSin", GetLoginName().ToStdWString(), false);
    for (MaterialRecord& metal : metals)
      if (!metal.write(db, false)) throw sql_exception("Unable to add " + metal.metal.name.ToUtf8());
    db.close();
  } catch (...) {
    // Half a database would pass for a material database later.
    db.close();
    std::error_code ignored;
    fs::remove(filePath(path), ignored);
    throw;
  }
}

}  // namespace

void CThickSectionView::registerExchangeCommands() {
  const auto windowed = [this] { return sectionHost() != nullptr; };
  registerCommand(C::ExportPolygon, [this](int) { OnExportPolygon(); }, windowed);
  registerCommand(C::ImportIges, [this](int) { OnImportIges(); }, windowed);
  registerCommand(C::ExportIges, [this](int) { OnExportIges(); }, windowed);
  registerCommand(C::ExportPropertiesXml, [this](int) { OnWriteSectionProperties(); }, windowed);
  registerCommand(C::CreateDatabase, [this](int) { OnCreateDatabase(); }, windowed);
  registerCommand(C::ConnectDatabase, [this](int) { OnConnectDatabase(); }, windowed);
  registerCommand(C::ShowDatabasePath, [this](int) { OnShowDatabasePath(); });
}

void CThickSectionView::OnExportPolygon() {
  CXSectionAnalysis* m = model();
  CSubSection* sub = m != nullptr ? m->currentSubSectionMutable() : nullptr;
  ViewPrompts* ask = prompts();
  if (sub == nullptr || ask == nullptr) return;
  CString path;
  bool written = false;
  try {
    sub->forceRecalcProperties();
    FileQuestion question = fileQuestion(L"txt", {{L"Text Files (*.txt)", L"*.txt"}, kAllFiles});
    question.overwritePrompt = true;
    if (!ask->saveFile(question, path)) return;
    std::ofstream out(filePath(path));
    if (out) {
      WritePolygonExport(out, *sub);
      out.close();
      written = !out.fail();
    }
  } catch (...) {
    showMessage(failureText(), kPolygonCaption, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (written) return;
  CString text;
  text.Format(L"Unable to write %s", static_cast<const wchar_t*>(path));
  showMessage(text, kPolygonCaption, MB_OK | MB_ICONEXCLAMATION);
}

void CThickSectionView::OnImportIges() {
  CXSectionAnalysis* m = model();
  ViewPrompts* ask = prompts();
  if (m == nullptr || ask == nullptr || m_document == nullptr) return;
  CWaitCursor wait;
  FileQuestion question = fileQuestion(L".igs", {kIgesFiles, {L"IGES Files (*.iges)", L"*.iges"}, kAllFiles});
  question.mustExist = true;
  CString path;
  if (!ask->openFile(question, path)) return;
  EnsureRootSubSection();
  try {
    CString file = path;
    m->readIGES(file, true);
    journal(pathLine(L"xscn.ReadIGES", path));
    // The imported shapes are a change like any other: one undo step.
    m_document->ModelChanged();
  } catch (...) {
    showMessage(failureText(), kIgesErrorCaption, MB_OK | MB_ICONINFORMATION);
  }
  RebuildAndRedraw();
  fullView();
}

void CThickSectionView::OnExportIges() {
  CXSectionAnalysis* m = model();
  ViewPrompts* ask = prompts();
  if (m == nullptr || ask == nullptr) return;
  const FileQuestion question = fileQuestion(L"igs", {kIgesFiles, kAllFiles});
  CString path;
  if (!ask->saveFile(question, path)) return;
  const fs::path target = filePath(path);
  std::error_code error;
  if (fs::exists(fs::symlink_status(target, error))) {
    CString text;
    text.Format(L"%s already exists.\n\nDo you want to overwrite it?", static_cast<const wchar_t*>(path));
    if (showMessage(text, kCreationCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  }
  try {
    // The old file stays whole until the new one is written.
    const bool placed = ReplaceFileWith(target, [&](const fs::path& fresh) {
      CString file = CString::FromUtf8(fresh.string());
      CStringA version(kLorimantProductVersion);
      CurrentIgesFileWriter()(*m, file, version);
    });
    if (!placed) {
      showMessage(L"Unable to delete file, check to see if it is in use", L"IGES Write", MB_OK | MB_ICONEXCLAMATION);
      return;
    }
  } catch (...) {
    showMessage(failureText(), kIgesErrorCaption, MB_OK | MB_ICONINFORMATION);
    return;
  }
  journal(pathLine(L"xscn.WriteIGES", path));
}

void CThickSectionView::OnWriteSectionProperties() {
  CXSectionAnalysis* m = model();
  CSubSection* sub = m != nullptr ? m->currentSubSectionMutable() : nullptr;
  ViewPrompts* ask = prompts();
  if (sub == nullptr || ask == nullptr || m_document == nullptr) return;
  try {
    sub->forceRecalcProperties();
    FileQuestion question = fileQuestion(L"xml", {{L"XML Files (*.xml)", L"*.xml"}, kAllFiles});
    question.overwritePrompt = true;
    CString path;
    if (!ask->saveFile(question, path)) return;
    CString name;
    if (!ask->askText(L"Enter a name for the section properties set.", name)) return;
    ILorimant::WriteSectionProperties(*m_document, path, name);
  } catch (...) {
    showMessage(failureText(), kXmlCaption, MB_OK | MB_ICONEXCLAMATION);
  }
}

void CThickSectionView::OnCreateDatabase() {
  CXSectionAnalysis* m = model();
  ViewPrompts* ask = prompts();
  if (m == nullptr || ask == nullptr) return;
  CString folder;
  const int answer = ask->chooseFolder(kFolderTitle, folder);
  if (answer == kFolderFailed) {
    showMessage(L"The shell did not return a path for the selected item!", CString(),
                MB_OK | MB_ICONSTOP | MB_TOPMOST);
    return;
  }
  if (answer != kFolderChosen) {
    showMessage(L"Operation canceled.", L"Info", MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
    return;
  }
  const fs::path file = filePath(folder) / fs::path(CString(kMaterialDatabaseName).ToUtf8());
  const CString path = CString::FromUtf8(file.string());
  std::error_code error;
  if (fs::exists(fs::symlink_status(file, error))) {
    CString text;
    text.Format(L"Quenholt.sqldb already exists at %s\n\nDo you want to overwrite it?",
                static_cast<const wchar_t*>(folder));
    if (showMessage(text, kCreationCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    if (!fs::remove(file, error) || error) {
      showMessage(L"Unable to delete database, check to see if it is in use", L"DatabaseCreation",
                  MB_OK | MB_ICONEXCLAMATION);
      return;
    }
  }
  std::array<MaterialRecord, 2> metals = DefaultMetals();
  try {
    makeMaterialDatabase(path, metals);
  } catch (...) {
    showMessage(failureText(), CString(), MB_OK | MB_ICONSTOP);
    return;
  }
  // A replay makes the empty database, then adds the metals one line each.
  journal(pathLine(L"xscn.CreateDatabase", path));
  for (MaterialRecord& metal : metals) journal(metal.journalLine(L"xscn.AddMaterialDef", kExactNumber));
  m->materialDatabasePath = path;
  showMessage(CString(L"Database successfully created at ") + folder, CString(),
              MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
}

void CThickSectionView::OnConnectDatabase() {
  CXSectionAnalysis* m = model();
  ViewPrompts* ask = prompts();
  if (m == nullptr || ask == nullptr) return;
  FileQuestion question = fileQuestion(L".sqldb", {{L"Quenholt.sqldb", L"*.sqldb"}});
  question.fileName = L"*.sqldb";
  question.mustExist = true;
  CString path;
  if (!ask->openFile(question, path)) return;
  std::error_code error;
  const fs::file_status status = fs::status(filePath(path), error);
  if (error || !fs::exists(status) || fs::is_directory(status)) {
    m->materialDatabasePath.Empty();
    showMessage(L"Invalid SQLite Database", kSqlErrorCaption, MB_OK | MB_ICONSTOP);
    return;
  }
  try {
    CSQLDatabase db(path.ToStdWString());
    db.connect();
    db.close();
  } catch (...) {
    m->materialDatabasePath.Empty();
    showMessage(L"Not a valid SQLite database", kSqlErrorCaption, MB_OK | MB_ICONSTOP);
    return;
  }
  journal(pathLine(L"xscn.ConnectDatabase", path));
  m->materialDatabasePath = path;
  showMessage(L"To update material properties of existing objects, save the document, and re-load it.",
              L"SQL Database Change", MB_OK | MB_ICONEXCLAMATION);
}

void CThickSectionView::OnShowDatabasePath() {
  const CXSectionAnalysis* m = model();
  if (m == nullptr) return;
  showMessage(m->materialDatabasePath, L"Path To Current Database", MB_OK | MB_ICONINFORMATION);
}
