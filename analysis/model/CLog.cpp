// Journal files: header, body lines, blocking and the process's list of
// open journals.
#include "analysis/model/CLog.h"

#include <filesystem>
#include <mutex>
#include <set>
#include <system_error>
#include <vector>

#include "analysis/model/Globals.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Settings.h"

namespace {

// Paths of the journals this process has open. Two documents created in the
// same second get the same name; the second must not truncate the first.
struct OpenJournals {
  std::mutex mutex;
  std::set<std::string> paths;
};

// Never destroyed, so a journal that outlives static destruction can still
// give its path back.
OpenJournals& openJournals() {
  static OpenJournals* journals = new OpenJournals;
  return *journals;
}

// Reserves the first free path of base + ".log", base + "_2.log", ...
std::string reservePath(const std::string& base) {
  OpenJournals& journals = openJournals();
  std::lock_guard<std::mutex> lock(journals.mutex);
  std::string path = base + ".log";
  for (int n = 2; journals.paths.count(path) != 0; ++n) path = base + "_" + std::to_string(n) + ".log";
  journals.paths.insert(path);
  return path;
}

void releasePath(const std::string& path) {
  if (path.empty()) return;
  OpenJournals& journals = openJournals();
  std::lock_guard<std::mutex> lock(journals.mutex);
  journals.paths.erase(path);
}

// The 16 lines of the macro header.
std::vector<CString> headerLines(const CString& progName, int major, int minor) {
  const CString stars = L"'" + CString(L'*', 66);
  CString version;
  version.Format(L"'Version %d.%d", major, minor);
  return {
      stars,
      L"'Quenholt",
      version,
      stars,
      L"Option Explicit",
      L"Sub QuenholtLog",
      L"Dim obj As OLEObject",
      L"Dim xscn As " + progName,
      L"On Error GoTo ErrHandler",
      L"For Each obj In ActiveSheet.OLEObjects",
      L"  If(obj.progID = \"Quenholt." + progName + L"\") Then",
      L"    obj.Activate",
      L"    Set xscn = obj.Object",
      L"  End If",
      L"Next obj",
      L"xscn.ClearAll",
  };
}

}  // namespace

CString JournalQuotedText(const CString& text) {
  CString quoted = text;
  quoted.Replace(L"\"", L"\"\"");
  // A macro text cannot hold a line break: written as it is, it would end
  // the line inside the text and the rest of the name would replay as a
  // statement of its own.
  quoted.Replace(L'\r', L' ');
  quoted.Replace(L'\n', L' ');
  return quoted;
}

CLog::CLog(CString name, int major, int minor, CStringA progName) {
  try {
    open(name, major, minor, progName);
  } catch (const std::exception&) {
    m_stream.reset();
  } catch (const CException&) {
    m_stream.reset();
  }
  if (!m_stream) {
    releasePath(m_path);
    m_path.clear();
  }
}

CLog::~CLog() {
  m_stream.reset();
  releasePath(m_path);
}

void CLog::open(const CString& name, int major, int minor, const CStringA& progName) {
  const CString wideProgName(progName);
  const CString profile = GetProfileFolder();
  if (profile.IsEmpty()) return;

  const std::filesystem::path folder = std::filesystem::path(profile.ToUtf8()) / "temp";
  std::error_code error;
  std::filesystem::create_directory(folder, error);
  if (error) return;

  m_path = reservePath((folder / (wideProgName + L"_" + name).ToUtf8()).string());
  auto file = std::make_unique<std::ofstream>(m_path, std::ios::out | std::ios::binary | std::ios::trunc);
  if (!file->is_open()) return;
  m_stream = std::move(file);

  for (const CString& line : headerLines(wideProgName, major, minor)) writeLine(line);
}

void CLog::writeLine(const CString& line) {
  if (!m_stream) return;
  // A failed earlier write must not silence the rest of the journal.
  m_stream->clear();
  const std::string bytes = line.ToUtf8() + "\r\n";
  m_stream->write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  m_stream->flush();
}

void CLog::logIt() {
  if (blocked) return;
  writeLine(gLogMsg);
}

void CLog::section(CString s) {
  gLogMsg = L"CurrentSection." + s;
  logIt();
}

void CLog::block(CString name) {
  if (blocked) return;
  blocker = name;
  blocked = 1;
}

void CLog::unblock(CString name) {
  if (name == blocker) blocked = 0;
}
