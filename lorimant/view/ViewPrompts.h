// The questions the section view's commands ask the user: a number, a
// text, a point, a set of points on a circle, a file to write or read, a
// folder, the mesh parameters, a local mesh size control and a material.
// The program's canvas answers with its dialogs; tests script the answers.
// Every question answers false (or no material) when the user cancels, and
// leaves its arguments as they were then. The file, folder, mesh,
// size-control and material questions count as cancelled where nobody
// answers them.
#pragma once

#include <memory>
#include <vector>

#include "platform/core/CString.h"

class CMetal;
class CXSectionAnalysisDoc;

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

// What the mesh dialog gives the Mesh Selected command: the node count,
// the material thickness, the chord-height tolerance, the last value and
// the element type (0 three-node triangles, 1 four-node quadrilaterals).
struct MeshParameters {
  int nodes = 100;
  double thickness = 1.0;
  double tolerance = 0.001;
  int lastValue = -1;
  int elementType = 0;
};

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
  // The mesh parameters, preset to parameters.
  virtual bool meshParameters(MeshParameters& /*parameters*/) { return false; }
  // The element size and the radius of a local mesh size control.
  virtual bool localControl(double& /*size*/, double& /*radius*/) { return false; }
  // The material manager on doc's database: the metal the user applies
  // (the model's own of that name, or a new one not yet in the model), or
  // null when the manager was closed otherwise.
  virtual std::shared_ptr<CMetal> chooseMaterial(CXSectionAnalysisDoc& /*doc*/) { return nullptr; }
  // The material manager on doc's database, to edit the materials; what it
  // chooses is not applied.
  virtual void editMaterials(CXSectionAnalysisDoc& /*doc*/) {}
};
