// What a macro writer needs to know about the automation objects: every
// member of every dispatch table with its parameters (name, type, meaning),
// its result and the journal line it writes; the enumerations of the type
// library; and the texts built from them (the program's --help and --list,
// the macro reference docs/macros.md, the signatures in error messages).
// Types come from the dispatch tables, names and meanings from one table of
// descriptions, so the reference cannot drift from what a call accepts.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/ole/CDispatchTable.h"

struct MacroParameter {
    std::string name;
    VARTYPE type = VT_EMPTY;
    std::string meaning;
};

struct MacroMember {
    std::string object;  // the object's type name ("LorimantDocument", "Shape", ...)
    std::string name;
    DISPID dispid = 0;
    bool property = false;  // read with `v = obj.Name`
    bool writable = false;  // a property that can also be set
    std::vector<MacroParameter> params;
    VARTYPE result = VT_EMPTY;
    std::string summary;  // one sentence
    std::string returns;  // the result's meaning; empty when there is none
    std::string journal;  // the journal line the call writes; empty when none
};

struct MacroEnumeration {
    std::string name;
    std::vector<std::pair<std::string, LONG>> values;
};

// Every member of the document and of the objects its methods hand out, in
// dispatch-table order (a DISPID that a table repeats is listed once).
const std::vector<MacroMember>& MacroMembers();

// The members of an object type that miss a description, a parameter name
// or a parameter meaning, or whose description lists a different number of
// parameters than the dispatch table has ("Object.Member: what is missing").
std::vector<std::string> MacroMembersLackingDescriptions();

// The member of object called name (ignoring case) that a call with arity
// arguments reaches: the one of that count, else the first of the name;
// null when the object has no member of that name.
const MacroMember* FindMacroMember(const std::string& object, const std::string& name, std::size_t arity);

// The enumerations of the type library, in declaration order.
const std::vector<MacroEnumeration>& MacroEnumerations();

// The macro language's name of a parameter or result type ("Double",
// "Integer", "Text", "out Double", ...).
std::string MacroTypeName(VARTYPE type);

// The parameter names joined by ", " ("parentName, nm, length, ...").
std::string MacroParameterList(const MacroMember& member);

// Up to `most` names of candidates nearest to name by edit distance
// (ignoring case), nearest first; only those close enough to be a slip.
std::vector<std::string> NearestNames(const std::string& name, const std::vector<std::string>& candidates,
                                      std::size_t most = 3);

// " Did you mean A, B or C?" for the nearest candidates; empty when none is near.
std::string DidYouMean(const std::string& name, const std::vector<std::string>& candidates);

// The usage of every command-line switch, as --help prints it.
std::string ProgramUsageText();

// The reference of the member called name (any object, ignoring case) as
// --help NAME prints it; empty when no object has such a member.
std::string MacroMemberHelpText(const std::string& name);

// Every member name by object, then every enumeration with its values, as
// --list prints it.
std::string MacroListText();

// The points of one shape builder's shape as built by an example call.
struct BuilderPoints {
    std::string builder;  // "AddRectangle"
    std::string call;     // the example call
    std::vector<std::pair<double, double>> points;  // by point number, from 0
};

// The shortest text that reads back to the same double ("0.1", "1e+300").
std::string MacroNumberText(double value);

// The whole of docs/macros.md: the language, the units, the point numbering
// of the shape builders (from points), the enumerations and the reference
// of every member.
std::string MacroReferenceMarkdown(const std::vector<BuilderPoints>& points);
