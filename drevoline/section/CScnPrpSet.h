// The section-property record set: one row of "[tblSectionProperties]"
// holds a section's name, description, unit system and 63 property values.
#pragma once

#include "platform/core/CString.h"
#include "platform/sqldb/CRecordset.h"

class CDatabase;
class CFieldExchange;

// Run-time class "CScnPrpSet" (not storable). No caller of the program opens
// it: it offers the table layout for storing computed section properties.
class CScnPrpSet : public CRecordset {
  DECLARE_DYNAMIC(CScnPrpSet)

 public:
  // A set on db (null: Open connects through GetDefaultConnect). Name and
  // Units empty, Description "No Description", every value 0, 66 fields.
  explicit CScnPrpSet(CDatabase* pDatabase = nullptr);
  // Closes the set.
  ~CScnPrpSet() override;

  // "ODBC; DSN=" followed by the data-source name of the current model
  // (its database-name label; empty without a current model).
  CString GetDefaultConnect() override;
  // "[tblSectionProperties]".
  CString GetDefaultSQL() override;
  // Binds the 66 columns in the table's order: three texts (at most 255
  // characters), then the doubles.
  void DoFieldExchange(CFieldExchange* pFX) override;

  CString m_Name;
  CString m_Description;
  CString m_Units;
  double m_Area = 0.0, m_MArea = 0.0, m_EArea = 0.0, m_CGxA = 0.0, m_CGyA = 0.0, m_CGxM = 0.0, m_CGyM = 0.0, m_CGxE = 0.0;
  double m_CGyE = 0.0, m_Pang = 0.0, m_MPang = 0.0, m_EPang = 0.0, m_CellCount = 0.0, m_Sx = 0.0, m_Sy = 0.0, m_MSx = 0.0;
  double m_MSy = 0.0, m_ESx = 0.0, m_ESy = 0.0, m_ESxp = 0.0, m_ESyp = 0.0, m_IxxCA = 0.0, m_IxyCA = 0.0, m_IyyCA = 0.0;
  double m_IxxCE = 0.0, m_IxyCE = 0.0, m_IyyCE = 0.0, m_IxxCM = 0.0, m_IxyCM = 0.0, m_IyyCM = 0.0, m_IxxGA = 0.0, m_IxyGA = 0.0;
  double m_IyyGA = 0.0, m_IxxGE = 0.0, m_IxyGE = 0.0, m_IyyGE = 0.0, m_IxxGM = 0.0, m_IxyGM = 0.0, m_IyyGM = 0.0, m_Dxx = 0.0;
  double m_Dxy = 0.0, m_Dyy = 0.0, m_Nxp = 0.0, m_Nyp = 0.0, m_ESCxJon = 0.0, m_ESCyJon = 0.0, m_ESCxAlf = 0.0, m_ESCyAlf = 0.0;
  double m_JJon = 0.0, m_GJJon = 0.0, m_JAlf = 0.0, m_GJAlf = 0.0, m_RpA = 0.0, m_RxA = 0.0, m_RyA = 0.0, m_RpM = 0.0;
  double m_RxM = 0.0, m_RyM = 0.0, m_RpE = 0.0, m_RxE = 0.0, m_RyE = 0.0, m_WJon = 0.0, m_WAlf = 0.0;

  // The double columns in binding order, each with its member (the
  // modulus- and mass-weighted triples are bound mass first).
  struct DoubleColumn {
    const wchar_t* column;
    double CScnPrpSet::*member;
  };
  static const DoubleColumn kDoubleColumns[63];
};
