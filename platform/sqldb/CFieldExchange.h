#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <vector>

struct sqlite3_value;
class CRecordset;

namespace sqldb {
class Statement;
}

// SQL type code of a variable-length text column.
constexpr int SQL_VARCHAR = 12;

// One pass of record field exchange: a record set's DoFieldExchange calls an
// RFX_ function per bound column, in column order, and the pass (m_nOperation)
// lists the columns (Name), loads the members from a fetched record (Fixup:
// a set converts its fetched values when it sees this pass), stores them for
// writing (Value), or clears them for a new record (MarkForAddNew). Only
// output columns are supported.
class CFieldExchange {
public:
    enum FieldType : UINT { noFieldType = 0, outputColumn = 1, param = 2 };
    // What a pass does with each bound member.
    enum Operation : UINT { Name, Fixup, Value, MarkForAddNew };

    // A pass of the operation; the record set supplies its row or statement.
    explicit CFieldExchange(UINT operation) : m_nOperation(operation) {}

    // The kind of the fields that the following RFX_ calls bind.
    void SetFieldType(UINT fieldType) { m_nFieldType = fieldType; }

    // Exchanges a text member of at most maxLength characters; a longer text
    // (stored or to be stored) throws CDBException.
    void exchangeText(const wchar_t* column, CString& value, int maxLength);
    // Exchanges a Boolean member (stored as 0 or 1; any non-zero number reads TRUE).
    void exchangeBool(const wchar_t* column, BOOL& value);
    // Exchanges a double member.
    void exchangeDouble(const wchar_t* column, double& value);

    UINT m_nOperation;
    UINT m_nFieldType = noFieldType;

private:
    friend class CRecordset;

    // The position of the next field; throws for a parameter field.
    int nextField(const wchar_t* column);
    sqlite3_value* loadValue(int field) const;

    int m_count = 0;
    std::vector<CString> m_columns;                      // Name: the bound column names
    const std::vector<sqlite3_value*>* m_row = nullptr;  // Fixup: the record's values in column order
    sqldb::Statement* m_statement = nullptr;             // Value: bound from parameter 1 on
};

// Binds a text column (maximum length in characters; the column type and
// scale describe the column and do not change the exchange).
void RFX_Text(CFieldExchange* pFX, const wchar_t* szName, CString& value, int nMaxLength = 255,
    int nColumnType = SQL_VARCHAR, short nScale = 0);
// Binds a Boolean column.
void RFX_Bool(CFieldExchange* pFX, const wchar_t* szName, BOOL& value);
// Binds a double column; NULL reads as 0 and numbers stored as text are converted.
void RFX_Double(CFieldExchange* pFX, const wchar_t* szName, double& value);
