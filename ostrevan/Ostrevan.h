// Ostrevan: writes one XML document at a time, element by element.
//
// A document is written by a fixed sequence of calls: xmlOpenStream, then for
// each element xmlStartElement, its attributes (writeStrAttribute,
// writeDblAttribute), its children the same way and xmlFullEndElement; at the
// end xmlEndDocument. The library keeps one writer and one output file for
// the whole process; opening a new document drops the one before, whose file
// keeps the elements closed so far.
//
// Failures are thrown as text pointers to a buffer of the library that stays
// valid while the caller handles it: char* from the open, element and
// document functions and xmlWriteIsotropics, wchar_t* from the two attribute
// functions. Each text ends with the failure's code as eight hex digits.
#pragma once

#include <string>
#include <vector>

// One material written by xmlWriteIsotropics.
struct CXmlIsotropic {
    std::wstring name;
    double E = 0.0;
    double G = 0.0;
    double v = 0.0;   // Poisson's ratio
    double Ftu = 0.0;
    double r = 0.0;
    double Fcy = 0.0;
    double Fcu = 0.0;
    double Fsy = 0.0;
    double Fsu = 0.0;
    double Ftg = 0.0;
    double density = 0.0;
    double g = 0.0;
    double b = 0.0;
};

// Drops the current document and opens path (created or truncated) for a new
// one, indented by two blanks, without an XML declaration. Gives -1.
int xmlOpenStream(const wchar_t* path);

// Opens an element with this name (no prefix, no namespace). Gives -1.
int xmlStartElement(const wchar_t* name);

// Writes name="value" on the element just opened.
void writeStrAttribute(const wchar_t* name, const wchar_t* value);

// Writes the value as printf's "%g" gives it in the C locale (six significant
// digits, "1e-08", "1.23457e+08"), whatever the user's locale.
void writeDblAttribute(const wchar_t* name, double value);

// Closes the innermost element with a separate end tag and flushes, so the
// file holds every closed element. Gives -1.
int xmlFullEndElement();

// Closes every open element, ends the document and flushes. Gives -1.
int xmlEndDocument();

// A new array (free it with delete[]) of strlen(text) + 1 wide characters
// holding the text converted from the program's narrow character set
// (UTF-8), terminator included; null for a null text or a text that is not
// valid UTF-8.
wchar_t* AsciiToUnicode(const char* text);

// Writes the materials to path as an office-database XML file: declaration,
// DOCTYPE and "dataroot" processing instruction, then one "tblIsotropic"
// element with 15 attributes per material inside "dataroot". A null vector
// or null entries count as no material. Gives 0.
int xmlWriteIsotropics(std::vector<CXmlIsotropic*>* materials, const wchar_t* path);
