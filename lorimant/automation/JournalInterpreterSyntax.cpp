#include "lorimant/automation/JournalInterpreterSyntax.h"

#include <cmath>

#include <cwchar>
#include <cwctype>

namespace {

// The lines of the journal's header and epilogue that are not statements,
// compared without their indentation and ignoring case.
const struct {
    const wchar_t* text;
    JournalStatement::Kind kind;
} kFixedLines[] = {
    {L"Option Explicit", JournalStatement::Kind::None},
    {L"On Error GoTo ErrHandler", JournalStatement::Kind::None},
    {L"For Each obj In ActiveSheet.OLEObjects", JournalStatement::Kind::None},
    {L"obj.Activate", JournalStatement::Kind::None},
    {L"Set xscn = obj.Object", JournalStatement::Kind::None},
    {L"End If", JournalStatement::Kind::None},
    {L"Next obj", JournalStatement::Kind::None},
    {L"MsgBox err.Description", JournalStatement::Kind::None},
    {L"Exit Sub", JournalStatement::Kind::End},
    {L"End Sub", JournalStatement::Kind::End},
    {L"ErrHandler:", JournalStatement::Kind::End},
};

bool sameNoCase(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towlower(a[i]) != std::towlower(b[i])) return false;
    return true;
}

bool startsNoCase(const std::wstring& text, const std::wstring& prefix)
{
    return text.size() >= prefix.size() && sameNoCase(text.substr(0, prefix.size()), prefix);
}

bool endsNoCase(const std::wstring& text, const std::wstring& suffix)
{
    return text.size() >= suffix.size() && sameNoCase(text.substr(text.size() - suffix.size()), suffix);
}

std::wstring trimmed(const std::wstring& s)
{
    const auto first = s.find_first_not_of(L" \t\r\n");
    if (first == std::wstring::npos) return {};
    const auto last = s.find_last_not_of(L" \t\r\n");
    return s.substr(first, last - first + 1);
}

// The kind of a fixed header or epilogue line; false for any other line.
bool fixedLine(const std::wstring& line, JournalStatement::Kind* kind)
{
    for (const auto& f : kFixedLines) {
        if (sameNoCase(line, f.text)) {
            *kind = f.kind;
            return true;
        }
    }
    // "Sub <name>" opens the macro; the header's test of the embedded
    // object's ProgID names the program.
    if (startsNoCase(line, L"Sub ") ||
        (startsNoCase(line, L"If(obj.progID = ") && endsNoCase(line, L") Then"))) {
        *kind = JournalStatement::Kind::None;
        return true;
    }
    return false;
}

std::string utf8(const std::wstring& s) { return wideToUtf8(s); }

struct Token {
    enum class Kind { Name, Number, Text, Symbol, End };
    Kind kind = Kind::End;
    std::wstring text;  // Name: as written; Text: quotes undone; Symbol: the character
    double number = 0.0;
    bool integer = false;
};

Token token(Token::Kind kind, std::wstring text = {})
{
    Token t;
    t.kind = kind;
    t.text = std::move(text);
    return t;
}

// Splits a line into tokens; a comment (an apostrophe outside a text) ends it.
std::vector<Token> tokenize(const std::wstring& line)
{
    std::vector<Token> out;
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (i < n) {
        const wchar_t c = line[i];
        if (c == L' ' || c == L'\t') {
            ++i;
        } else if (c == L'\'') {
            break;
        } else if (c == L'"') {
            Token t = token(Token::Kind::Text);
            for (++i;; ++i) {
                if (i >= n) throw JournalSyntaxError("Unterminated text.");
                if (line[i] == L'"') {
                    if (i + 1 < n && line[i + 1] == L'"') {
                        t.text += L'"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                t.text += line[i];
            }
            out.push_back(std::move(t));
        } else if (std::iswdigit(c) || (c == L'.' && i + 1 < n && std::iswdigit(line[i + 1]))) {
            const wchar_t* start = line.c_str() + i;
            wchar_t* end = nullptr;
            Token t = token(Token::Kind::Number);
            t.number = std::wcstod(start, &end);
            const std::wstring written(start, static_cast<const wchar_t*>(end));
            t.integer = written.find_first_of(L".eE") == std::wstring::npos;
            i += written.size();
            if (i < n && (std::iswalpha(line[i]) || line[i] == L'_'))
                throw JournalSyntaxError("Malformed number \"" + utf8(written + line[i]) + "\".");
            // A number too large for a double would reach the methods as infinity.
            if (!std::isfinite(t.number)) throw JournalSyntaxError("Number out of range \"" + utf8(written) + "\".");
            out.push_back(std::move(t));
        } else if (std::iswalpha(c) || c == L'_') {
            Token t = token(Token::Kind::Name);
            while (i < n && (std::iswalnum(line[i]) || line[i] == L'_')) t.text += line[i++];
            out.push_back(std::move(t));
        } else if (std::wcschr(L".,()=-+:", c) != nullptr) {
            out.push_back(token(Token::Kind::Symbol, std::wstring(1, c)));
            ++i;
        } else {
            throw JournalSyntaxError("Unexpected character \"" + utf8(std::wstring(1, c)) + "\".");
        }
    }
    out.push_back(token(Token::Kind::End));
    return out;
}

// A cursor over the tokens of one line.
class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : m_tokens(std::move(tokens)) {}

    JournalStatement statement()
    {
        JournalStatement s;
        if (isName(L"Dim")) {
            ++m_at;
            s.kind = JournalStatement::Kind::Dim;
            dimList(s);
        } else if (isName(L"Set")) {
            ++m_at;
            s.kind = JournalStatement::Kind::Assign;
            s.set = true;
            s.target = name("a variable name after Set");
            expect(L"=");
            rightSide(s);
        } else if (peek().kind == Token::Kind::Name && peek(1).kind == Token::Kind::Symbol && peek(1).text == L"=") {
            s.kind = JournalStatement::Kind::Assign;
            s.target = name("a variable name");
            expect(L"=");
            rightSide(s);
        } else if (peek().kind == Token::Kind::Name && isSymbol(L".", 1)) {
            s.kind = JournalStatement::Kind::Call;
            s.hasCall = true;
            s.call = call();
        } else {
            throw JournalSyntaxError("Not a statement of the journal language.");
        }
        if (peek().kind != Token::Kind::End) throw JournalSyntaxError("Unexpected text after the statement.");
        return s;
    }

private:
    const Token& peek(std::size_t ahead = 0) const
    {
        const std::size_t k = m_at + ahead;
        return k < m_tokens.size() ? m_tokens[k] : m_tokens.back();
    }
    bool isName(const wchar_t* word) const { return peek().kind == Token::Kind::Name && sameNoCase(peek().text, word); }
    bool isSymbol(const wchar_t* symbol, std::size_t ahead = 0) const
    {
        return peek(ahead).kind == Token::Kind::Symbol && peek(ahead).text == symbol;
    }
    void expect(const wchar_t* symbol)
    {
        if (!isSymbol(symbol)) throw JournalSyntaxError("Expected \"" + utf8(symbol) + "\".");
        ++m_at;
    }
    CString name(const char* what)
    {
        if (peek().kind != Token::Kind::Name) throw JournalSyntaxError(std::string("Expected ") + what + ".");
        return CString(m_tokens[m_at++].text);
    }

    // name [As Type[.Type...]] {, name [As Type]}
    void dimList(JournalStatement& s)
    {
        for (;;) {
            s.names.push_back(name("a variable name"));
            if (isName(L"As")) {
                ++m_at;
                name("a type name");
                while (isSymbol(L".")) {
                    ++m_at;
                    name("a type name");
                }
            }
            if (!isSymbol(L",")) break;
            ++m_at;
        }
    }

    // After "=": Nothing, a call, or a value.
    void rightSide(JournalStatement& s)
    {
        if (peek().kind == Token::Kind::Name && isSymbol(L".", 1)) {
            s.hasCall = true;
            s.call = call();
        } else {
            s.value = value();
        }
    }

    // object.member, then no arguments, a list in parentheses that closes
    // the line, or a bare list.
    JournalCall call()
    {
        JournalCall c;
        c.object = name("an object name");
        expect(L".");
        c.member = name("a method name");
        if (peek().kind == Token::Kind::End) return c;
        const bool enclosed = isSymbol(L"(") && closingParenthesisEndsLine();
        if (enclosed) {
            ++m_at;
            if (!isSymbol(L")")) arguments(c);
            expect(L")");
        } else {
            arguments(c);
        }
        return c;
    }

    bool closingParenthesisEndsLine() const
    {
        int depth = 0;
        for (std::size_t k = m_at; k < m_tokens.size(); ++k) {
            const Token& t = m_tokens[k];
            if (t.kind != Token::Kind::Symbol) continue;
            if (t.text == L"(") ++depth;
            if (t.text == L")" && --depth == 0) return m_tokens[k + 1].kind == Token::Kind::End;
        }
        return false;
    }

    void arguments(JournalCall& c)
    {
        for (;;) {
            c.args.push_back(value());
            if (!isSymbol(L",")) break;
            ++m_at;
        }
    }

    JournalValue value()
    {
        JournalValue v;
        double sign = 1.0;
        if (isSymbol(L"-") || isSymbol(L"+")) {
            sign = isSymbol(L"-") ? -1.0 : 1.0;
            ++m_at;
            if (peek().kind != Token::Kind::Number) throw JournalSyntaxError("Expected a number after the sign.");
        }
        const Token& t = peek();
        switch (t.kind) {
        case Token::Kind::Number:
            v.kind = JournalValue::Kind::Number;
            v.number = sign * t.number;
            v.integer = t.integer;
            break;
        case Token::Kind::Text:
            v.kind = JournalValue::Kind::Text;
            v.text = CString(t.text);
            break;
        case Token::Kind::Name:
            if (sameNoCase(t.text, L"True") || sameNoCase(t.text, L"False")) {
                v.kind = JournalValue::Kind::Boolean;
                v.flag = sameNoCase(t.text, L"True");
            } else if (sameNoCase(t.text, L"Nothing")) {
                v.kind = JournalValue::Kind::Nothing;
            } else {
                v.kind = JournalValue::Kind::Name;
                v.text = CString(t.text);
            }
            break;
        default:
            throw JournalSyntaxError("Expected a value.");
        }
        ++m_at;
        return v;
    }

    std::vector<Token> m_tokens;
    std::size_t m_at = 0;
};

}  // namespace

JournalStatement ParseJournalStatement(const CString& line)
{
    const std::wstring text = trimmed(line.GetString());
    JournalStatement s;
    if (text.empty() || text[0] == L'\'' || sameNoCase(text, L"Rem") || startsNoCase(text, L"Rem ")) return s;
    if (fixedLine(text, &s.kind)) return s;
    return Parser(tokenize(text)).statement();
}
