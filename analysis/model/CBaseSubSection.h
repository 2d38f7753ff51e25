// The base of every sub-section: name, construction points, load
// conditions with the applied one, section properties with their radii of
// gyration and principal-axis transforms, and unit labels of section values.
#pragma once

#include <memory>
#include <vector>

#include "analysis/geometry/ErrMsg.h"
#include "analysis/geometry/Point.h"
#include "analysis/model/CLoadCondition.h"

#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CArchive;
class CDot;
class CLoad;
class CMetal;
class CResultLocation;
class CSectionForces;

// Integer code of a section value asked of a sub-section (getValue). Codes
// used here: 10/11 the components that Myp projects, 17 area, 18
// modulus-weighted area, 20 mass, 40 principal angle, 60/62 area Ixx/Iyy
// about the centroid, 66/68 mass Ixx/Iyy about the centroid, 74/76 modulus
// Iyy/Ixx about the centroid, 78/79 area Ixx/Iyy about the axes, 86/87
// modulus Ixx/Iyy about the axes, 92/93 mass Ixx/Iyy about the axes,
// 141/142 modulus principal (y, x), 143/144 mass principal (x, y), 145/146
// area principal (x, y).
using SectionValue = int;

// A point where an allowable value is checked; actual is 999 until computed.
struct CriticalPoint {
  Point<double> location;
  double allowable = 0.0;
  double actual = 999.0;
};

// The base of a sub-section. Not serialisable by itself; the derived
// sub-section stores it and overrides the four section-value operations.
class CBaseSubSection : public CObject {
 public:
  // A generated name (nameGen), no dots, no load conditions, properties 0.
  CBaseSubSection();
  // Destroys the result locations, dots, critical points and extreme-value
  // records; the load conditions are released.
  ~CBaseSubSection() override;
  CBaseSubSection(const CBaseSubSection&) = delete;
  CBaseSubSection& operator=(const CBaseSubSection&) = delete;

  // Section value of that code. Throws std::logic_error "Never call this"
  // unless overridden.
  virtual double getValue(SectionValue code) const;
  // Smallest Young's modulus of the section. Throws std::logic_error
  // "Uncallable function" unless overridden.
  virtual double Emin() const;
  // Whether every material has a density. Throws std::logic_error
  // "Never call me again." unless overridden.
  virtual bool isDensityDefined() const;
  // Whether every material has a compressive yield. Throws std::logic_error
  // "Never call me again." unless overridden.
  virtual bool isFcyDefined() const;

  // Name of the sub-section (a copy).
  CString name() const { return m_name; }
  // Renames the sub-section.
  void name(const CString& name) { m_name = name; }

  // Stored section properties (E: modulus-weighted, M: mass-weighted, A:
  // area; C: about the centroid, A suffix: about the model axes).
  double IxyEC() const { return m_IxyEC; }
  double IyyEC() const { return m_IyyEC; }
  double IxxEA() const { return m_IxxEA; }
  double IxyEA() const { return m_IxyEA; }
  double IyyEA() const { return m_IyyEA; }
  double IxxMC() const { return m_IxxMC; }
  double IxyMC() const { return m_IxyMC; }
  double IyyMC() const { return m_IyyMC; }
  double IxxMA() const { return m_IxxMA; }
  double IxyMA() const { return m_IxyMA; }
  double IyyMA() const { return m_IyyMA; }
  double principalAngleE() const { return m_principalAngleE; }  // degrees
  double principalAngleM() const { return m_principalAngleM; }  // degrees
  double principalAngleA() const { return m_principalAngleA; }  // degrees
  double IminE() const { return m_IminE; }
  double ImaxE() const { return m_ImaxE; }
  double IminM() const { return m_IminM; }
  double ImaxM() const { return m_ImaxM; }
  double IminA() const { return m_IminA; }
  double ImaxA() const { return m_ImaxA; }

  // Radii of gyration sqrt(I / W). E and A families (W = value 18 or 17)
  // give 0 when W is below 1e-6; the M family (W = value 20, the mass)
  // gives -1 when W is not positive.
  double IrxE() const;
  double IryE() const;
  double IrxEA() const;
  double IryEA() const;
  double IrxpE() const;
  double IrypE() const;
  double IrxM() const;
  double IryM() const;
  double IrxMA() const;
  double IryMA() const;
  double IrxpM() const;
  double IrypM() const;
  double IrxA() const;
  double IryA() const;
  double IrxAA() const;
  double IryAA() const;
  double IrxpA() const;
  double IrypA() const;
  // Polar radii sqrt((Ia + Ib) / W), with the same weight guards.
  double IrE() const;
  double IrEA() const;
  double IrA() const;
  double IrAA() const;
  double IrM() const;
  double IrMA() const;

  // Emin() × value 142.
  double EIYY() const;
  // −sin θ × value 10 + cos θ × value 11, θ = principalAngleE.
  double Myp() const;
  // Axial stress of the forces f in material m: 0 when value 18 is below
  // 1e-6, else m's extra1 (1 without a material) × axial / value 18.
  double axialStress(const CSectionForces* f, const CMetal* m) const;
  // Rotates in into the E principal axes (principalAngleE); out.z untouched.
  void principal(Point<double>* in, Point<double>* out) const;
  // Rotates (in − centroid) by the angle of value 40; out.z untouched.
  void model2Principal(Point<double>* in, Point<double>* out) const;
  // Second moments ixx, ixy, iyy turned by `angle` degrees: r1 and r3 the
  // moments about the turned axes, r2 their product. Throws
  // std::logic_error "Principal angle is not in the range of -45 to +45"
  // when |angle| > 45 (outputs unwritten).
  static void transformMomentsOfInertia(double angle, double ixx, double ixy, double iyy, double* r1, double* r2,
                                        double* r3);
  // Unit label of a section value in the current unit system (cm or in,
  // GPa or lb); empty for codes without a unit. Also refreshes lengthLabel
  // and modulusLabel.
  void getUnits(int code, CString& out);

  // Adds a dot at (x, y, 0) for client unless a dot of the same non-null
  // client lies within 1e-5 of it (the name is not used).
  void addDot(CString& name, double x, double y, void* client);
  // Distance from p to the first dot closer than 1e-4; -1 when none.
  double findDot(Point<double>& p) const;
  // Removes every entry of that dot and destroys it (nothing when the dot
  // is not one of this sub-section's).
  void deleteDot(CDot* dot);
  // Rotates every dot about centre in the x-y plane by `degrees` (z kept).
  void rotateDots(Point<double>& centre, double degrees);

  // Appends a new load condition; it does not become current.
  void addLoadCondition(LoadConditionType type, CString name);
  // First load condition of that name; empty when none.
  std::shared_ptr<CLoadCondition> findLoadCondition(const CString& name) const;
  // The same as a plain pointer; null when none.
  CLoadCondition* findLoadConditionMutable(const CString& name) const;
  // Whether a load condition has that name.
  bool loadConditionExists(const CString& name) const;
  // Renames every load condition named oldName.
  void ldCdnRename(CString& oldName, CString& newName);
  // Makes the load condition of that name current (none when no condition
  // has the name); nothing when the current one already has it.
  void ldCdnSetCurrent(CString& name);
  // Sets the applied load condition.
  void curAppLC(std::shared_ptr<CLoadCondition> lc) { currentLoadCondition = std::move(lc); }
  // The applied load condition (empty when none).
  std::shared_ptr<CLoadCondition> curAppLC() const { return currentLoadCondition; }
  // Removes every entry holding lc, keeping the order of the rest; factors
  // of the remaining combinations that referred to it are unlinked.
  void deleteLoadCondition(std::shared_ptr<CLoadCondition> lc);
  // Empties the list (the applied condition stays); the factors of the
  // combinations involved are unlinked.
  void deleteLoadConditions();
  // The applied condition's load of that id; null without one.
  CLoad* findLoad(int id) const;
  // Removes the applied condition's load of that id from its load case and
  // destroys it; always errNone.
  errMsg deleteLoadID(int id);

  // Links every unlinked factor of the listed combinations to the first
  // listed condition of the name it stored; names not listed stay unlinked.
  void relinkLoadCombinations();
  // Stores the load conditions: int32 count, then each condition's record
  // (no class tag) followed by the int32 marker 10101010.
  void writeLoadConditions(CArchive& ar) const;
  // Loads what writeLoadConditions stored (the marker is not checked):
  // earlier conditions are deleted first, and the combinations are relinked.
  void readLoadConditions(CArchive& ar);

  std::vector<CResultLocation*> resultLocations;  // owned
  std::vector<CDot*> dots;                         // owned, in insertion order
  std::vector<CriticalPoint*> criticalPoints;      // owned
  std::vector<std::shared_ptr<CLoadCondition>> loadConditions;
  std::shared_ptr<CLoadCondition> currentLoadCondition;
  CString lengthLabel;   // rewritten by getUnits
  CString modulusLabel;  // rewritten by getUnits
  std::vector<CObject*> extremeValues;  // owned records of the analyses
  Point<double> centroid;               // used by model2Principal
  Point<double> auxPoint1;
  Point<double> auxPoint2;

 protected:
  CString m_name;
  double m_IxxEC = 0.0, m_IxyEC = 0.0, m_IyyEC = 0.0;
  double m_IxxEA = 0.0, m_IxyEA = 0.0, m_IyyEA = 0.0;
  double m_IxxMC = 0.0, m_IxyMC = 0.0, m_IyyMC = 0.0;
  double m_IxxMA = 0.0, m_IxyMA = 0.0, m_IyyMA = 0.0;
  double m_IxxAC = 0.0, m_IxyAC = 0.0, m_IyyAC = 0.0;
  double m_IxxAA = 0.0, m_IxyAA = 0.0, m_IyyAA = 0.0;
  double m_principalAngleE = 0.0, m_principalAngleM = 0.0, m_principalAngleA = 0.0;
  double m_IminE = 0.0, m_ImaxE = 0.0;
  double m_IminM = 0.0, m_ImaxM = 0.0;
  double m_IminA = 0.0, m_ImaxA = 0.0;

 private:
  // Unlinks the factors of every combination involved that refer to a
  // condition in `gone`.
  void unlinkFactorsTo(const std::vector<const CLoadCondition*>& gone);
};
