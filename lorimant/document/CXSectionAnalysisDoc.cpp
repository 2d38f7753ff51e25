// The section document's life cycle, file format, undo and change routine.
#include "lorimant/document/CXSectionAnalysisDoc.h"

#include <ctime>
#include <filesystem>
#include <stdexcept>

#include "analysis/model/CLog.h"
#include "analysis/model/CModel.h"
#include "analysis/model/Globals.h"
#include "analysis/model/Utilities.h"
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

// The title, or a prefix of the old title no longer than it.
bool acceptedHeader(const CString& header) {
  const CString old(kOldTitle);
  return header == kLorimantTitle ||
         (header.GetLength() <= old.GetLength() && old.Left(header.GetLength()) == header);
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
    gLogMsg.Format(L"xscn.ConnectDatabase \"%s\"", static_cast<const wchar_t*>(database));
    LogIt();
  }
  setUnitSystem(2);
  SetModifiedFlag(false);
  return true;
}

bool CXSectionAnalysisDoc::OnOpenDocument(const CString& path) {
  gLogMsg.Format(L"xscn.FileOpen \"%s\"", static_cast<const wchar_t*>(path));
  LogIt();
  try {
    DeleteContents();
    CFile file(path, CFile::modeRead | CFile::shareDenyWrite);
    CArchive ar(&file, CArchive::load);
    Serialize(ar);
    ar.Close();
    CheckPoint();
    SetModifiedFlag(false);
    return true;
  } catch (const CException& e) {
    AfxMessageBox(e.ErrorText(), L"FILE IO ERROR", MB_ICONEXCLAMATION);
  } catch (const std::exception& e) {
    AfxMessageBox(CString(e.what()), L"FILE IO ERROR", MB_ICONEXCLAMATION);
  }
  // A failed load leaves no half-read model behind.
  replaceModel(nullptr);
  return false;
}

bool CXSectionAnalysisDoc::OnSaveDocument(const CString& path) {
  try {
    CFile file(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
    CArchive ar(&file, CArchive::store);
    Serialize(ar);
    ar.Close();
    file.Close();
  } catch (const CException& e) {
    AfxMessageBox(e.ErrorText(), L"FILE IO ERROR", MB_ICONEXCLAMATION);
    return false;
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
  CString header;
  ar >> header;
  if (!acceptedHeader(header)) AfxThrowOleDispatchException(1, L"Not a Lorimant file");
  int major = 0, minor = 0, units = 2, unique = 0, marker = 0;
  ar >> major >> minor >> units >> unique;
  gUnitSystem = static_cast<EUnitSystem>(units);
  gUniqueID = unique;
  ar >> m_picturePresent;
  if (m_picturePresent) readPicture(ar);
  CString base;
  ar >> base >> marker;
  setBaseName(base);
  replaceModel(nullptr);
  CObject* stored = ar.ReadObject(RUNTIME_CLASS(CXSectionAnalysis));
  replaceModel(stored ? static_cast<CXSectionAnalysis*>(stored) : new CXSectionAnalysis());
  m_unitSystem = units;
  vAveVAvezeze = m_model;
  int format = 0;
  double check = 0.0;
  ar >> marker >> format >> check;
  gModel = m_model;
  if (m_picturePresent) ModelChanged();
}

void CXSectionAnalysisDoc::readPicture(CArchive& ar) {
  int first = 0, p1 = 0, p2 = 0, p3 = 0, marker = 0;
  ar >> m_pictureWidth >> m_pictureHeight >> first >> p1 >> p2 >> p3 >> marker;
  m_picture.read(ar, p1, p2, p3);
  ar >> marker;
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
  int selection = 0;
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
