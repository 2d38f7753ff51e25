// The section document's life cycle, file format, undo and change routine.
#include "lorimant/document/CXSectionAnalysisDoc.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <memory>
#include <filesystem>
#include <stdexcept>

#include "analysis/model/CLog.h"
#include "analysis/model/CModel.h"
#include "analysis/model/Globals.h"
#include "analysis/model/Units.h"
#include "analysis/model/Utilities.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/CShapesCollect.h"
#include "lorimant/document/LorimantVersion.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Hooks.h"
#include "platform/ole/COleDispatchException.h"

bool gCloseWithoutAsking = false;

namespace {
CXSectionAnalysisDoc* gActiveDoc = nullptr;
}  // namespace

namespace {

constexpr int kMarker = 444;
constexpr int kFormatNumber = 1;
constexpr double kCheckValue = 1.2;
constexpr const wchar_t* kOldTitle = L"QUENHOLT";

// The journal's name: the local time as day_hour_minute_second.
CString journalName() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  char text[128];
  if (localtime_r(&now, &local) == nullptr || std::strftime(text, sizeof text, "%d_%H_%M_%S", &local) == 0)
    AfxThrowInvalidArgException();
  return CString(text);
}

// The title, or a prefix of the old title no longer than it. An empty
// header is no document: a file of zero bytes would otherwise pass.
bool acceptedHeader(const CString& header) {
  const CString old(kOldTitle);
  return header == kLorimantTitle || (!header.IsEmpty() && header.GetLength() <= old.GetLength() &&
                                      old.Left(header.GetLength()) == header);
}

// A stored unique-id counter that ids can go on from: one outside
// 0..kUniqueIDLimit comes from a damaged file.
void checkStoredUniqueID(int unique) {
  if (unique < 0 || unique > kUniqueIDLimit)
    throw std::runtime_error("The file is damaged: its unique-id counter is out of range");
}

// The model's materials and those its shapes use: what a load that replaces
// the model may take by name instead of asking the material database.
CModel::MaterialList materialsInUse(const CXSectionAnalysis* model) {
  CModel::MaterialList list;
  if (model == nullptr) return list;
  for (POSITION pos = model->materials.GetHeadPosition(); pos != nullptr;) list.AddTail(model->materials.GetNext(pos));
  for (POSITION pos = model->shapes.GetHeadPosition(); pos != nullptr;) {
    const CShapeAnalysis* shape = model->shapes.GetNext(pos);
    for (const std::shared_ptr<CMetal>& m : {shape->material(), shape->matl2()})
      if (m) list.AddTail(m);
  }
  return list;
}

// Lends materials to the model loads while it lives.
class LentMaterials {
 public:
  explicit LentMaterials(const CModel::MaterialList& list) : m_previous(CModel::reusableMaterials) {
    CModel::reusableMaterials = &list;
  }
  ~LentMaterials() { CModel::reusableMaterials = m_previous; }
  LentMaterials(const LentMaterials&) = delete;
  LentMaterials& operator=(const LentMaterials&) = delete;

 private:
  const CModel::MaterialList* m_previous;
};

// Puts back the globals a document load sets, unless the load committed.
class GlobalsGuard {
 public:
  GlobalsGuard(CXSectionAnalysis* model, bool& picturePresent)
      : m_model(model), m_picturePresent(picturePresent), m_hadPicture(picturePresent),
        m_units(gUnitSystem), m_uniqueID(gUniqueID), m_baseName(getBaseName()) {}
  ~GlobalsGuard() {
    if (m_committed) return;
    vAveVAvezeze = m_model;
    gModel = m_model;
    gUnitSystem = m_units;
    gUniqueID = m_uniqueID;
    setBaseName(m_baseName);
    m_picturePresent = m_hadPicture;
  }
  GlobalsGuard(const GlobalsGuard&) = delete;
  GlobalsGuard& operator=(const GlobalsGuard&) = delete;
  void commit() const { m_committed = true; }

 private:
  CXSectionAnalysis* m_model;
  bool& m_picturePresent;
  bool m_hadPicture;
  EUnitSystem m_units;
  int m_uniqueID;
  CString m_baseName;
  mutable bool m_committed = false;
};

// True for an existing file that may not be written: one this process
// cannot write, or one without any write permission (marked read-only).
bool readOnly(const std::filesystem::path& file) {
  struct stat status {};
  if (::stat(file.c_str(), &status) != 0) return false;
  return ::access(file.c_str(), W_OK) != 0 || (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

// Removes what a failed save wrote and shows why; always false.
bool saveFailed(const std::filesystem::path& temporary, const CString& reason) {
  std::error_code ignored;
  std::filesystem::remove(temporary, ignored);
  AfxMessageBox(reason, L"FILE IO ERROR", MB_ICONEXCLAMATION);
  return false;
}

}  // namespace

CBaseXSectionAnalysisDoc::CBaseXSectionAnalysisDoc() : CUndo(100, 0x8000) {}

void CBaseXSectionAnalysisDoc::DeleteContents() { throw std::logic_error("should never be called"); }

void CBaseXSectionAnalysisDoc::CheckPoint() {
  if (checkPointSuppressed) return;
  snapshotTaken = false;
  CUndo::CheckPoint();
  snapshotTaken = true;
  SetModifiedFlag(true);
}

CXSectionAnalysisDoc::CXSectionAnalysisDoc(SectionFrame* frame) : m_frame(frame ? frame : &m_defaultFrame) {
  m_shapesCollection = std::make_shared<CShapesCollect>(*this);
  gDeletingScn = nullptr;
  m_log = std::make_unique<CLog>(journalName(), kLorimantVersionMajor, kLorimantVersionMinor,
                                 CStringA(kLorimantProgramName));
  setBaseName(L"aa$$");
}

CXSectionAnalysisDoc::~CXSectionAnalysisDoc() {
  for (const wchar_t* line : {L"Set xscn = Nothing", L"Exit Sub", L"ErrHandler:", L"\tMsgBox err.Description",
                              L"\tSet xscn = Nothing", L"End Sub"}) {
    gLogMsg = line;
    m_log->logIt();
  }
  m_shapesCollection->detach();
  CloseAllModelessDialogs();
  replaceModel(nullptr);
  if (gActiveDoc == this) gActiveDoc = nullptr;
  m_frame->DeleteSectionTree();
}

void CXSectionAnalysisDoc::replaceModel(CXSectionAnalysis* model) {
  if (m_model == model) return;
  CXSectionAnalysis* old = m_model;
  m_model = model;
  if (vAveVAvezeze == old) vAveVAvezeze = model;
  if (gModel == old) gModel = model;
  if (gDeletingScn == old) gDeletingScn = nullptr;
  delete old;
}

void CXSectionAnalysisDoc::MakeCurrent() {
  gActiveDoc = this;
  vAveVAvezeze = m_model;
  gModel = m_model;
  gUnitSystem = static_cast<EUnitSystem>(m_unitSystem);
}

void CXSectionAnalysisDoc::setUnitSystem(int units) {
  m_unitSystem = units;
  gUnitSystem = static_cast<EUnitSystem>(units);
}

bool CXSectionAnalysisDoc::OnNewDocument() {
  CloseAllModelessDialogs();
  replaceModel(new CXSectionAnalysis());
  MakeCurrent();
  const CString database = resolveMaterialDatabasePath(L"C://Users//Public//Documents//Quenholt//Quenholt.sqldb");
  if (std::filesystem::exists(database.ToUtf8())) {
    m_model->materialDatabasePath = database;
    gLogMsg.Format(L"xscn.ConnectDatabase \"%s\"", JournalQuotedText(database));
    LogIt();
  }
  setUnitSystem(2);
  SetModifiedFlag(false);
  return true;
}

bool CXSectionAnalysisDoc::OnOpenDocument(const CString& path) {
  gLogMsg.Format(L"xscn.FileOpen \"%s\"", JournalQuotedText(path));
  LogIt();
  m_openFailure.Empty();
  try {
    DeleteContents();
    CFile file(path, CFile::modeRead | CFile::shareDenyWrite);
    CArchive ar(&file, CArchive::load);
    Serialize(ar);
    ar.Close();
    // The opened file starts its own history: no undo back into the section
    // it replaced.
    ClearUndoHistory();
    CheckPoint();
    SetModifiedFlag(false);
    return true;
  } catch (const CException& e) {
    m_openFailure = e.ErrorText();
  } catch (const std::exception& e) {
    m_openFailure = CString(e.what());
  } catch (const char* text) {
    // The kernel's own refusals ("Bad spline\n") of a record it cannot take.
    m_openFailure = CString(text).Trim();
  } catch (const wchar_t* text) {
    m_openFailure = CString(text);
  }
  AfxMessageBox(m_openFailure, L"FILE IO ERROR", MB_ICONEXCLAMATION);
  // The load reads into a fresh model: the document keeps the section it had.
  return false;
}

bool CXSectionAnalysisDoc::OnSaveDocument(const CString& path) {
  // Written beside the target and renamed over it once complete, so a
  // failed save never leaves a half-written file where the section was.
  const std::filesystem::path target(path.ToUtf8());
  const std::filesystem::path temporary(path.ToUtf8() + ".saving");
  try {
    // Renaming would replace a read-only file that writing must not touch.
    if (readOnly(target)) AfxThrowFileException(CFileException::accessDenied, EACCES, path);
    CFile file(CString::FromUtf8(temporary.string()), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
    CArchive ar(&file, CArchive::store);
    Serialize(ar);
    ar.Close();
    file.Close();
    // The replaced file's permissions carry over to the new one.
    std::error_code missing;
    const auto kept = std::filesystem::status(target, missing).permissions();
    if (!missing && std::filesystem::exists(target)) std::filesystem::permissions(temporary, kept);
    std::filesystem::rename(temporary, target);
  } catch (const CException& e) {
    return saveFailed(temporary, e.ErrorText());
  } catch (const std::exception& e) {
    return saveFailed(temporary, CString(e.what()));
  }
  SetModifiedFlag(false);
  if (m_activeView) m_activeView->refresh();
  return true;
}

bool CXSectionAnalysisDoc::SaveModified() {
  if (m_activeView) m_activeView->readDIB();
  if (embedded) {
    gCloseWithoutAsking = true;
  } else if (!gCloseWithoutAsking &&
             AfxMessageBox(L"Are you sure you want to close the current document?", L"File Operations",
                           MB_YESNO) == IDNO) {
    return false;
  }
  CloseAllModelessDialogs();
  if (m_activeView) m_activeView->CloseResultDialogs();
  gDeletingScn = m_model;
  if (!SaveChangesPrompt()) {
    // Cancelled: the document stays open and its model must not be cleared later.
    gDeletingScn = nullptr;
    return false;
  }
  return true;
}

bool CXSectionAnalysisDoc::SaveChangesPrompt() { return true; }

void CXSectionAnalysisDoc::OnCloseDocument() {
  // Clearing the contents of a closing document journals nothing: a replayed
  // journal must not end by deleting the whole section.
  m_log->block(L"OnCloseDocument");
  DeleteContents();
  m_log->unblock(L"OnCloseDocument");
}

void CXSectionAnalysisDoc::DeleteContents() {
  if (gDeletingScn == nullptr || gDeletingScn != m_model) return;
  DeleteSubSectionAndChildShapes(L"root");
  gDeletingScn = nullptr;
}

void CXSectionAnalysisDoc::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    m_picturePresent = false;
    ar << kLorimantTitle << kLorimantVersionMajor << kLorimantVersionMinor << static_cast<int>(gUnitSystem)
       << gUniqueID << m_picturePresent << getBaseName() << kMarker;
    ar << m_model;
    ar << kMarker << kFormatNumber << kCheckValue;
    return;
  }
  // The stream is read into a fresh model; the document's own stays until the
  // whole stream has been read, so a load that fails keeps the section.
  const GlobalsGuard globals(m_model, m_picturePresent);
  const CModel::MaterialList lent = materialsInUse(m_model);
  const LentMaterials lending(lent);
  CString header;
  ar >> header;
  if (!acceptedHeader(header)) AfxThrowOleDispatchException(1, L"Not a Lorimant file");
  int major = 0, minor = 0, units = 2, unique = 0, marker = 0;
  ar >> major >> minor >> units >> unique;
  checkStoredUniqueID(unique);
  gUnitSystem = static_cast<EUnitSystem>(units);
  gUniqueID = unique;
  ar >> m_picturePresent;
  std::unique_ptr<StoredPicture> picture;
  if (m_picturePresent) picture = readPicture(ar);
  CString base;
  ar >> base >> marker;
  setBaseName(base);
  std::unique_ptr<CXSectionAnalysis> loaded(
      static_cast<CXSectionAnalysis*>(ar.ReadObject(RUNTIME_CLASS(CXSectionAnalysis))));
  if (!loaded) loaded = std::make_unique<CXSectionAnalysis>();
  vAveVAvezeze = loaded.get();
  int format = 0;
  double check = 0.0;
  ar >> marker >> format >> check;
  globals.commit();
  if (picture) m_picture = std::move(picture);
  replaceModel(loaded.release());
  m_unitSystem = units;
  vAveVAvezeze = m_model;
  gModel = m_model;
  if (m_picturePresent) ModelChanged();
}

std::unique_ptr<CXSectionAnalysisDoc::StoredPicture> CXSectionAnalysisDoc::readPicture(CArchive& ar) {
  auto picture = std::make_unique<StoredPicture>();
  int first = 0, p1 = 0, p2 = 0, p3 = 0, marker = 0;
  ar >> picture->width >> picture->height >> first >> p1 >> p2 >> p3 >> marker;
  picture->image.read(ar, p1, p2, p3);
  ar >> marker;
  return picture;
}

int CXSectionAnalysisDoc::ModelChanged() {
  if (m_model == nullptr) return 0;
  CheckPoint();
  if (CSubSection* current = m_model->currentSubSectionMutable()) current->scnPrpUTD(false);
  m_frame->ClearPropertyLists();
  return m_frame->RefreshSectionTree();
}

void CXSectionAnalysisDoc::AskUnitSystem() {
  if (hidden || m_unitSystem == 0 || m_unitSystem == 1) return;
  // The dialog opens with "USCS (in,lbf)" selected.
  int selection = kUnitsDialogInitial;
  if (!m_frame->AskUnits(selection)) return;
  setUnitSystem(selection != 0 ? 1 : 0);
  gLogMsg = m_unitSystem == 0 ? L"xscn.SetUnitSystem QHT_SI" : L"xscn.SetUnitSystem QHT_USCS";
  LogIt();
}

void CXSectionAnalysisDoc::LogIt() { m_log->logIt(); }

void CXSectionAnalysisDoc::Undo() {
  CUndo::Undo();
  MakeCurrent();
}

void CXSectionAnalysisDoc::Redo() {
  CUndo::Redo();
  MakeCurrent();
}

CXSectionAnalysis* GetFatXSection() { return vAveVAvezeze; }

CXSectionAnalysisDoc* GetActiveSectionDoc() { return gActiveDoc; }
