// The material definition dialog's checks and its storing: G and nu, the
// order of the allowables, OK, Enter and Cancel, and the database add or
// edit with its journal line.
#include <cmath>
#include <iterator>

#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "lorimant/analyses/CMatlDlgLogic.h"
#include "lorimant/automation/MaterialRecord.h"
#include "platform/core/Hooks.h"
#include "platform/core/Settings.h"
#include "platform/sqldb/CSQLDatabase.h"

namespace {

using Dlg = CMatlDlgLogic;

// A yield allowable must not exceed its ultimate.
struct OrderCheck {
    double Dlg::*yield;
    double Dlg::*ultimate;
    const wchar_t* refusal;
};
constexpr OrderCheck kOrderChecks[] = {
    {&Dlg::m_Fcy_l, &Dlg::m_Fcu_l, L"Unable to create material since: Fcy_l > Fcu_l"},
    {&Dlg::m_Fty_l, &Dlg::m_Ftu_l, L"Unable to create material since: Fty_l > Ftu_l"},
    {&Dlg::m_Fcy_lt, &Dlg::m_Fcu_lt, L"Unable to create material since: Fcy_lt > Fcu_lt"},
    {&Dlg::m_Fty_lt, &Dlg::m_Ftu_lt, L"Unable to create material since: Fty_lt > Ftu_lt"},
};

// The longest user name the database's controls record takes.
constexpr int kUserNameChars = static_cast<int>(CSQLDatabase::NameCapacity) - 1;

void showDatabaseError(const CString& text)
{
    AfxMessageBox(text, L"Database Error", MB_OK | MB_ICONSTOP);
}

} // namespace

bool CMatlDlgLogic::handleNuG()
{
    if (!Exchange(TRUE))
        return false;
    if (m_G < 0.0) {
        // Without a Poisson's ratio there is nothing to complete G from.
        if (IsDefined(m_nu)) {
            m_G = m_E / (2.0 * (1.0 + m_nu));
            if (!(m_G >= 0.0) || !std::isfinite(m_G)) {
                AfxMessageBox(L"Value for Poisson's ratio is invalid");
                m_G = -1.0;
            }
        }
    } else if (m_nu < 0.0) {
        m_nu = m_E / (2.0 * m_G) - 1.0;
        if (!(m_nu >= 0.0 && m_nu <= 1.0)) {
            CString nu;
            nu.Format(L"%f", m_nu);
            CString message;
            message.Format(L"Value of nu %s, is invalid", static_cast<const wchar_t*>(nu));
            AfxMessageBox(message);
            m_nu = -1.0;
        }
    } else if (std::fabs(m_E / (2.0 * m_G) - 1.0 - m_nu) > 1e-4) {
        AfxMessageBox(L"Warning: Poisson's ratio does not equal E/2G -1", MB_OK | MB_ICONWARNING);
    }
    Exchange(FALSE);
    return true;
}

bool CMatlDlgLogic::verify()
{
    bool failed = false;
    for (const OrderCheck& check : kOrderChecks) {
        const double yield = this->*check.yield;
        const double ultimate = this->*check.ultimate;
        // An allowable that is not given cannot be out of order.
        if (IsDefined(yield) && IsDefined(ultimate) && yield > ultimate) {
            AfxMessageBox(check.refusal);
            failed = true;
        }
    }
    return failed;
}

void CMatlDlgLogic::OnClickedOK()
{
    if (!Exchange(TRUE) || verify())
        return;
    if (m_mode != kView) {
        // An empty G or nu box now leaves its value undefined.
        m_G = kUndefined;
        m_nu = kUndefined;
        if (!Exchange(TRUE))
            return;
        if (m_name.IsEmpty() || (!IsDefined(m_nu) && !IsDefined(m_G)) || !IsDefined(m_E)) {
            AfxMessageBox(L"Material name, Young's Modulus and Poisson's Ratio must be defined at a minimum",
                          L"Metal Creation Failed", MB_OK | MB_ICONSTOP);
            return;
        }
        if (!handleNuG() || !Exchange(TRUE)) {
            AfxMessageBox(L"Not all values entered", L"Material Construction Fault", MB_OK);
            return;
        }
        if (m_nu * m_G <= 0.0) {
            AfxMessageBox(L"Invalid material properties");
            return;
        }
        if (m_G < 0.0)
            m_G = m_E / (2.0 * (m_nu + 1.0));
        if (m_nu < 0.0) {
            AfxMessageBox(L"Invalid E/G ratio, causes Poisson's ratio to be negative");
            return;
        }
    }
    bool stored = true;
    if (m_mode == kEdit)
        stored = EditMetal();
    else if (m_mode == kAdd)
        stored = AddMetal();
    if (stored)
        endWith(IDOK);
}

void CMatlDlgLogic::OnOK()
{
    if (m_mode == kCheck)
        handleNuG();
    else
        AfxMessageBox(L"This section is locked (uneditable) in the materials database");
}

void CMatlDlgLogic::OnCancel()
{
    endWith(IDCANCEL);
}

bool CMatlDlgLogic::AddMetal()
{
    return storeMetal(false);
}

bool CMatlDlgLogic::EditMetal()
{
    if (!storeMetal(true))
        return false;
    setUnits(m_units);
    m_controls.SetCheck(IDC_ISOTROPIC, m_isotropic ? BST_CHECKED : BST_UNCHECKED);
    m_controls.SetCheck(IDC_LOCK, m_locked ? BST_CHECKED : BST_UNCHECKED);
    return true;
}

bool CMatlDlgLogic::storeMetal(bool replace)
{
    const CString user = GetLoginName().Left(kUserNameChars);
    const bool isotropic = m_controls.GetCheck(IDC_ISOTROPIC) == BST_CHECKED;
    const bool locked = m_controls.GetCheck(IDC_LOCK) == BST_CHECKED;

    MaterialRecord record;
    const std::array<CString*, 8> texts = record.texts();
    const CString* const mine[] = {&m_name, &m_family, &m_form, &m_temper, &m_size, &m_spec, &m_units, &m_uns};
    for (std::size_t i = 0; i < texts.size(); ++i)
        *texts[i] = *mine[i];
    record.metal.isotropic = isotropic;
    const auto values = record.values();
    const auto own = recordValues();
    for (std::size_t i = 0; i < own.size(); ++i)
        *values[i] = *own[i];
    // The metal is stored with the colour it shows, which the colour
    // chooser may have changed.
    for (std::size_t i = 0; i < 3; ++i)
        record.rgb[i] = m_colour[i];

    try {
        if (!m_pDB)
            m_pDB = std::make_unique<CSQLDatabase>(m_databasePath.ToStdWString());
        m_pDB->connect();
        if (!record.write(*m_pDB, replace)) {
            CString message;
            message.Format(replace ? L"Material %s does not exist in the database."
                                   : L"Material %s already exists in the database.",
                           static_cast<const wchar_t*>(m_name));
            showDatabaseError(message);
            return false;
        }
    } catch (const sql_exception& e) {
        showDatabaseError(CString::FromUtf8(e.what()));
        return false;
    }
    // The metal is stored: the journal says so, so that a replay stores it too.
    gLogMsg = record.journalLine(replace ? L"xscn.EditMaterial" : L"xscn.AddMaterialDef");
    if (m_pLog != nullptr)
        m_pLog->logIt();
    m_isotropic = isotropic;
    m_locked = locked;
    try {
        m_pDB->UpdateControls(m_name.ToStdWString(), user.ToStdWString(), locked);
    } catch (const sql_exception& e) {
        // The metal itself is stored; only who changed it and its lock are not.
        showDatabaseError(CString::FromUtf8(e.what()));
    }
    return true;
}
