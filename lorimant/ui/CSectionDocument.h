// The section document on wx's document/view: a wxDocument that owns one
// CXSectionAnalysisDoc and runs its new, open, save and close operations.
// Closing asks through the document's own path: the close question, the
// modeless dialogs closed, then "Save changes to %s?".
#pragma once

#include <wx/docview.h>

#include <memory>

class CXSectionAnalysisDoc;

class CSectionDocument : public wxDocument {
 public:
  // A document with its journal open and no model yet; it reports to the
  // main frame when there is one.
  CSectionDocument();
  ~CSectionDocument() override;
  CSectionDocument(const CSectionDocument&) = delete;
  CSectionDocument& operator=(const CSectionDocument&) = delete;

  // The section document this one owns.
  CXSectionAnalysisDoc& core() const;
  // True once a new document was made or a file was read into it.
  bool ready() const { return m_ready; }
  // The open document that owns core, or null.
  static CSectionDocument* Owning(const CXSectionAnalysisDoc& core);

  // A new empty model named "LorimantAnalysisDoc<n>".
  bool OnNewDocument() override;
  // Reads the file; false when it cannot be read (the message was shown).
  bool OnOpenDocument(const wxString& file) override;
  // Writes the file; false when it cannot be written (the message was shown).
  bool OnSaveDocument(const wxString& file) override;
  // The close question and the save prompt; false keeps the document open.
  // A document that never got a model, or is already closed, asks nothing.
  bool OnSaveModified() override;
  // Clears the closing document's contents (once).
  bool OnCloseDocument() override;
  // The modified flag is the section document's own.
  bool IsModified() const override;
  void Modify(bool modified) override;

  // "Save changes to %s?": Yes saves (Save As when untitled), No goes on
  // without saving, Cancel keeps the document. Nothing to ask when unmodified.
  bool SaveChangesPrompt();

 private:
  class Core;
  std::unique_ptr<Core> m_core;
  bool m_ready = false;
  bool m_closed = false;

  wxDECLARE_DYNAMIC_CLASS(CSectionDocument);
};
