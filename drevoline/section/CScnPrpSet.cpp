// The section-property record set: defaults, connection and column binding.
#include "drevoline/section/CScnPrpSet.h"

#include "analysis/model/CModel.h"
#include "analysis/model/Globals.h"
#include "platform/sqldb/CFieldExchange.h"

IMPLEMENT_DYNAMIC(CScnPrpSet, CRecordset)

namespace {
constexpr UINT kFieldCount = 66;
constexpr int kTextLength = 255;
}  // namespace

const CScnPrpSet::DoubleColumn CScnPrpSet::kDoubleColumns[63] = {
    {L"[Area]", &CScnPrpSet::m_Area}, {L"[MArea]", &CScnPrpSet::m_MArea}, {L"[EArea]", &CScnPrpSet::m_EArea},
    {L"[CGxA]", &CScnPrpSet::m_CGxA}, {L"[CGyA]", &CScnPrpSet::m_CGyA}, {L"[CGxM]", &CScnPrpSet::m_CGxM},
    {L"[CGyM]", &CScnPrpSet::m_CGyM}, {L"[CGxE]", &CScnPrpSet::m_CGxE}, {L"[CGyE]", &CScnPrpSet::m_CGyE},
    {L"[Pang]", &CScnPrpSet::m_Pang}, {L"[MPang]", &CScnPrpSet::m_MPang}, {L"[EPang]", &CScnPrpSet::m_EPang},
    {L"[CellCount]", &CScnPrpSet::m_CellCount}, {L"[Sx]", &CScnPrpSet::m_Sx}, {L"[Sy]", &CScnPrpSet::m_Sy},
    {L"[MSx]", &CScnPrpSet::m_MSx}, {L"[MSy]", &CScnPrpSet::m_MSy}, {L"[ESx]", &CScnPrpSet::m_ESx},
    {L"[ESy]", &CScnPrpSet::m_ESy}, {L"[ESxp]", &CScnPrpSet::m_ESxp}, {L"[ESyp]", &CScnPrpSet::m_ESyp},
    {L"[IxxCA]", &CScnPrpSet::m_IxxCA}, {L"[IxyCA]", &CScnPrpSet::m_IxyCA}, {L"[IyyCA]", &CScnPrpSet::m_IyyCA},
    {L"[IxxCM]", &CScnPrpSet::m_IxxCM}, {L"[IxyCM]", &CScnPrpSet::m_IxyCM}, {L"[IyyCM]", &CScnPrpSet::m_IyyCM},
    {L"[IxxCE]", &CScnPrpSet::m_IxxCE}, {L"[IxyCE]", &CScnPrpSet::m_IxyCE}, {L"[IyyCE]", &CScnPrpSet::m_IyyCE},
    {L"[IxxGA]", &CScnPrpSet::m_IxxGA}, {L"[IxyGA]", &CScnPrpSet::m_IxyGA}, {L"[IyyGA]", &CScnPrpSet::m_IyyGA},
    {L"[IxxGM]", &CScnPrpSet::m_IxxGM}, {L"[IxyGM]", &CScnPrpSet::m_IxyGM}, {L"[IyyGM]", &CScnPrpSet::m_IyyGM},
    {L"[IxxGE]", &CScnPrpSet::m_IxxGE}, {L"[IxyGE]", &CScnPrpSet::m_IxyGE}, {L"[IyyGE]", &CScnPrpSet::m_IyyGE},
    {L"[Dxx]", &CScnPrpSet::m_Dxx}, {L"[Dxy]", &CScnPrpSet::m_Dxy}, {L"[Dyy]", &CScnPrpSet::m_Dyy},
    {L"[Nxp]", &CScnPrpSet::m_Nxp}, {L"[Nyp]", &CScnPrpSet::m_Nyp}, {L"[ESCxJon]", &CScnPrpSet::m_ESCxJon},
    {L"[ESCyJon]", &CScnPrpSet::m_ESCyJon}, {L"[ESCxAlf]", &CScnPrpSet::m_ESCxAlf}, {L"[ESCyAlf]", &CScnPrpSet::m_ESCyAlf},
    {L"[JJon]", &CScnPrpSet::m_JJon}, {L"[GJJon]", &CScnPrpSet::m_GJJon}, {L"[JAlf]", &CScnPrpSet::m_JAlf},
    {L"[GJAlf]", &CScnPrpSet::m_GJAlf}, {L"[RpA]", &CScnPrpSet::m_RpA}, {L"[RxA]", &CScnPrpSet::m_RxA},
    {L"[RyA]", &CScnPrpSet::m_RyA}, {L"[RpM]", &CScnPrpSet::m_RpM}, {L"[RxM]", &CScnPrpSet::m_RxM},
    {L"[RyM]", &CScnPrpSet::m_RyM}, {L"[RpE]", &CScnPrpSet::m_RpE}, {L"[RxE]", &CScnPrpSet::m_RxE},
    {L"[RyE]", &CScnPrpSet::m_RyE}, {L"[WJon]", &CScnPrpSet::m_WJon}, {L"[WAlf]", &CScnPrpSet::m_WAlf},
};

CScnPrpSet::CScnPrpSet(CDatabase* pDatabase) : CRecordset(pDatabase), m_Description(L"No Description") {
  m_nFields = kFieldCount;
}

CScnPrpSet::~CScnPrpSet() { Close(); }

CString CScnPrpSet::GetDefaultConnect() {
  CString connect;
  const CString dataSource = gModel ? gModel->unitLabels[kDatabaseNameLabel] : CString();
  connect.Format(L"ODBC; DSN=%s", dataSource.GetString());
  return connect;
}

CString CScnPrpSet::GetDefaultSQL() { return L"[tblSectionProperties]"; }

void CScnPrpSet::DoFieldExchange(CFieldExchange* pFX) {
  pFX->SetFieldType(CFieldExchange::outputColumn);
  RFX_Text(pFX, L"[Name]", m_Name, kTextLength, SQL_VARCHAR, 0);
  RFX_Text(pFX, L"[Description]", m_Description, kTextLength, SQL_VARCHAR, 0);
  RFX_Text(pFX, L"[Units]", m_Units, kTextLength, SQL_VARCHAR, 0);
  for (const DoubleColumn& d : kDoubleColumns)
    RFX_Double(pFX, d.column, this->*d.member);
}
