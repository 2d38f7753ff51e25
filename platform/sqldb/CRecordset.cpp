#include "platform/sqldb/CRecordset.h"

#include "platform/sqldb/SqliteSupport.h"
#include "platform/sqldb/sql_exception.h"

#include <sqlite3.h>

#include <cwctype>
#include <optional>
#include <utility>
#include <vector>

IMPLEMENT_DYNAMIC(CRecordset, CObject)

namespace {

// Runs f, turning SQLite failures into the record set's exception.
template <class F>
auto guarded(F&& f)
{
    try {
        return f();
    } catch (const sql_exception& e) {
        AfxThrowDBException(CString::FromUtf8(e.what()));
    }
}

bool isSelectText(const CString& sql)
{
    return sql.Left(6).CompareNoCase(L"SELECT") == 0 &&
        (sql.GetLength() == 6 || std::iswspace(static_cast<wint_t>(sql[6])));
}

}  // namespace

// One record as read: its row id (0 for a query set) and copies of its
// column values, which stay valid after the statement is gone.
struct Record {
    long long rowid = 0;
    std::vector<sqlite3_value*> values;
    bool deleted = false;

    Record() = default;
    Record(Record&& other) noexcept
        : rowid(other.rowid), values(std::move(other.values)), deleted(other.deleted)
    {
    }
    Record& operator=(Record&& other) noexcept
    {
        std::swap(rowid, other.rowid);
        std::swap(values, other.values);
        std::swap(deleted, other.deleted);
        return *this;
    }
    ~Record() { release(); }

    void release()
    {
        for (sqlite3_value* value : values) {
            sqlite3_value_free(value);
        }
        values.clear();
    }
};

struct CRecordset::Cursor {
    CString table;  // empty for a set over a SELECT text
    std::vector<CString> columns;
    std::vector<Record> records;
    std::size_t position = 0;
    bool readOnly = false;

    // Reads the current row of statement, whose bound columns start at first.
    Record readRow(sqlite3_stmt* statement, int first) const
    {
        Record record;
        record.rowid = first > 0 ? sqlite3_column_int64(statement, 0) : 0;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            sqlite3_value* value = sqlite3_value_dup(sqlite3_column_value(statement, first + static_cast<int>(i)));
            if (!value) {
                throw std::bad_alloc();
            }
            record.values.push_back(value);
        }
        return record;
    }

    // The stored record of the table with that row id, if there is one.
    std::optional<Record> fetch(sqlite3* db, long long rowid) const
    {
        CString sql = L"SELECT rowid";
        for (const CString& column : columns) {
            sql += L", " + column;
        }
        sql += L" FROM " + table + L" WHERE rowid = ?1";
        sqldb::Statement statement(db, sql.ToUtf8());
        statement.bindInt(1, rowid);
        if (!statement.step()) {
            return std::nullopt;
        }
        return readRow(statement.get(), 1);
    }
};

CRecordset::CRecordset(CDatabase* pDatabase) : m_pDatabase(pDatabase) {}

CRecordset::~CRecordset()
{
    Close();
}

CString CRecordset::GetDefaultConnect()
{
    return L"ODBC;";
}

CString CRecordset::GetDefaultSQL()
{
    return CString();
}

void CRecordset::DoFieldExchange(CFieldExchange*) {}

BOOL CRecordset::IsOpen() const
{
    return m_cursor != nullptr;
}

BOOL CRecordset::IsEOF() const
{
    return !m_cursor || m_cursor->position >= m_cursor->records.size();
}

void CRecordset::requireOpen() const
{
    if (!m_cursor) {
        AfxThrowDBException(L"The record set is not open.");
    }
}

void CRecordset::requireUpdatable() const
{
    requireOpen();
    if (m_cursor->readOnly || m_cursor->table.IsEmpty()) {
        AfxThrowDBException(L"The record set is read-only.");
    }
    // The records stay readable after the connection is closed; changing
    // them needs it.
    if (!m_pDatabase || !m_pDatabase->IsOpen()) {
        AfxThrowDBException(L"The database connection is closed.");
    }
}

void CRecordset::requireCurrent() const
{
    if (IsEOF() || m_cursor->records[m_cursor->position].deleted) {
        AfxThrowDBException(L"No current record.");
    }
}

void CRecordset::connect()
{
    if (!m_pDatabase) {
        m_ownDatabase = std::make_unique<CDatabase>();
        m_pDatabase = m_ownDatabase.get();
    }
    if (m_pDatabase->IsOpen()) {
        return;
    }
    try {
        m_pDatabase->OpenEx(GetDefaultConnect(), CDatabase::noOdbcDialog);
    } catch (...) {
        if (m_ownDatabase) {
            m_ownDatabase.reset();
            m_pDatabase = nullptr;
        }
        throw;
    }
}

CString CRecordset::columnList() const
{
    CString list;
    for (const CString& column : m_cursor->columns) {
        list += list.IsEmpty() ? column : L", " + column;
    }
    return list;
}

BOOL CRecordset::Open(UINT, const wchar_t* lpszSQL, DWORD dwOptions)
{
    Close();
    connect();
    CFieldExchange fx(CFieldExchange::Name);
    DoFieldExchange(&fx);
    if (fx.m_columns.empty() || fx.m_columns.size() != m_nFields) {
        CString message;
        message.Format(L"The record set binds %d columns and declares %u fields.",
            static_cast<int>(fx.m_columns.size()), m_nFields);
        AfxThrowDBException(message);
    }
    auto cursor = std::make_unique<Cursor>();
    cursor->columns = std::move(fx.m_columns);
    cursor->readOnly = (dwOptions & readOnly) != 0;
    m_cursor = std::move(cursor);
    try {
        readRecords(lpszSQL ? CString(lpszSQL) : GetDefaultSQL());
        moveTo(0);
    } catch (...) {
        Close();
        throw;
    }
    return TRUE;
}

void CRecordset::readRecords(const CString& sql)
{
    CString text(sql);
    text.Trim();
    const bool query = isSelectText(text);
    if (!query) {
        m_cursor->table = text;
        text = L"SELECT rowid, " + columnList() + L" FROM " + m_cursor->table;
    }
    const int first = query ? 0 : 1;
    guarded([&] {
        sqldb::Statement statement(m_pDatabase->handle(), text.ToUtf8());
        if (!statement || sqlite3_column_count(statement.get()) < first + static_cast<int>(m_cursor->columns.size())) {
            AfxThrowDBException(L"The query gives fewer columns than the record set binds: " + text);
        }
        while (statement.step()) {
            m_cursor->records.push_back(m_cursor->readRow(statement.get(), first));
        }
    });
}

void CRecordset::loadFields()
{
    CFieldExchange fx(CFieldExchange::Fixup);
    fx.m_row = &m_cursor->records[m_cursor->position].values;
    DoFieldExchange(&fx);
}

void CRecordset::moveTo(std::size_t from)
{
    std::size_t& position = m_cursor->position;
    for (position = from; position < m_cursor->records.size() && m_cursor->records[position].deleted; ++position) {
    }
    if (!IsEOF()) {
        loadFields();
    }
}

void CRecordset::MoveFirst()
{
    requireOpen();
    m_pending = Pending::none;
    moveTo(0);
    if (IsEOF()) {
        AfxThrowDBException(L"The record set has no records.");
    }
}

void CRecordset::MoveNext()
{
    requireOpen();
    if (IsEOF()) {
        AfxThrowDBException(L"Attempt to move past the end of the record set.");
    }
    m_pending = Pending::none;
    moveTo(m_cursor->position + 1);
}

void CRecordset::AddNew()
{
    requireUpdatable();
    CFieldExchange fx(CFieldExchange::MarkForAddNew);
    DoFieldExchange(&fx);
    m_pending = Pending::add;
}

void CRecordset::Edit()
{
    requireUpdatable();
    requireCurrent();
    m_pending = Pending::edit;
}

BOOL CRecordset::Update()
{
    requireUpdatable();
    const Pending pending = std::exchange(m_pending, Pending::none);
    if (pending == Pending::none) {
        AfxThrowDBException(L"Update without AddNew or Edit.");
    }
    const std::size_t count = m_cursor->columns.size();
    CString sql;
    if (pending == Pending::add) {
        CString parameters;
        for (std::size_t i = 1; i <= count; ++i) {
            parameters.AppendFormat(i > 1 ? L", ?%d" : L"?%d", static_cast<int>(i));
        }
        sql = L"INSERT INTO " + m_cursor->table + L" (" + columnList() + L") VALUES (" + parameters + L")";
    } else {
        CString assignments;
        for (std::size_t i = 0; i < count; ++i) {
            assignments.AppendFormat(i > 0 ? L", %s = ?%d" : L"%s = ?%d", m_cursor->columns[i].GetString(),
                static_cast<int>(i + 1));
        }
        sql.Format(L"UPDATE %s SET %s WHERE rowid = ?%d", m_cursor->table.GetString(), assignments.GetString(),
            static_cast<int>(count + 1));
    }
    if (pending == Pending::edit) {
        requireCurrent();
    }
    const long long rowid = pending == Pending::edit ? m_cursor->records[m_cursor->position].rowid : 0;
    sqlite3* db = m_pDatabase->handle();
    const bool written = guarded([&] {
        sqldb::Statement statement(db, sql.ToUtf8());
        CFieldExchange fx(CFieldExchange::Value);
        fx.m_statement = &statement;
        DoFieldExchange(&fx);
        if (pending == Pending::edit) {
            statement.bindInt(static_cast<int>(count + 1), rowid);
        }
        statement.step();
        return sqlite3_changes(db) > 0;
    });
    std::optional<Record> stored =
        guarded([&] { return m_cursor->fetch(db, pending == Pending::add ? sqlite3_last_insert_rowid(db) : rowid); });
    if (pending == Pending::edit) {
        // The record as stored now, so that moving back to it shows the change.
        if (stored) {
            m_cursor->records[m_cursor->position] = std::move(*stored);
        }
    } else if (stored) {
        // An added record joins the end; the current record stays current.
        const bool atEnd = IsEOF();
        m_cursor->records.push_back(std::move(*stored));
        if (atEnd) {
            m_cursor->position = m_cursor->records.size();
        }
    }
    if (!IsEOF()) {
        loadFields();
    }
    return written ? TRUE : FALSE;
}

void CRecordset::Delete()
{
    requireUpdatable();
    requireCurrent();
    m_pending = Pending::none;
    Record& record = m_cursor->records[m_cursor->position];
    sqlite3* db = m_pDatabase->handle();
    const bool deleted = guarded([&] {
        sqldb::Statement statement(db, (L"DELETE FROM " + m_cursor->table + L" WHERE rowid = ?1").ToUtf8());
        statement.bindInt(1, record.rowid);
        statement.step();
        return sqlite3_changes(db) > 0;
    });
    if (!deleted) {
        AfxThrowDBException(L"The record to delete was not found.");
    }
    record.deleted = true;
    record.release();
}

void CRecordset::Close()
{
    m_pending = Pending::none;
    m_cursor.reset();
    if (m_ownDatabase) {
        m_ownDatabase.reset();
        m_pDatabase = nullptr;
    }
}
