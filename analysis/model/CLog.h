// The journal: a text file that records every model-changing operation of a
// document as one line of spreadsheet macro code (a call on the automation
// object `xscn`), so that the work can be replayed or converted.
#pragma once

#include <fstream>
#include <memory>
#include <string>

#include "platform/core/CString.h"

// text as a journal line writes it between quotes: every quote doubled, so
// that the line replays the text unchanged, and every carriage return and
// line feed a blank, so that the text stays on its line (a macro text has
// no way to hold a line break). Any other text is returned as it is.
CString JournalQuotedText(const CString& text);

// One document's journal, in the folder "temp" of the user's home folder,
// named <progName>_<name>.log. Callers compose each line in the global
// gLogMsg and call logIt. The file is UTF-8 with CRLF line ends and is
// flushed after every line. A journal that cannot be opened stays closed:
// nothing is shown or thrown and every write does nothing.
class CLog {
 public:
  // Creates the folder when missing, creates the file exclusively and writes
  // the 16 header lines for progName and the version major.minor. When a
  // file of that name exists already (or this process has it open), the
  // name gets a suffix "_2", "_3", ... instead: a journal is never shared.
  CLog(CString name, int major, int minor, CStringA progName);
  // Closes the file.
  virtual ~CLog();
  CLog(const CLog&) = delete;
  CLog& operator=(const CLog&) = delete;

  // Writes gLogMsg as one line when the journal is open and not blocked;
  // gLogMsg is left as it is.
  void logIt();
  // Sets gLogMsg to "CurrentSection." followed by s (also while blocked),
  // then writes it as logIt does.
  void section(CString s);
  // Blocks the journal under name unless it is blocked already (the first
  // blocker keeps it; blocks are not counted).
  void block(CString name);
  // Unblocks the journal when name is the one it was blocked under.
  void unblock(CString name);
  // 1 while blocked, else 0.
  int isBlocked() const { return blocked; }
  // The open file, or null when the journal is closed.
  std::ofstream* stream() const { return m_stream.get(); }
  // The open file's path; empty when the journal is closed.
  const std::string& path() const { return m_path; }
  // Why the journal is not being written (it could not be created, or a
  // line failed); empty while all is well.
  const std::string& problem() const { return m_problem; }
  // Does nothing.
  void OleLogIt() {}
  // Counts down a counter that nothing reads.
  void OLEPOP() { --olePopCount; }

 private:
  void open(const CString& name, int major, int minor, const CStringA& progName);
  void writeLine(const CString& line);

  int blocked = 0;
  CString blocker;
  std::unique_ptr<std::ofstream> m_stream;
  int olePopCount = 0;
  std::string m_path;  // the open file's path, held in the process's list of open journals
  std::string m_problem;
};

// Blocks log under name for the lifetime of the object and unblocks it on
// the way out, also when an exception leaves the scope. Nothing for a null
// log.
class CLogBlock {
 public:
  CLogBlock(CLog* log, const CString& name) : m_log(log), m_name(name) {
    if (m_log) m_log->block(m_name);
  }
  ~CLogBlock() {
    if (m_log) m_log->unblock(m_name);
  }
  CLogBlock(const CLogBlock&) = delete;
  CLogBlock& operator=(const CLogBlock&) = delete;

 private:
  CLog* m_log;
  CString m_name;
};
