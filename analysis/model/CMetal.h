// An isotropic metal: elastic constants, design allowables in the
// longitudinal (L) and long-transverse (LT) directions, bearing allowables,
// density, plate thickness, display colour and the Ramberg-Osgood constants
// that the plastic analyses evaluate.
#pragma once

#include <array>

#include "analysis/geometry/Matrix.h"
#include "analysis/model/CMaterial.h"
#include "platform/core/CString.h"

class CArchive;

// A metal (serial class "CMetal", schema 1). Quantities are in the model's
// unit system (SI-cm: kPa, g/cm^3, cm; US inch: psi, lb/in^3, in); -99999
// means "no value". The Ramberg-Osgood arrays are indexed by case: 0 L
// tension, 1 LT tension, 2 L compression, 3 LT compression.
class CMetal : public CMaterial {
  DECLARE_SERIAL(CMetal)

 public:
  // Number of numeric values in a metal's material-database record.
  static constexpr int kRecordValueCount = 37;

  // Texts and name empty; E, Ec, G, nu, density, both allowable blocks and
  // the bearing values -99999; thickness, Ramberg-Osgood constants and
  // strain limits 0; a default colour; extra1 and extra2 -1000.0.
  CMetal();
  // A metal from one value per quantity: the modulus goes into E and Ec,
  // each allowable into its L and LT member, the three exponents into
  // nYield[0..2]; `unused` is ignored. Everything else as CMetal().
  CMetal(const CString& name, double modulus, double G, double nu, double density,
         double Fsy, double Fcy, double Fty, double Fsu, double Fcu, double Ftu,
         double nYieldTensionL, double nYieldTensionLT, double nYieldCompressionL,
         double unused);
  // A copy of every member, the colour copied deeply.
  CMetal(const CMetal& other) = default;
  CMetal& operator=(const CMetal& other) = default;
  ~CMetal() override;

  // Converts every set stress, modulus, density and thickness from US inch
  // to SI-cm units; unset values stay -99999.
  void convertUSCSinToSIcm() override;
  // Converts every set stress, modulus, density and thickness from SI-cm to
  // US inch units; unset values stay -99999.
  void convertSIcmToUSCSin() override;
  // Reads the record written by write; the metal gets a fresh default
  // colour (the stored colour is read and dropped).
  void read(CArchive& ar) override;
  // Writes the name, the seven texts, moduli, density, both allowable
  // blocks, the colour and the trailing filler values.
  void write(CArchive& ar) override;
  // Stores compliance() and stiffness() in the material's matrices.
  void computeStiffnessCompliance() override;

  // The L-direction allowables.
  double Fsy() override { return Fsy_L; }
  double Fcy() override { return Fcy_L; }
  double Fty() override { return Fty_L; }
  double Fsu() override { return Fsu_L; }
  double Fcu() override { return Fcu_L; }
  double Ftu() override { return Ftu_L; }

  // Young's modulus (tension).
  double E() const { return m_E; }
  double E1() const { return m_E; }
  double E2() const { return m_E; }
  // Sets Young's modulus.
  void E(double value) { m_E = value; }
  // The shear modulus.
  double Gshear() const { return G; }
  double Gbend() const { return G; }
  // Sets the shear modulus.
  void Gshear(double value) { G = value; }
  void Gbend(double value) { G = value; }
  // Poisson's ratio.
  double nu() const { return m_nu; }
  double nu1() const { return m_nu; }
  double nu2() const { return m_nu; }
  // Sets Poisson's ratio.
  void nu(double value) { m_nu = value; }
  // Mass density.
  double density() const { return m_density; }
  // Sets the mass density.
  void density(double value) { m_density = value; }

  // Fty_L, Fty_LT, Fcy_L or Fcy_LT.
  double yieldStress(bool tension, bool longitudinal) const;
  // Ftu_L, Ftu_LT, Fcu_L or Fcu_LT.
  double ultimateStress(bool tension, bool longitudinal) const;
  // Tension: E; compression: Ec when Ec > 0, else E (any direction).
  double youngsModulus(bool tension, bool longitudinal) const;
  // Ramberg-Osgood alpha of the case.
  double plasticAlpha(bool tension, bool longitudinal) const;
  // Ramberg-Osgood exponent from yield to ultimate of the case.
  double plasticUltimateExponent(bool tension, bool longitudinal) const;
  // nUltimate of the case when |strain| exceeds |yield strain|, else nYield.
  double plasticExponent(double strain, bool tension, bool longitudinal) const;
  // yieldStress / youngsModulus + 0.002.
  double plasticYieldStrain(bool tension, bool longitudinal) const;
  // Fu / E + alpha * (Fu / Fy)^nUltimate for the case.
  double plasticUltimateStrain(bool tension, bool longitudinal) const;
  // The smaller of the tension and compression yield of the direction
  // (the tension value when equal).
  double minYield(bool longitudinal) const;
  // L: Fcy_L when above 0, else -1.0; LT: Fcy_LT as stored.
  double Fcy(bool longitudinal) const;
  // Poisson's ratio E / (2 G) - 1.
  static double poisson(double E, double G);

  // 6 x 6 isotropic compliance from E and nu: 1/E and -nu/E in the normal
  // block, 2(1 + nu)/E on the shear diagonal.
  Matrix compliance() const;
  // The inverse of compliance(); throws "Matrix is singular" as the
  // matrix inverse does.
  Matrix stiffness() const;

  // The addresses of the 37 numbers of the material-database record, in
  // the record's order (E, Ec, density, thickness, Ftu_L, Ftu_LT, Fty_L,
  // Fty_LT, Fcy_L, Fcy_LT, Fcu_L, Fcu_LT, Fsu_LT, Fsu_L, nu, G, the four
  // bearing values, red, green, blue, alpha, nYield, nUltimate (each in
  // case order), maximum tensile strain, maximum compression strain). The
  // record's colour has no place in the metal: red, green and blue go to
  // rgb[0], rgb[1] and rgb[2]. The record has no Fsy.
  std::array<double*, kRecordValueCount> recordValues(double* rgb);
  // Makes the display colour the given red, green, blue with alpha 1.
  void setColour(double red, double green, double blue);

  bool isotropic = false;
  CString family;
  CString form;
  CString temper;
  CString size;
  CString spec;
  CString units;
  CString uns;

  double G = kNoMaterialValue;
  double Ec = kNoMaterialValue;
  // L allowables: shear, compression, tension yield; shear, compression,
  // tension ultimate.
  double Fsy_L = kNoMaterialValue;
  double Fcy_L = kNoMaterialValue;
  double Fty_L = kNoMaterialValue;
  double Fsu_L = kNoMaterialValue;
  double Fcu_L = kNoMaterialValue;
  double Ftu_L = kNoMaterialValue;
  // The same in the LT direction.
  double Fsy_LT = kNoMaterialValue;
  double Fcy_LT = kNoMaterialValue;
  double Fty_LT = kNoMaterialValue;
  double Fsu_LT = kNoMaterialValue;
  double Fcu_LT = kNoMaterialValue;
  double Ftu_LT = kNoMaterialValue;
  // Bearing ultimate and yield at edge distance e/D 1.5 and 2.0.
  double Fbru15 = kNoMaterialValue;
  double Fbru20 = kNoMaterialValue;
  double Fbry15 = kNoMaterialValue;
  double Fbry20 = kNoMaterialValue;
  double thickness = 0.0;
  // Ramberg-Osgood constants by case.
  std::array<double, 4> alpha{};
  std::array<double, 4> nYield{};
  std::array<double, 4> nUltimate{};
  double maxTensileStrain = 0.0;
  double maxCompressionStrain = 0.0;

 private:
  // Converts every set modulus, allowable, bearing value, density and
  // thickness towards US inch units (toUSCS) or SI-cm.
  void convertUnits(bool toUSCS);

  double m_E = kNoMaterialValue;
  double m_nu = kNoMaterialValue;
  double m_density = kNoMaterialValue;
};
