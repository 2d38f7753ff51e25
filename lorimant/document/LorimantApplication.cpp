// The window-free half of the application and its frames.
#include "lorimant/document/LorimantApplication.h"

#include <algorithm>

#include "lorimant/document/LorimantVersion.h"
#include "platform/core/Hooks.h"
#include "platform/core/Settings.h"

CString gProgramFolder;
CString gAISCShapesDatabase;
CString gBritishSteelDatabase;
CString gEuropeanSteelDatabase;

namespace {
constexpr const wchar_t* kRecentSection = L"Recent File List";

CString recentEntry(int index) {
  CString entry;
  entry.Format(L"File%d", index + 1);
  return entry;
}
}  // namespace

void UseLorimantProfile() {
  Settings::SetRegistryKey(kProfileRegistryKey);
  Settings::SetApplicationName(kApplicationName);
}

CString NewDocumentName(int n) {
  CString name;
  name.Format(L"%s%d", kDocumentTypeName, n);
  return name;
}

CString ReleaseVersionText() {
  CString text;
  text.Format(L"Release Version %s", kLorimantProductVersion);
  return text;
}

CString MainFrameTitle(const CString& documentName) {
  CString title;
  title.Format(L"Lorimant - Release Version %s   Built On: %s", kLorimantProductVersion, kLorimantBuiltOn);
  return documentName.IsEmpty() ? title : documentName + L" - " + title;
}

void RecentFileList::Load() {
  m_files.clear();
  for (int i = 0; i < kSize; ++i) {
    const CString path = Settings::GetProfileString(kRecentSection, recentEntry(i));
    if (!path.IsEmpty()) m_files.push_back(path);
  }
}

void RecentFileList::Add(const CString& path) {
  m_files.erase(std::remove(m_files.begin(), m_files.end(), path), m_files.end());
  m_files.insert(m_files.begin(), path);
  if (m_files.size() > static_cast<size_t>(kSize)) m_files.resize(kSize);
  Save();
}

void RecentFileList::Remove(const CString& path) {
  m_files.erase(std::remove(m_files.begin(), m_files.end(), path), m_files.end());
  Save();
}

void RecentFileList::Save() const {
  for (int i = 0; i < kSize; ++i) {
    const bool present = i < static_cast<int>(m_files.size());
    Settings::WriteProfileString(kRecentSection, recentEntry(i), present ? m_files[i].GetString() : nullptr);
  }
}

SaveChoice AskSaveChanges(const CString& documentName) {
  CString question;
  question.Format(L"Save changes to %s?", documentName);
  switch (AfxMessageBox(question, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES:
      return SaveChoice::Save;
    case IDNO:
      return SaveChoice::Discard;
    default:
      return SaveChoice::Cancel;
  }
}

void SetProgramPaths(const CString& programPath) {
  const int slash = programPath.ReverseFind(L'/');
  gProgramFolder = slash < 0 ? CString(L"./") : programPath.Left(slash + 1);
  gAISCShapesDatabase = gProgramFolder + L"AISCShapes.sqlite";
  gBritishSteelDatabase = gProgramFolder + L"BritishSteel.sqlite";
  gEuropeanSteelDatabase = gProgramFolder + L"EuropeanSteel.sqlite";
}
