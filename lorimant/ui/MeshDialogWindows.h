// The modal windows of the mesh parameters ("2D Meshing") and the local
// size control ("Apply Local Control"), and the plain functions through
// which a command asks for their values.
#pragma once

#include "lorimant/shapes/CLocalControlDlg.h"
#include "lorimant/shapes/CShapeAnalysisMeshDlg.h"
#include "lorimant/view/ViewPrompts.h"
#include "platform/ui/CDialog.h"

class CShapeAnalysisMeshDlgWindow : public CDialog, public CShapeAnalysisMeshDlg {
 public:
  explicit CShapeAnalysisMeshDlgWindow(wxWindow* parent = nullptr);

 protected:
  void CreateControls() override;
  // Shows the members with the last value hidden and the element type selected.
  BOOL OnInitDialog() override;
  // Reads the values; more than 4000 nodes are refused and the dialog stays open.
  void OnOK() override;
  void DoDataExchange(CDataExchange* pDX) override { CShapeAnalysisMeshDlg::DoDataExchange(pDX); }
};

class CLocalControlDlgWindow : public CDialog, public CLocalControlDlg {
 public:
  explicit CLocalControlDlgWindow(wxWindow* parent = nullptr);

 protected:
  void CreateControls() override;
  void DoDataExchange(CDataExchange* pDX) override { CLocalControlDlg::DoDataExchange(pDX); }
};

// What the mesh dialog gives its command: MeshParameters (ViewPrompts.h).

// Runs the mesh dialog over parent (may be null); true with the values in
// parameters after "Create Mesh", false (parameters untouched) on Cancel.
bool RunMeshDialog(wxWindow* parent, MeshParameters& parameters);
// Runs the local size control dialog; true with the element size and the
// radius after OK, false (both untouched) on Cancel.
bool RunLocalControlDialog(wxWindow* parent, double& size, double& radius);
