// The isotropic-materials record set: column binding, the conversion of each
// fetched row into the model's unit system, and the record count.
#include "analysis/model/CIsotropicsSet.h"

#include "analysis/model/CModel.h"
#include "analysis/model/Globals.h"
#include "analysis/model/Units.h"
#include "platform/core/Exceptions.h"
#include "platform/sqldb/CFieldExchange.h"

namespace {

constexpr UINT kFieldCount = 18;

// One fetched value converted from the table's unit to the unit system's.
struct ColumnConversion {
  double CIsotropicsSet::*member;
  Unit from;
  Unit to;
};

// US inch: moduli GPa to psi, allowables MPa to psi, density to lb/in^3.
constexpr ColumnConversion kToUSCS[] = {
    {&CIsotropicsSet::m_E, GPa, psi},           {&CIsotropicsSet::m_G, GPa, psi},
    {&CIsotropicsSet::m_Density, gPerCm3, lbPerIn3},
    {&CIsotropicsSet::m_Fsy, MPa, psi},         {&CIsotropicsSet::m_Fsu, MPa, psi},
    {&CIsotropicsSet::m_Fcy, MPa, psi},         {&CIsotropicsSet::m_Fty, MPa, psi},
    {&CIsotropicsSet::m_Fcu, MPa, psi},         {&CIsotropicsSet::m_Ftu, MPa, psi},
};

// SI: moduli GPa to Pa, allowables MPa to Pa; the density stays in g/cm^3.
constexpr ColumnConversion kToSI[] = {
    {&CIsotropicsSet::m_E, GPa, Pa},   {&CIsotropicsSet::m_G, GPa, Pa},
    {&CIsotropicsSet::m_Fcy, MPa, Pa}, {&CIsotropicsSet::m_Fty, MPa, Pa},
    {&CIsotropicsSet::m_Fsy, MPa, Pa}, {&CIsotropicsSet::m_Fsu, MPa, Pa},
    {&CIsotropicsSet::m_Fcu, MPa, Pa}, {&CIsotropicsSet::m_Ftu, MPa, Pa},
};

}  // namespace

CIsotropicsSet::CIsotropicsSet(CDatabase* db) : CRecordset(db) { m_nFields = kFieldCount; }

CIsotropicsSet::~CIsotropicsSet() { Close(); }

CString CIsotropicsSet::GetDefaultConnect() {
  CString connect;
  const CString dataSource = gModel ? gModel->unitLabels[kDatabaseNameLabel] : CString();
  connect.Format(L"ODBC;DSN=%s", dataSource.GetString());
  return connect;
}

CString CIsotropicsSet::GetDefaultSQL() { return L"[tblIsotropics]"; }

void CIsotropicsSet::DoFieldExchange(CFieldExchange* pFX) {
  pFX->SetFieldType(CFieldExchange::outputColumn);
  RFX_Text(pFX, L"[Name]", m_Name);
  RFX_Text(pFX, L"[Alloy]", m_Alloy);
  RFX_Bool(pFX, L"[Editable]", m_Editable);
  RFX_Double(pFX, L"[E]", m_E);
  RFX_Double(pFX, L"[G]", m_G);
  RFX_Double(pFX, L"[v]", m_v);
  RFX_Double(pFX, L"[Ftu]", m_Ftu);
  RFX_Double(pFX, L"[Fty]", m_Fty);
  RFX_Double(pFX, L"[Fcy]", m_Fcy);
  RFX_Double(pFX, L"[Fcu]", m_Fcu);
  RFX_Double(pFX, L"[Fsy]", m_Fsy);
  RFX_Double(pFX, L"[Fsu]", m_Fsu);
  RFX_Double(pFX, L"[Ftg]", m_Ftg);
  RFX_Double(pFX, L"[t]", m_t);
  RFX_Double(pFX, L"[Density]", m_Density);
  RFX_Double(pFX, L"[Red]", m_Red);
  RFX_Double(pFX, L"[Green]", m_Green);
  RFX_Double(pFX, L"[Blue]", m_Blue);
  if (pFX->m_nOperation == CFieldExchange::Fixup) convertFetched();
}

void CIsotropicsSet::convertFetched() {
  // unitChange leaves the no-value marker -99999 as it is.
  auto apply = [this](const auto& table) {
    for (const ColumnConversion& c : table) unitChange(&(this->*c.member), c.from, c.to);
  };
  if (gUnitSystem == USCS)
    apply(kToUSCS);
  else if (gUnitSystem == SI)
    apply(kToSI);
}

int CIsotropicsSet::count() {
  try {
    MoveFirst();
  } catch (const CException&) {
    return 0;
  }
  int records = 0;
  while (!IsEOF()) {
    ++records;
    MoveNext();
  }
  return records;
}
