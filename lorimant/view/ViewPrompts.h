// The questions the section view's commands ask the user: a number, a
// text, a point, a set of points on a circle, a file to write or read and
// a folder. The program's canvas answers with its dialogs; tests script
// the answers. Every question answers false when the user cancels, and
// leaves its arguments as they were then.
#pragma once

#include <vector>

#include "platform/core/CString.h"

// Points spread on a circle: how many, its radius and the angles (degrees)
// of the first and the last.
struct PointsAtAngles {
  double radius = 10.0;
  int points = 8;
  double start = 0.0;
  double end = 360.0;
};

// One entry of a file question's type list: what the user reads and the
// pattern of the names it shows ("Text Files (*.txt)", "*.txt").
struct FileFilter {
  CString description;
  CString pattern;
};

// A question for a file: its default extension (added to a name given
// without one; a leading dot is ignored), the name preset, the type list,
// and whether the file must exist (reading) or the user is asked before an
// existing file is chosen for writing.
struct FileQuestion {
  CString defaultExtension;
  CString fileName;
  std::vector<FileFilter> filters;
  bool mustExist = false;
  bool overwritePrompt = false;
};

// The answers of the folder question, as the folder browser gives them.
enum FolderAnswer { kFolderCancelled = 0, kFolderFailed = 1, kFolderChosen = 2 };

class ViewPrompts {
 public:
  virtual ~ViewPrompts() = default;
  // A number under prompt, preset to value.
  virtual bool askValue(const CString& prompt, double& value) = 0;
  // A text under prompt, preset to text.
  virtual bool askText(const CString& prompt, CString& text) = 0;
  // A point, preset to (x, y).
  virtual bool askPoint(double& x, double& y) = 0;
  // The circle and the number of points, preset to request.
  virtual bool pointsAtAngles(PointsAtAngles& request) = 0;
  // The path of a file to write (save dialog); a host without one cancels.
  virtual bool saveFile(const FileQuestion& /*question*/, CString& /*path*/) { return false; }
  // The path of a file to read (open dialog); a host without one cancels.
  virtual bool openFile(const FileQuestion& /*question*/, CString& /*path*/) { return false; }
  // A folder under title: a FolderAnswer, with the folder in folder when
  // chosen. A host without a folder browser cancels.
  virtual int chooseFolder(const CString& /*title*/, CString& /*folder*/) { return kFolderCancelled; }
};
