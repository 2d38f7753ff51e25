#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"
#include "platform/sqldb/CDBException.h"
#include "platform/sqldb/CDatabase.h"
#include "platform/sqldb/CFieldExchange.h"

#include <memory>

// A set of records over one table (or one query) of a data source. A
// derived class binds its members to columns in DoFieldExchange, sets
// m_nFields to their number, and names its table in GetDefaultSQL (for
// example "[tblIsotropics]", which becomes a SELECT of the bound columns) and
// its data source in GetDefaultConnect.
//
// Open reads the records once; the set then moves over that reading, sees the
// changes made through it (edited records, added ones at the end, deleted ones
// gone) and no others until it is opened again. A NULL column reads as 0,
// FALSE or an empty text. Failures throw CDBException.
class CRecordset : public CObject {
    DECLARE_DYNAMIC(CRecordset)
public:
    // Kinds of record set: accepted by Open and all served alike.
    enum OpenType : UINT { dynaset = 0, snapshot = 1, dynamic = 2, forwardOnly = 3 };
    static constexpr UINT AFX_DB_USE_DEFAULT_TYPE = 0xFFFFFFFFu;
    // Options of Open: readOnly refuses changes; others have no effect.
    enum OpenOptions : DWORD { none = 0, readOnly = 0x0004, appendOnly = 0x0008 };

    // A set on the connection (null: Open connects through GetDefaultConnect
    // and closes that connection with the set).
    explicit CRecordset(CDatabase* pDatabase = nullptr);
    // Closes the set.
    ~CRecordset() override;
    CRecordset(const CRecordset&) = delete;
    CRecordset& operator=(const CRecordset&) = delete;

    // The connect text used when the set has no open connection ("ODBC;").
    virtual CString GetDefaultConnect();
    // The table name (bracketed or not) or a SELECT text of the set (empty).
    virtual CString GetDefaultSQL();
    // Binds the members to the columns (nothing bound here).
    virtual void DoFieldExchange(CFieldExchange* pFX);

    // Reads the records of lpszSQL (null: GetDefaultSQL) and moves to the
    // first; a SELECT text gives a read-only set. TRUE; throws on failure.
    virtual BOOL Open(UINT nOpenType = AFX_DB_USE_DEFAULT_TYPE, const wchar_t* lpszSQL = nullptr,
        DWORD dwOptions = none);
    // Closes the set, dropping any pending AddNew or Edit; harmless when closed.
    virtual void Close();
    // TRUE while open.
    BOOL IsOpen() const;
    // TRUE when there is no current record: past the last, or no records.
    BOOL IsEOF() const;

    // Moves to the first record; throws when the set has none.
    void MoveFirst();
    // Moves to the next record (or past the last); throws when already past it.
    void MoveNext();

    // Starts a new record: the bound members are cleared (empty, 0, FALSE)
    // and Update inserts them.
    virtual void AddNew();
    // Starts changing the current record; Update writes the bound members.
    virtual void Edit();
    // Writes the pending AddNew or Edit; TRUE when a record was written.
    // After an AddNew the members show the current record again.
    virtual BOOL Update();
    // Deletes the current record; move on afterwards.
    virtual void Delete();

    UINT m_nFields = 0;
    UINT m_nParams = 0;
    CDatabase* m_pDatabase;

private:
    struct Cursor;
    enum class Pending { none, add, edit };

    void requireOpen() const;
    void requireUpdatable() const;
    void requireCurrent() const;
    void connect();
    void readRecords(const CString& sql);
    void loadFields();
    void moveTo(std::size_t from);
    CString columnList() const;

    std::unique_ptr<CDatabase> m_ownDatabase;
    std::unique_ptr<Cursor> m_cursor;
    Pending m_pending = Pending::none;
};
