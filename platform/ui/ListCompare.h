// How the editable list orders two cell texts of a sort column: as
// integers, as floating-point numbers, as integers-or-text, as text with or
// without case, or as dates written in the user's locale (the way the date
// editor writes them). No window system is needed.
#pragma once

#include "platform/core/CString.h"

// Sort types of a column; any other value compares case-sensitive text.
constexpr int LVEX_SORT_TEXT = 0;
constexpr int LVEX_SORT_INTEGER = 1;
constexpr int LVEX_SORT_DOUBLE = 2;
constexpr int LVEX_SORT_INTEGER_OR_TEXT = 4;
constexpr int LVEX_SORT_TEXT_NOCASE = 5;
constexpr int LVEX_SORT_INTEGER_OR_TEXT_NOCASE = 6;
constexpr int LVEX_SORT_DATE = 7;

// Compares two cell texts by a sort type: -1 when a sorts first, 1 when b
// does, 0 when they are equal. Numbers compare by sign, never by a
// difference (no overflow, no truncation).
int CompareListTexts(int sortType, const CString& a, const CString& b);

// A calendar date with a time of day, as the date editor and the date
// sort read and write it.
struct ListDate {
    int year = 1970;
    int month = 1;        // 1..12
    int day = 1;          // 1..31
    int secondOfDay = 0;  // 0..86399
};

// What reading a date text gave.
enum class ListDateStatus { Valid, Unparsable, OutOfRange };

// The date in the user's locale's short form, always with a four-digit year
// (a two-digit year would lose the century of dates before 1900).
CString FormatListDate(const ListDate& date);
// Reads a date written in the user's locale's short form (two- or
// four-digit year), optionally followed by a time "H:MM" or "H:MM:SS";
// leading and trailing blanks are ignored. OutOfRange for a date that does
// not exist (31 February); Unparsable for any other text.
ListDateStatus ParseListDate(const CString& text, ListDate& out);
// Seconds from 1970-01-01 00:00 (proleptic Gregorian calendar); negative
// before 1970, so that every date orders as an instant.
long long ListDateInstant(const ListDate& date);
