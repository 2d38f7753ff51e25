// The modeless dialogs that the section view's shape, profile and
// transformation commands open, as the view drives them, and the factory
// that makes them. The window gives its view a factory; the dialog parts of
// the program register their makers in it, tests register fakes.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "lorimant/document/ActiveSectionView.h"
#include "analysis/geometry/Point.h"
#include "platform/core/CString.h"

class CSubSection;
class CThickSectionView;
class CXSectionAnalysis;
class CXSectionAnalysisDoc;

// What a rotate, mirror or translate dialog moves: the picked shapes, every
// shape of the current sub-section, or copies of the picked shapes.
enum class TransformMode { Selected, All, Duplicate };

// A dialog of the section view. Every call but show does nothing unless
// the dialog needs it. The view owns its dialogs; a profile dialog tells
// its view when it is finished (CThickSectionView::profileDialogFinished),
// so that the view stops counting it as pending.
class SectionDialog : public ModelessDialog {
 public:
  // The kind of basic shape it defines (a ShapeType number).
  virtual void setShapeKind(int /*kind*/) {}
  // Forgets a shape opened for editing: its next Add makes a new shape.
  virtual void resetEditState() {}
  // The document and model it works on.
  virtual void setDocument(CXSectionAnalysisDoc* /*doc*/, CXSectionAnalysis* /*model*/) {}
  // The sub-section that receives the part it builds (profile dialogs).
  virtual void setParentName(const CString& /*name*/) {}
  // Forgets the construction points picked towards its input cell.
  virtual void clearPickFields() {}
  // The point it starts from (the relative-point dialog).
  virtual void presetPoint(double /*x*/, double /*y*/) {}
  // A transformation dialog: what it moves and the name of a copy (empty
  // unless mode is Duplicate).
  virtual void setTransformMode(TransformMode /*mode*/, const CString& /*copyName*/) {}
  // The mirror dialog: the direction of the mirror axis.
  virtual void setMirrorDirection(Point<double> /*direction*/) {}
  // The rotate dialog: the centre, the angle and its increment (degrees).
  virtual void setRotation(Point<double> /*centre*/, double /*angle*/, double /*increment*/) {}
  // Creates its window when it has none and shows it.
  virtual void show() = 0;

  // ---- analysis dialogs ----
  // The bending dialog: 1 restrained, 0 unrestrained.
  virtual void setAnalysisType(int /*restrained*/) {}
  // The sub-section it analyses.
  virtual void setSubSection(CSubSection* /*sub*/) {}
  // The Cozzone dialogs' unit texts: moment, stress, section modulus and
  // force (empty when the unit system has none).
  virtual void setUnitTexts(const CString& /*moment*/, const CString& /*stress*/, const CString& /*modulus*/,
                            const CString& /*force*/) {}
  // Runs a modal dialog to its end; its closing button's id (2, Cancel,
  // unless the dialog runs).
  virtual int runModal() { return 2; }
  // Brings an open dialog to the front.
  virtual void bringToFront() { show(); }
};

// The dialogs a section view opens.
enum class SectionDialogKind {
  BasicShape,
  Rotate,
  Mirror,
  Translate,
  PointSet,
  Profile,
  RelativePoint,
  // The analysis dialogs: bending (restrained and unrestrained), plastic
  // bending about a neutral axis, the two Cozzone dialogs and the three
  // calculators.
  Bending,
  PlasticBending,
  Cozzone,
  CozzoneUnsymmetric,
  ForceConversion,
  ProjectForce,
  RambergOsgoodStress,
};

class SectionDialogFactory {
 public:
  // Makes a dialog owned by the view that asks.
  using Maker = std::function<std::unique_ptr<SectionDialog>(CThickSectionView& view)>;

  // The factory the program's windows give their views.
  static SectionDialogFactory& standard();

  // Registers (replaces) the maker of a kind of dialog; for a profile,
  // profileKind is the profile's ShapeType number (11 to 19), else 0.
  void registerMaker(SectionDialogKind kind, Maker maker, int profileKind = 0);
  // True when a maker is registered for the kind.
  bool canMake(SectionDialogKind kind, int profileKind = 0) const;
  // A new dialog for view; null when no maker is registered.
  std::unique_ptr<SectionDialog> make(SectionDialogKind kind, CThickSectionView& view, int profileKind = 0) const;

 private:
  std::map<std::pair<SectionDialogKind, int>, Maker> m_makers;
};
