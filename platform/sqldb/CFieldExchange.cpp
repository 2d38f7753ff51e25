#include "platform/sqldb/CFieldExchange.h"

#include "platform/sqldb/CDBException.h"
#include "platform/sqldb/SqliteSupport.h"

int CFieldExchange::nextField(const wchar_t* column)
{
    if (m_nFieldType == param) {
        AfxThrowDBException(L"Record set parameters are not supported: " + CString(column));
    }
    if (m_nOperation == Name) {
        m_columns.emplace_back(column);
    }
    return m_count++;
}

sqlite3_value* CFieldExchange::loadValue(int field) const
{
    return m_row->at(static_cast<std::size_t>(field));
}

void CFieldExchange::exchangeText(const wchar_t* column, CString& value, int maxLength)
{
    const int field = nextField(column);
    const auto tooLong = [&](const CString& text) {
        if (text.GetLength() > maxLength) {
            CString message;
            message.Format(L"The text of column %s is longer than %d characters", column, maxLength);
            AfxThrowDBException(message);
        }
    };
    switch (m_nOperation) {
    case Fixup: {
        CString text(sqldb::readText(loadValue(field)));
        tooLong(text);
        value = text;
        break;
    }
    case Value:
        tooLong(value);
        m_statement->bindText(field + 1, value.str());
        break;
    case MarkForAddNew:
        value.Empty();
        break;
    case Name:
        break;
    }
}

void CFieldExchange::exchangeBool(const wchar_t* column, BOOL& value)
{
    const int field = nextField(column);
    switch (m_nOperation) {
    case Fixup:
        value = sqldb::readDouble(loadValue(field)) != 0.0 ? TRUE : FALSE;
        break;
    case Value:
        m_statement->bindInt(field + 1, value ? 1 : 0);
        break;
    case MarkForAddNew:
        value = FALSE;
        break;
    case Name:
        break;
    }
}

void CFieldExchange::exchangeDouble(const wchar_t* column, double& value)
{
    const int field = nextField(column);
    switch (m_nOperation) {
    case Fixup:
        value = sqldb::readDouble(loadValue(field));
        break;
    case Value:
        m_statement->bindDouble(field + 1, value);
        break;
    case MarkForAddNew:
        value = 0.0;
        break;
    case Name:
        break;
    }
}

void RFX_Text(CFieldExchange* pFX, const wchar_t* szName, CString& value, int nMaxLength, int, short)
{
    pFX->exchangeText(szName, value, nMaxLength);
}

void RFX_Bool(CFieldExchange* pFX, const wchar_t* szName, BOOL& value)
{
    pFX->exchangeBool(szName, value);
}

void RFX_Double(CFieldExchange* pFX, const wchar_t* szName, double& value)
{
    pFX->exchangeDouble(szName, value);
}
