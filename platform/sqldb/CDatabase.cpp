#include "platform/sqldb/CDatabase.h"

#include "platform/core/Settings.h"
#include "platform/sqldb/SqliteSupport.h"

#include <sqlite3.h>

IMPLEMENT_DYNAMIC(CDBException, CException)
IMPLEMENT_DYNAMIC(CDatabase, CObject)

CDBException::CDBException(int retCode, const CString& error) : m_nRetCode(retCode), m_strError(error) {}

CString CDBException::ErrorText() const
{
    return m_strError;
}

void AfxThrowDBException(const CString& error)
{
    throw CDBException(SQL_ERROR, error);
}

namespace {

// Where the data sources are described, as ODBC keeps them per user.
constexpr const wchar_t* kDataSourcesKey = L"Software\\ODBC\\ODBC.INI\\";

}  // namespace

CDatabase::~CDatabase()
{
    Close();
}

CString CDatabase::DataSourceName(const wchar_t* connect)
{
    CString text(connect);
    text.Trim();
    if (text.Left(5).CompareNoCase(L"ODBC;") == 0) {
        text = text.Mid(5);
    }
    int start = 0;
    for (CString part = text.Tokenize(L";", start); start >= 0; part = text.Tokenize(L";", start)) {
        const int equals = part.Find(L'=');
        if (equals < 0) {
            continue;
        }
        CString key = part.Left(equals);
        if (key.Trim().CompareNoCase(L"DSN") == 0) {
            CString value = part.Mid(equals + 1);
            return value.Trim();
        }
    }
    AfxThrowDBException(L"Data source name not found and no default driver specified: " + CString(connect));
}

CString CDatabase::DataSourceFile(const CString& dataSource)
{
    if (dataSource.IsEmpty() || dataSource.FindOneOf(L"/\\") >= 0) {
        AfxThrowDBException(L"Invalid data source name: " + dataSource);
    }
    HKEY key = nullptr;
    CString file;
    if (RegOpenKey(HKEY_CURRENT_USER, CString(kDataSourcesKey) + dataSource, &key) == ERROR_SUCCESS &&
        RegQueryString(key, L"Database", file) == ERROR_SUCCESS && !file.IsEmpty()) {
        return file;
    }
    return GetProfileFolder() + L"/" + dataSource + L".sqlite";
}

BOOL CDatabase::OpenEx(const wchar_t* connect, DWORD options)
{
    Close();
    const CString file = DataSourceFile(DataSourceName(connect));
    const int flags = (options & openReadOnly) ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(sqldb::plainFileName(file.ToUtf8()).c_str(), &db, flags, nullptr) == SQLITE_OK &&
        sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) == SQLITE_OK) {
        m_db = db;
        m_strConnect = connect;
        return TRUE;
    }
    const CString message = CString::FromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
    sqlite3_close_v2(db);
    AfxThrowDBException(message + L": " + file);
}

void CDatabase::Close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_strConnect.Empty();
}
