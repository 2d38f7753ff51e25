#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"
#include "platform/sqldb/CDBException.h"

struct sqlite3;

// A connection to a data source named in a connect text such as
// "ODBC;DSN=QuenholtDatabase". A data source is an SQLite file: the one named
// by the "Database" value of the settings key
// HKEY_CURRENT_USER\Software\ODBC\ODBC.INI\<name>, else "<name>.sqlite" in
// the user's profile folder. Failures throw CDBException.
class CDatabase : public CObject {
    DECLARE_DYNAMIC(CDatabase)
public:
    // Options of OpenEx.
    enum DbOpenOptions : DWORD {
        openExclusive = 0x0001,
        openReadOnly = 0x0002,
        useCursorLib = 0x0004,
        noOdbcDialog = 0x0008,
        forceOdbcDialog = 0x0010,
    };

    CDatabase() = default;
    // Closes the connection.
    ~CDatabase() override;
    CDatabase(const CDatabase&) = delete;
    CDatabase& operator=(const CDatabase&) = delete;

    // Connects to the data source of the connect text, an existing file
    // (never created here); read-only with openReadOnly, other options are
    // accepted and have no effect. TRUE on success; throws otherwise.
    BOOL OpenEx(const wchar_t* connect, DWORD options = 0);
    // Closes the connection; harmless when closed.
    void Close();
    // TRUE while connected.
    BOOL IsOpen() const { return m_db != nullptr; }
    // The connect text of the open connection.
    const CString& GetConnect() const { return m_strConnect; }

    // The data-source name of a connect text ("ODBC;DSN=x" or "ODBC; DSN=x"
    // give "x"); throws when the text names none.
    static CString DataSourceName(const wchar_t* connect);
    // The file of a data source (see the class comment); throws for a name
    // that is empty or holds a path separator.
    static CString DataSourceFile(const CString& dataSource);

    // The SQLite connection (null while closed), for the record sets.
    sqlite3* handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
    CString m_strConnect;
};
