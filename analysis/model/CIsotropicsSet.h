// The record set over the table of isotropic materials, each fetched row
// converted into the model's unit system.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"
#include "platform/sqldb/CRecordset.h"

class CDatabase;
class CFieldExchange;

// Rows of "[tblIsotropics]": moduli in GPa, allowables in MPa, density in
// g/cm^3 as stored; after each fetch they are converted by gUnitSystem (US
// inch: psi and lb/in^3; SI: Pa and density as stored). -99999 stays.
class CIsotropicsSet : public CRecordset {
 public:
  // A set on db; with null the set connects through GetDefaultConnect when
  // opened and closes that connection with itself.
  explicit CIsotropicsSet(CDatabase* db = nullptr);
  // Closes the set.
  ~CIsotropicsSet() override;

  // "ODBC;DSN=" followed by the data-source name kept by the current model
  // (its database-name label; empty without a current model).
  CString GetDefaultConnect() override;
  // "[tblIsotropics]".
  CString GetDefaultSQL() override;
  // Binds the 18 columns in table order; after a fetch converts the values.
  void DoFieldExchange(CFieldExchange* pFX) override;

  // The number of records: moves to the first (0 when that fails with a
  // framework exception) and steps to the end, counting the records passed.
  int count();

  CString m_Name;
  CString m_Alloy;
  BOOL m_Editable = TRUE;
  double m_E = -1.0;
  double m_G = -1.0;
  double m_v = -1.0;
  double m_Ftu = 0.0;
  double m_Fty = 0.0;
  double m_Fcy = 0.0;
  double m_Fcu = 0.0;
  double m_Fsy = 0.0;
  double m_Fsu = 0.0;
  double m_Ftg = 0.0;
  double m_t = -1.0;
  double m_Density = -1.0;
  double m_Red = 0.0;
  double m_Green = 1.0;
  double m_Blue = 0.0;

 private:
  // Converts the fetched values into the current unit system.
  void convertFetched();
};
