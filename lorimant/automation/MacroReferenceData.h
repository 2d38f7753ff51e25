// The written descriptions behind the macro reference (MacroReference.h):
// one row per automation member and a glossary of parameter meanings.
#pragma once

#include <cstddef>

struct MemberDescription {
    const char* object;   // the object's type name
    const char* member;
    const char* params;   // the parameter names in order, joined by ", "
    const char* summary;  // what the member does, one sentence
    const char* returns;  // what it gives back; empty when nothing
    const char* journal;  // the journal line it writes; empty when none
};

struct ParameterMeaning {
    const char* key;  // "Member.parameter" or "parameter"
    const char* meaning;
};

// The member rows; *count receives their number.
const MemberDescription* MemberDescriptions(std::size_t* count);
// The glossary; *count receives its number of entries.
const ParameterMeaning* ParameterMeanings(std::size_t* count);
