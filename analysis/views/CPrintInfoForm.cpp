// The rules of the print information dialog.
#include "analysis/views/CPrintInfoForm.h"

#include "platform/core/Settings.h"

void CPrintInfoForm::OnInit()
{
    m_info.m_titleLocation = CPrintInfoDlg::Top;
}

void CPrintInfoForm::DoDataExchange(CDataExchange* pDX)
{
    for (int i = 0; i < 7; ++i) {
        DDX_Text(pDX, kLabelIds[i], m_info.m_label[i]);
        DDX_Text(pDX, kValueIds[i], m_info.m_field[i]);
    }
    DDX_Text(pDX, IDC_COMPANY, m_info.m_company);
    DDX_Text(pDX, IDC_PREPARED_BY, m_info.m_preparedBy);
    DDX_Text(pDX, IDC_TITLE, m_info.m_title);
    DDX_Radio(pDX, IDC_BOTTOM, m_info.m_titleLocation);
    DDX_Check(pDX, IDC_CONSTRUCTION_INFO, m_info.m_constructionInfo);
    DDX_Check(pDX, IDC_MATERIALS, m_info.m_materials);
}

void CPrintInfoForm::WriteProfile() const
{
    CString key;
    for (int i = 0; i < 7; ++i) {
        key.Format(L"field%d", i);
        Settings::WriteProfileString(kSection, key, m_info.m_field[i]);
    }
    for (int i = 0; i < 7; ++i) {
        key.Format(L"label%d", i);
        Settings::WriteProfileString(kSection, key, m_info.m_label[i]);
    }
}
