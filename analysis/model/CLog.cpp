// Journal files: header, body lines, blocking and the process's list of
// open journals.
#include "analysis/model/CLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
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

// Claims the first free path of base + ".log", base + "_2.log", ...: free
// in this process and created here, exclusively, so that no other process
// (a second run started in the same second) writes into the same file.
// Empty with *problem set when no file can be created.
std::string claimPath(const std::string& base, std::string* problem) {
  OpenJournals& journals = openJournals();
  std::lock_guard<std::mutex> lock(journals.mutex);
  for (int n = 1; n < 10000; ++n) {
    const std::string path = base + (n == 1 ? std::string() : "_" + std::to_string(n)) + ".log";
    if (journals.paths.count(path) != 0) continue;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) {
      *problem = path + ": " + std::strerror(errno);
      return {};
    }
    ::close(fd);
    journals.paths.insert(path);
    return path;
  }
  *problem = base + ".log: every name with a suffix is taken";
  return {};
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
    if (m_problem.empty()) m_problem = "the journal could not be opened";
  }
}

CLog::~CLog() {
  m_stream.reset();
  releasePath(m_path);
}

void CLog::open(const CString& name, int major, int minor, const CStringA& progName) {
  const CString wideProgName(progName);
  const CString profile = GetProfileFolder();
  if (profile.IsEmpty()) {
    m_problem = "there is no profile folder ($HOME)";
    return;
  }

  const std::filesystem::path folder = std::filesystem::path(profile.ToUtf8()) / "temp";
  std::error_code error;
  std::filesystem::create_directory(folder, error);
  if (error) {
    m_problem = folder.string() + ": " + error.message();
    return;
  }

  m_path = claimPath((folder / (wideProgName + L"_" + name).ToUtf8()).string(), &m_problem);
  if (m_path.empty()) return;
  auto file = std::make_unique<std::ofstream>(m_path, std::ios::out | std::ios::binary | std::ios::trunc);
  if (!file->is_open()) {
    m_problem = m_path + ": cannot be opened for writing";
    std::filesystem::remove(m_path, error);
    return;
  }
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
  if (!*m_stream && m_problem.empty()) m_problem = m_path + ": a line could not be written";
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
