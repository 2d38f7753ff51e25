// The window-free half of the application and its frames: the profile, the
// document type's names, the recently used files, the main window's texts,
// the save-changes question and the program's folder and shape databases.
// The wx application and frames are thin adapters over these.
#pragma once

#include <vector>

#include "platform/core/CString.h"

// The profile's registry key and the application's name.
inline constexpr const wchar_t* kProfileRegistryKey = L"Local AppWizard-Generated Applications";
inline constexpr const wchar_t* kApplicationName = L"Lorimant";
// The document type: file filter name, extension (without its dot), type
// name and the name new documents take with a number after it.
inline constexpr const wchar_t* kDocumentFilterName = L"SectionAnalysis Files";
inline constexpr const wchar_t* kDocumentFilter = L"*.qhscn";
inline constexpr const wchar_t* kDocumentExtension = L"qhscn";
inline constexpr const wchar_t* kDocumentTypeName = L"LorimantAnalysisDoc";
// The panes of the main frame: caption (also the pane's name) and window
// id. The tree pane's window takes any id: wx window ids stay below 32767.
inline constexpr const wchar_t* kSectionTreeCaption = L"Section Tree";
inline constexpr const wchar_t* kResultPaneCaption = L"Section Properties";
inline constexpr int kResultPaneId = 1401;
// Commands of the application.
inline constexpr int kCommandFileNew = 57600;
inline constexpr int kCommandFileOpen = 57601;
inline constexpr int kCommandAppExit = 57665;

// Sets the profile's registry key and application name.
void UseLorimantProfile();

// The name of the n-th new document of a run (1-based): "LorimantAnalysisDoc<n>".
CString NewDocumentName(int n);

// The main window's title: "<document> - Lorimant - Release Version 2.0.4
// Built On: ...", or without the document part when documentName is empty.
CString MainFrameTitle(const CString& documentName);
// The status bar's version text, "Release Version 2.0.4".
CString ReleaseVersionText();

// The recently used files: at most 4, newest first, kept in the profile
// section "Recent File List" as "File1" to "File4".
class RecentFileList {
 public:
  static constexpr int kSize = 4;
  // Reads the list from the profile (empty entries are skipped).
  void Load();
  // Puts path first (once) and drops what falls past the fourth; writes
  // the list to the profile.
  void Add(const CString& path);
  // Drops path (a file that went missing) and writes the list to the profile.
  void Remove(const CString& path);
  // The files, newest first.
  const std::vector<CString>& files() const { return m_files; }

 private:
  void Save() const;
  std::vector<CString> m_files;
};

// What the user answers to "Save changes to %s?".
enum class SaveChoice { Save, Discard, Cancel };
// Asks whether to save the named document's changes (Yes, No, Cancel).
SaveChoice AskSaveChanges(const CString& documentName);

// The program's folder (with a trailing "/") and the three standard steel
// shape databases beside the program; empty until SetProgramPaths runs.
extern CString gProgramFolder;
extern CString gAISCShapesDatabase;
extern CString gBritishSteelDatabase;
extern CString gEuropeanSteelDatabase;
// Sets the folder and database globals from the program's own path.
void SetProgramPaths(const CString& programPath);
