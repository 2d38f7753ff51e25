#include "lorimant/automation/JournalInterpreter.h"

#include <cmath>
#include <limits>
#include <stdexcept>

#include "lorimant/automation/ILorimant.h"
#include "lorimant/automation/LorimantTypeLibrary.h"
#include "lorimant/automation/MacroReference.h"

namespace {

// A failure of one statement; what() is its description.
class StatementFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Calls the program writes in the type library's form where the dispatch
// form differs: the argument at `dropped` has no parameter in the dispatch
// form (the shear stress takes no load-case name).
const struct {
    const wchar_t* member;
    std::size_t arity;
    std::size_t dropped;
} kTypeLibraryForms[] = {
    {L"ShapeVQIb", 4, 0},
};

void toDispatchForm(const CString& member, std::vector<COleVariant>& args)
{
    for (const auto& form : kTypeLibraryForms) {
        if (member.CompareNoCase(form.member) == 0 && args.size() == form.arity) {
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(form.dropped));
            return;
        }
    }
}

std::wstring folded(const CString& name) { return DispatchFoldName(name.GetString()); }

std::string utf8(const CString& s) { return s.ToUtf8(); }

// "argument 2 (nm, Text)": the argument's position, with the parameter's
// name and type where the object describes them.
std::string argumentName(const MacroMember* member, const std::vector<VARTYPE>* params, UINT index)
{
    std::string text = "argument " + std::to_string(index + 1);
    std::string detail;
    if (member != nullptr && index < member->params.size() && !member->params[index].name.empty())
        detail = member->params[index].name + ", ";
    if (params != nullptr && index < params->size()) detail += MacroTypeName((*params)[index]);
    return detail.empty() ? text : text + " (" + detail + ")";
}

// "AddRectangle takes 10 arguments (parentName, nm, ...), 6 given."
std::string countFailure(const std::string& name, const MacroMember* member, const std::vector<VARTYPE>* params,
                         std::size_t given)
{
    if (params == nullptr) return "Wrong number of arguments for " + name + " (" + std::to_string(given) + " given).";
    std::string list;
    if (member != nullptr && member->params.size() == params->size()) {
        list = MacroParameterList(*member);
    } else {
        for (VARTYPE t : *params) list += (list.empty() ? "" : ", ") + MacroTypeName(t);
    }
    const std::size_t n = params->size();
    const std::string count = n == 0 ? "no arguments" : std::to_string(n) + (n == 1 ? " argument" : " arguments");
    return name + " takes " + count + (list.empty() ? "" : " (" + list + ")") + ", " + std::to_string(given) +
           " given.";
}

// The description of a refused or failed invocation.
std::string invocationFailure(HRESULT hr, const JournalCall& c, const EXCEPINFO& excep, UINT argErr,
                              IAutomationObject& object, const std::vector<COleVariant>& args)
{
    const std::string typeName = utf8(object.TypeName());
    const MacroMember* member = FindMacroMember(typeName, utf8(c.member), args.size());
    const std::vector<VARTYPE>* params = object.MemberParameters(c.member, args.size());
    const std::string name = member != nullptr ? member->name : utf8(c.member);
    switch (hr) {
    case DISP_E_EXCEPTION:
        return utf8(excep.bstrDescription) + " (error " + std::to_string(excep.wCode) + ")";
    case DISP_E_UNKNOWNNAME:
    case DISP_E_MEMBERNOTFOUND: {
        std::vector<std::string> names;
        for (const CString& n : object.MemberNames()) names.push_back(utf8(n));
        return typeName + " has no method " + name + "." + DidYouMean(name, names);
    }
    case DISP_E_BADPARAMCOUNT:
        return countFailure(name, member, params, args.size());
    case DISP_E_TYPEMISMATCH:
    case DISP_E_OVERFLOW: {
        const std::string given = argErr < args.size() ? ": " + JournalValueText(args[argErr]) + " given" : "";
        return std::string(hr == DISP_E_OVERFLOW ? "Overflow" : "Type mismatch") + " in " +
               argumentName(member, params, argErr) + " of " + name + given + ".";
    }
    default:
        return "The call of " + name + " failed.";
    }
}

std::string trimmedUtf8(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

std::string JournalValueText(const COleVariant& value)
{
    switch (value.vt) {
    case VT_I2: return std::to_string(value.iVal);
    case VT_I4: return std::to_string(value.lVal);
    case VT_R8: return MacroNumberText(value.dblVal);
    case VT_BOOL: return value.boolVal != VARIANT_FALSE ? "True" : "False";
    case VT_BSTR: return "\"" + utf8(value.bstrVal) + "\"";
    case VT_DISPATCH: {
        const auto object = value.GetObject<IAutomationObject>();
        return object ? "(" + utf8(object->TypeName()) + ")" : "(object)";
    }
    default: return "Nothing";
    }
}

JournalInterpreter::JournalInterpreter(std::shared_ptr<IAutomationObject> document, std::ostream& out) : m_out(out)
{
    m_variables[folded(L"xscn")] = COleVariant::FromObject(std::move(document));
}

COleVariant JournalInterpreter::Variable(const CString& name) const
{
    const auto it = m_variables.find(folded(name));
    return it == m_variables.end() ? COleVariant() : it->second;
}

JournalRunResult JournalInterpreter::Run(std::istream& macro)
{
    JournalRunResult result;
    std::string raw;
    int number = 1;
    for (; std::getline(macro, raw); ++number) {
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (number == 1 && raw.rfind("\xEF\xBB\xBF", 0) == 0) raw.erase(0, 3);
        try {
            const JournalStatement s = ParseJournalStatement(CString::FromUtf8(raw));
            if (s.kind == JournalStatement::Kind::End) break;
            if (s.kind == JournalStatement::Kind::Call || s.kind == JournalStatement::Kind::Assign)
                m_out << trimmedUtf8(raw) << std::endl;
            execute(s);
        } catch (const std::exception& e) {
            result.ok = false;
            result.lineNumber = number;
            result.line = raw;
            result.description = e.what();
            return result;
        }
    }
    // A stream that fails to read (a folder, a device error) is no macro
    // that finished.
    if (macro.bad()) {
        result.ok = false;
        result.lineNumber = number;
        result.description = "The macro could not be read.";
    }
    return result;
}

void JournalInterpreter::execute(const JournalStatement& s)
{
    switch (s.kind) {
    case JournalStatement::Kind::None:
    case JournalStatement::Kind::End:
        return;
    case JournalStatement::Kind::Dim:
        // Declaring again keeps the value: journals repeat their Dim lines.
        for (const CString& name : s.names) m_variables.try_emplace(folded(name));
        return;
    case JournalStatement::Kind::Call:
        call(s.call);
        return;
    case JournalStatement::Kind::Assign: {
        COleVariant value = s.hasCall ? call(s.call) : evaluate(s.value);
        if (s.set && value.vt != VT_DISPATCH && value.vt != VT_EMPTY)
            throw StatementFailure("Object required: Set assigns only objects or Nothing.");
        m_out << utf8(s.target) << " = " << JournalValueText(value) << "\n";
        assign(s.target, std::move(value));
        return;
    }
    }
}

COleVariant JournalInterpreter::call(const JournalCall& c)
{
    const COleVariant holder = Variable(c.object);
    const auto object = holder.GetObject<IAutomationObject>();
    if (object == nullptr) {
        const bool known = m_variables.count(folded(c.object)) != 0;
        throw StatementFailure(known ? "Object variable " + utf8(c.object) + " is not set."
                                     : "Variable not defined: " + utf8(c.object) + "." + suggestion(c.object));
    }
    // An output parameter takes a variable, which receives the value after
    // the call; the doubles live in outputs until then.
    const std::vector<VARTYPE>* params = object->MemberParameters(c.member, c.args.size());
    std::vector<double> outputs(c.args.size(), 0.0);
    std::vector<std::pair<CString, std::size_t>> receivers;
    std::vector<COleVariant> args;
    for (std::size_t i = 0; i < c.args.size(); ++i) {
        const bool output = params != nullptr && params->size() == c.args.size() && ((*params)[i] & VT_BYREF) != 0;
        if (!output) {
            args.push_back(evaluate(c.args[i]));
            continue;
        }
        const JournalValue& v = c.args[i];
        LONG constant = 0;
        if (v.kind != JournalValue::Kind::Name || TypeLibraryConstant(v.text, &constant)) {
            const MacroMember* member = FindMacroMember(utf8(object->TypeName()), utf8(c.member), c.args.size());
            const std::string name = member != nullptr ? member->name : utf8(c.member);
            throw StatementFailure(argumentName(member, params, static_cast<UINT>(i)) + " of " + name +
                                   " is an output: pass a variable name to receive the value.");
        }
        COleVariant current = Variable(v.text);
        if (current.ChangeType(VT_R8) == S_OK) outputs[i] = current.dblVal;
        receivers.push_back({v.text, i});
        args.push_back(COleVariant::ByRef(&outputs[i]));
    }
    toDispatchForm(c.member, args);
    const std::vector<COleVariant> given = args;

    COleVariant result;
    EXCEPINFO excep;
    UINT argErr = 0;
    const HRESULT hr = object->CallMethod(c.member, std::move(args), &result, &excep, &argErr);
    if (hr != S_OK) throw StatementFailure(invocationFailure(hr, c, excep, argErr, *object, given));
    for (const auto& [name, index] : receivers) {
        m_out << utf8(name) << " = " << JournalValueText(COleVariant(outputs[index])) << "\n";
        assign(name, COleVariant(outputs[index]));
    }
    return result;
}

std::string JournalInterpreter::suggestion(const CString& name) const
{
    std::vector<std::string> candidates;
    for (const MacroEnumeration& e : MacroEnumerations())
        for (const auto& value : e.values) candidates.push_back(value.first);
    for (const auto& variable : m_variables) candidates.push_back(wideToUtf8(variable.first));
    return DidYouMean(utf8(name), candidates);
}

COleVariant JournalInterpreter::evaluate(const JournalValue& v) const
{
    switch (v.kind) {
    case JournalValue::Kind::Text: return COleVariant(v.text);
    case JournalValue::Kind::Boolean: return COleVariant::FromBool(v.flag);
    case JournalValue::Kind::Nothing: return COleVariant();
    case JournalValue::Kind::Number:
        if (v.integer && std::fabs(v.number) <= std::numeric_limits<LONG>::max())
            return COleVariant(static_cast<LONG>(v.number));
        return COleVariant(v.number);
    case JournalValue::Kind::Name: break;
    }
    LONG constant = 0;
    if (TypeLibraryConstant(v.text, &constant)) return COleVariant(constant);
    const auto it = m_variables.find(folded(v.text));
    if (it == m_variables.end())
        throw StatementFailure("Variable not defined: " + utf8(v.text) + "." + suggestion(v.text));
    return it->second;
}

void JournalInterpreter::assign(const CString& name, COleVariant value) { m_variables[folded(name)] = std::move(value); }

std::shared_ptr<IAutomationObject> DocumentAutomationObject(CXSectionAnalysisDoc& doc)
{
    using Object = DispatchTableObject<CXSectionAnalysisDoc>;
    return std::make_shared<Object>(L"LorimantDocument", ILorimantDispatchTable(), Object::Unowned(doc));
}
