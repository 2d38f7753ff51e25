// The base of every material of a section: its name, display colour,
// compliance and stiffness matrices, a validity flag and the property
// getters that a concrete material overrides.
#pragma once

#include <memory>

#include "analysis/geometry/Matrix.h"
#include "analysis/model/LightProperties.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CArchive;

// "No value" in every stored material quantity.
inline constexpr double kNoMaterialValue = -99999.0;

// True when a material quantity holds a value: its integer truncation
// differs from -99999.
bool isMaterialValueSet(double value);

// Material base (serial class "CMaterial", schema 1). Its property getters
// answer -1.0, "not defined"; the getters are non-const so that a concrete
// material may hide them with const accessors of its own (through a
// CMaterial pointer those names keep answering -1.0).
class CMaterial : public CObject {
  DECLARE_SERIAL(CMaterial)

 public:
  // Empty name, no colour, empty matrices, valid 0, extra1 1.0, extra2 0.
  CMaterial();
  // A copy of every member; the colour is copied deeply.
  CMaterial(const CMaterial& other);
  // Every member of other; the colour is copied deeply.
  CMaterial& operator=(const CMaterial& other);
  ~CMaterial() override;

  // Loading: the virtual read; storing: the virtual write.
  void Serialize(CArchive& ar) override;

  // Converts the stored values from US inch units to SI-cm (nothing here).
  virtual void convertUSCSinToSIcm();
  // Converts the stored values from SI-cm to US inch units (nothing here).
  virtual void convertSIcmToUSCSin();
  // Reads the material's record (nothing here).
  virtual void read(CArchive& ar);
  // Writes the material's record (nothing here).
  virtual void write(CArchive& ar);
  // C(2,2) - C(2,5)^2 / C(5,5) of the compliance matrix.
  virtual double av66();
  // Fills the compliance and stiffness matrices (nothing here).
  virtual void computeStiffnessCompliance();

  // Property getters; each answers -1.0 here.
  virtual double E();
  virtual double E1();
  virtual double E2();
  virtual double Ecx();
  virtual double Ecy();
  virtual double Gbend();
  virtual double Gshear();
  virtual double density();
  virtual double Fsy();
  virtual double Fcy();
  virtual double Fty();
  virtual double Fsu();
  virtual double Fcu();
  virtual double Ftu();
  virtual double nu();
  virtual double nu1();
  virtual double nu2();

  // The validity flag.
  int valid() const { return m_valid; }
  // Sets the validity flag.
  void valid(int v) { m_valid = v; }

  // Compliance terms C(r, c) of the compliance matrix; each throws
  // CInvalidArgException while the matrix does not reach the element
  // (before computeStiffnessCompliance has run).
  double a11() const { return complianceAt(0, 0); }
  double a12() const { return complianceAt(0, 1); }
  double a16() const { return complianceAt(0, 2); }
  double a21() const { return complianceAt(1, 0); }
  double a22() const { return complianceAt(1, 1); }
  double a26() const { return complianceAt(1, 2); }
  double a61() const { return complianceAt(2, 0); }
  double a62() const { return complianceAt(2, 1); }
  double a66() const { return complianceAt(2, 2); }
  double b11() const { return complianceAt(0, 3); }
  double b12() const { return complianceAt(0, 4); }
  double b16() const { return complianceAt(0, 5); }
  double b21() const { return complianceAt(1, 3); }
  double b22() const { return complianceAt(4, 4); }
  double b26() const { return complianceAt(1, 5); }
  double b61() const { return complianceAt(5, 0); }
  double b62() const { return complianceAt(5, 1); }
  double b66() const { return complianceAt(2, 5); }
  double d11() const { return complianceAt(3, 3); }
  double d12() const { return complianceAt(3, 4); }
  double d16() const { return complianceAt(3, 5); }
  double d21() const { return complianceAt(4, 3); }
  double d22() const { return complianceAt(4, 4); }
  double d26() const { return complianceAt(4, 5); }
  double d61() const { return complianceAt(5, 3); }
  double d62() const { return complianceAt(5, 4); }
  double d66() const { return complianceAt(5, 5); }
  // -C(2,5) / C(5,5).
  double torqueOffset() const;
  // -C(0,3) / C(3,3).
  double bendingOffset() const;

  // The name under which the model and the material database know it.
  CString name;
  // Display colour, owned (null in a bare CMaterial).
  std::unique_ptr<LightProperties> colour;
  // 6 x 6 compliance matrix; empty until computeStiffnessCompliance runs.
  Matrix complianceMatrix;
  // 6 x 6 stiffness matrix; empty until computeStiffnessCompliance runs.
  Matrix stiffnessMatrix;
  // Two values carried along with the material: 1.0 and 0 in a bare
  // CMaterial, both -1000.0 in a metal. The sub-section's axial stress
  // multiplies its result by extra1.
  double extra1 = 1.0;
  double extra2 = 0.0;

 private:
  double complianceAt(int r, int c) const { return complianceMatrix.val(r, c); }

  int m_valid = 0;
};
