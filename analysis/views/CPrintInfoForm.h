// The rules of the print information dialog: which control shows which
// text of the print settings (CPrintInfoDlg) and what its OK writes to the
// profile. The window that binds these controls is in lorimant/ui.
#pragma once

#include "analysis/views/CPrintInfoDlg.h"
#include "platform/core/DataExchange.h"

class CPrintInfoForm {
public:
    enum {
        IDD = 1999,
        IDC_OK = 200,
        IDC_COMPANY = 243,
        IDC_PREPARED_BY = 680,
        IDC_TITLE = 684,
        IDC_BOTTOM = 186,
        IDC_TOP = 864,
        IDC_CONSTRUCTION_INFO = 292,
        IDC_MATERIALS = 683,
    };
    // Label and value controls of the seven title-block cells, by index.
    static constexpr int kLabelIds[7] = {460, 461, 462, 463, 464, 465, 466};
    static constexpr int kValueIds[7] = {359, 360, 361, 362, 363, 364, 365};
    // Profile section the cells are written under.
    static constexpr const wchar_t* kSection = L"Print Information";

    // Edits info, which must outlive the form.
    explicit CPrintInfoForm(CPrintInfoDlg& info) : m_info(info) {}

    // On opening: the title location becomes Top (1).
    void OnInit();
    // The texts, the title location (radio Bottom 0 / Top 1) and the checks.
    void DoDataExchange(CDataExchange* pDX);
    // Writes the seven values as "field0" to "field6", then the seven
    // labels as "label0" to "label6", under kSection; the other texts,
    // the checks and the title location stay in the settings only.
    void WriteProfile() const;

    CPrintInfoDlg& m_info;
};
