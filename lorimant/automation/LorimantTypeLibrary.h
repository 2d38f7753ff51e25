// The enumerations of the Lorimant type library, as named constants. Each
// list is kept once, as data: the enumerations and the name lookup that a
// replayed journal needs ("xscn.SetUnitSystem QHT_SI") are both built from it.
// The type library declares them 32-bit; the dispatch table takes every
// enumerated argument as a 16-bit integer.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

#define LORIMANT_QHT_ELEMENTTYPE(X) \
  X(TRIANGLE_3NODES, 0) \
  X(QUAD_4NODES, 1)

#define LORIMANT_QHT_RESULT(X) \
  X(QHT_NO_VALUE, 1) \
  X(QHT_STRESSZZ, 3) \
  X(QHT_STRAINZZ, 4)

#define LORIMANT_QHT_EXTREME_RESULT(X) \
  X(QHT_MINSTRESS, 1) \
  X(QHT_MAXSTRESS, 2) \
  X(QHT_MINSTRAIN, 3) \
  X(QHT_MAXSTRAIN, 4)

#define LORIMANT_QHT_UNITSYSTEM(X) \
  X(QHT_SI, 0) \
  X(QHT_USCS, 1)

#define LORIMANT_QHT_BENDINGANALYSIS(X) \
  X(BA_PointOnNeutralAxisX, 1) \
  X(BA_PointOnNeutralAxisY, 2) \
  X(BA_MomentAboutXAxis, 3) \
  X(BA_MomentAboutYAxis, 4) \
  X(BA_MomentNeutralAxis, 5) \
  X(BA_MinStress, 6) \
  X(BA_MaxStress, 7) \
  X(BA_MinStrain, 8) \
  X(BA_MaxStrain, 9) \
  X(BA_MinStressLocationX, 11) \
  X(BA_MinStressLocationY, 12) \
  X(BA_MaxStressLocationX, 13) \
  X(BA_MaxStressLocationY, 14) \
  X(BA_MinStrainLocationX, 15) \
  X(BA_MinStrainLocationY, 16) \
  X(BA_MaxStrainLocationX, 17) \
  X(BA_MaxStrainLocationY, 18) \
  X(BA_ResultantantMoment, 19) \
  X(BA_ResultantMomentAngle, 20) \
  X(BA_NeutralAxisAngle, 21) \
  X(BA_COZZONE_RUPTUREMODULUSABOUTXP, 22) \
  X(BA_COZZONE_RUPTUREMODULUSABOUTYP, 23) \
  X(BA_COZZONE_RUPTUREMOMENTABOUTXP, 24) \
  X(BA_COZZONE_RUPTUREMOMENTABOUTYP, 25) \
  X(BA_COZZONE_SHEARCORRECTIONFACTOR, 26) \
  X(BA_COZZONE_Q, 27) \
  X(BA_COZZONE_MSBENDING, 28) \
  X(BA_COZZONE_MSSHEAR, 29)

#define LORIMANT_QHT_MATERIALPROPERTY(X) \
  X(QHT_NAME, 0) \
  X(QHT_FAMILY, 1) \
  X(QHT_FORM, 2) \
  X(QHT_TEMPER, 3) \
  X(QHT_SIZE, 4) \
  X(QHT_SPEC, 5) \
  X(QHT_UNS, 6) \
  X(QHT_UNITS, 7) \
  X(QHT_ISISOTROPIC, 8) \
  X(QHT_THICKNESS, 9) \
  X(QHT_DENSITY, 10) \
  X(QHT_RED, 11) \
  X(QHT_GREEN, 12) \
  X(QHT_BLUE, 13) \
  X(QHT_E, 14) \
  X(QHT_EC, 15) \
  X(QHT_G, 16) \
  X(QHT_NU, 17) \
  X(QHT_FTY_L, 18) \
  X(QHT_FTY_LT, 19) \
  X(QHT_FTU_L, 20) \
  X(QHT_FTU_LT, 21) \
  X(QHT_FCY_L, 22) \
  X(QHT_FCY_LT, 23) \
  X(QHT_FCU_L, 24) \
  X(QHT_FCU_LT, 25) \
  X(QHT_FSU_L, 26) \
  X(QHT_FSU_LT, 27) \
  X(QHT_RAMBERGOSGOOD_ALPHA_L_COMPRESSION, 28) \
  X(QHT_RAMBERGOSGOOD_ALPHA_LT_COMPRESSION, 29) \
  X(QHT_RAMBERGOSGOOD_ALPHA_L_TENSION, 30) \
  X(QHT_RAMBERGOSGOOD_ALPHA_LT_TENSION, 31) \
  X(QHT_RAMBERGOSGOOD_N_L_COMPRESSION_INITIAL_TO_YIELD, 32) \
  X(QHT_RAMBERGOSGOOD_N_LT_COMPRESSION_INITIAL_TO_YIELD, 33) \
  X(QHT_RAMBERGOSGOOD_N_L_TENSION_INITIAL_TO_YIELD, 34) \
  X(QHT_RAMBERGOSGOOD_N_LT_TENSION_INITIAL_TO_YIELD, 35) \
  X(QHT_RAMBERGOSGOOD_N_L_COMPRESSION_YIELD_TO_ULTIMATE, 36) \
  X(QHT_RAMBERGOSGOOD_N_LT_COMPRESSION_YIELD_TO_ULTIMATE, 37) \
  X(QHT_RAMBERGOSGOOD_N_L_TENSION_YIELD_TO_ULTIMATE, 38) \
  X(QHT_RAMBERGOSGOOD_N_LT_TENSION_YIELD_TO_ULTIMATE, 39) \
  X(QHT_FBRU_15, 40) \
  X(QHT_FBRU_20, 41) \
  X(QHT_FBRY_15, 42) \
  X(QHT_FBRY_20, 43) \
  X(QHT_MAXCOMPRESSIONSTRAIN, 44) \
  X(QHT_MAXTENSILESTRAIN, 45) \
  X(QHT_LOCKED, 46)

#define LORIMANT_SECTIONANALYSISVALUE(X) \
  X(SA_Area, 1) \
  X(SA_AreaCGx, 2) \
  X(SA_AreaCGy, 3) \
  X(SA_Area1stMomentOfInertiaAboutX, 4) \
  X(SA_Area1stMomentOfInertiaAboutY, 5) \
  X(SA_Area2ndMomentOfInertiaAboutXc, 6) \
  X(SA_Area2ndMomentOfInertiaAboutYc, 7) \
  X(SA_Area2ndMomentOfInertiaAboutXcYc, 8) \
  X(SA_AreaMaximum2ndMomentOfInertia, 9) \
  X(SA_AreaMinumum2ndMomentOfInertia, 10) \
  X(SA_AreaPrincipalAngle, 11) \
  X(SA_AreaBalanceInertiaAboutPrincipalMin, 12) \
  X(SA_AreaBalanceInertiaAboutPrincipalMax, 13) \
  X(SA_AreaRadiusGyrationAboutPrincipalMin, 14) \
  X(SA_AreaRadiusGyrationAboutPrincipalMax, 15) \
  X(SA_AreaRadiusGyrationAboutX, 16) \
  X(SA_AreaRadiusGyrationAboutY, 17) \
  X(SA_AreaPolarMomentOfInertia, 18) \
  X(SA_Area2ndMomentOfInertiaAboutXAxis, 19) \
  X(SA_Area2ndMomentOfInertiaAboutYAxis, 20) \
  X(SA_Area2ndMomentOfInertiaAboutXaxisYAxis, 21) \
  X(SA_AreaElasticSectionModulusX, 22) \
  X(SA_AreaElasticSectionModulusY, 23) \
  X(SA_AreaElasticSectionModulusXp, 24) \
  X(SA_AreaElasticSectionModulusYp, 25) \
  X(SA_AreaPlasticCentroidXc, 26) \
  X(SA_AreaPlasticCentroidYc, 27) \
  X(SA_AreaIPolar, 28) \
  X(SA_AreaPolarRadiusGyration, 29) \
  X(SA_PlasticCentroidalPointNeutralAxisX_PNAx, 30) \
  X(SA_PlasticCentroidalPointNeutralAxisY_PNAy, 31) \
  X(SA_PlasticPrincipalPointNeutralAxisX_PNAxp, 32) \
  X(SA_PlasticPrincipalPointNeutralAxisY_PNAyp, 33) \
  X(SA_PlasticShapeFactorAboutPlasticCentroidalX_Kx, 34) \
  X(SA_PlasticShapeFactorAboutPlasticCentroidalY_Ky, 35) \
  X(SA_PlasticShapeFactorAboutPlasticPrincipalX_Kxp, 36) \
  X(SA_PlasticShapeFactorAboutPlasticPrincipalY_Kyp, 37) \
  X(SA_PlasticSectionModulusAboutPlasticCentroidalX_Zx, 38) \
  X(SA_PlasticSectionModulusAboutPlasticCentroidalY_Zy, 39) \
  X(SA_PlasticMomentAboutPlasticCentroidalX_MxCapacity, 40) \
  X(SA_PlasticMomentAboutPlasticCentroidalY_MyCapacity, 41) \
  X(SA_PlasticYieldMomentAboutPlasticCentroidalX_MxYield, 42) \
  X(SA_PlasticYieldMomentAboutPlasticCentroidalY_MyYield, 43) \
  X(SA_PlasticSectionModulusAboutPlasticPrincipalX_Zxp, 44) \
  X(SA_PlasticSectionModulusAboutPlasticPrincipalY_Zyp, 45) \
  X(SA_PlasticMomentAboutPlasticPrincipalX_MxpCapacity, 46) \
  X(SA_PlasticMomentAboutPlasticPrincipalY_MypCapacity, 47) \
  X(SA_PlasticYieldMomentAboutPlasticPrincipalX_MxpYield, 48) \
  X(SA_PlasticYieldMomentAboutPlasticPrincipalY_MypYield, 49) \
  X(SA_ElasticArea, 50) \
  X(SA_ElasticCGx, 51) \
  X(SA_ElasticCGy, 52) \
  X(SA_ElasticPrincipalAngle, 53) \
  X(SA_Elastic2ndMomentOfInertiaAboutCentroidalX_EIx, 54) \
  X(SA_Elastic2ndMomentOfInertiaAboutCentroidalY_EIy, 55) \
  X(SA_ElasticMinimum2ndMomentOfInertia_EImin, 56) \
  X(SA_ElasticMaximum2ndMomentOfInertia_EImax, 57) \
  X(SA_PlasticMomentAboutNeutralAxis_Mna, 58) \
  X(SA_PlasticResultantMoment_Mr, 59) \
  X(SA_PlasticNeutralAxisAngle_PNAAngle, 60) \
  X(SA_PlasticResultantMomentAngle_MrAngle, 61) \
  X(SA_PlasticMomentAboutCentroidalX_MxResult, 62) \
  X(SA_PlasticMomentAboutCentroidalY_MyResult, 63) \
  X(SA_PlasticCentroidalPlasticHingeX, 64) \
  X(SA_PlasticCentroidalPlasticHingeY, 65) \
  X(SA_PlasticPrincipalPlasticHingeX, 66) \
  X(SA_PlasticPrincipalPlasticHingeY, 67) \
  X(SA_ElasticProductOfInertiaAboutCentroidalAxes_EIxy, 68) \
  X(SA_PlasticMaximumSectionModulus_Zmax, 69) \
  X(SA_PlasticMinimumSectionModulus_Zmin, 70) \
  X(SA_PlasticMinimumShapeFactor_Kmin, 71) \
  X(SA_PlasticMaximumShapeFactor_Kmax, 72)

#define LORIMANT_ENUMERATOR(name, value) name = value,

enum QHT_ELEMENTTYPE { LORIMANT_QHT_ELEMENTTYPE(LORIMANT_ENUMERATOR) };
enum QHT_RESULT { LORIMANT_QHT_RESULT(LORIMANT_ENUMERATOR) };
enum QHT_EXTREME_RESULT { LORIMANT_QHT_EXTREME_RESULT(LORIMANT_ENUMERATOR) };
enum QHT_UNITSYSTEM { LORIMANT_QHT_UNITSYSTEM(LORIMANT_ENUMERATOR) };
enum QHT_BENDINGANALYSIS { LORIMANT_QHT_BENDINGANALYSIS(LORIMANT_ENUMERATOR) };
enum QHT_MATERIALPROPERTY { LORIMANT_QHT_MATERIALPROPERTY(LORIMANT_ENUMERATOR) };
enum tagSectionAnalysisValue { LORIMANT_SECTIONANALYSISVALUE(LORIMANT_ENUMERATOR) };

#undef LORIMANT_ENUMERATOR

// The value of the type-library constant called name (ignoring case, like
// method names) in *value;
// false (and *value untouched) when no enumeration has that name.
bool TypeLibraryConstant(const CString& name, LONG* value);
