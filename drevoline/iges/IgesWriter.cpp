// The IGES writer: Start, Global, Directory, Parameter and Terminate sections.

#include "drevoline/iges/IgesWriter.h"

#include <locale.h>

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/Globals.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"

IgesWriterState gIgesWriter;

namespace {

IgesWriterState& W = gIgesWriter;

// Data columns of a Parameter line; column 65 stays blank.
constexpr size_t kParameterData = 64;

// printf into a std::string.
std::string format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    std::vsnprintf(out.data(), out.size() + 1, fmt, args);
    va_end(args);
    return out;
}

// Formats numbers with '.' whatever the user's locale, while it lives.
class CNumericLocale {
public:
    CNumericLocale() : m_c(newlocale(LC_NUMERIC_MASK, "C", nullptr)), m_old(uselocale(m_c)) {}
    ~CNumericLocale()
    {
        uselocale(m_old);
        freelocale(m_c);
    }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

private:
    locale_t m_c;
    locale_t m_old;
};

// Local time now.
std::tm localNow()
{
    const std::time_t t = std::time(nullptr);
    std::tm out{};
    localtime_r(&t, &out);
    return out;
}

// YYMMDD.HHNNSS with the year minus 2000 without a leading zero.
std::string dateText()
{
    const std::tm t = W.clock ? W.clock() : localNow();
    return format("%d%02d%02d.%02d%02d%02d", t.tm_year + 1900 - 2000, t.tm_mon + 1, t.tm_mday, t.tm_hour,
                  t.tm_min, t.tm_sec);
}

// One line of a fixed section: data filled to column 72, the letter, the number.
void writeRecord(FILE* out, const std::string& data, char letter, int sequence)
{
    std::fprintf(out, "%-72.72s%c%7d\n", data.c_str(), letter, sequence);
}

// Writes one Global text; a text longer than 72 columns goes on in further
// lines, each cut after its last delimiter that fits (or at column 72
// inside a long string). Counts the lines written.
void writeGlobalText(const std::string& text)
{
    size_t p = 0;
    while (p < text.size()) {
        size_t n = text.size() - p;
        if (n > 72) {
            const size_t cut = text.find_last_of(",;", p + 71);
            n = (cut != std::string::npos && cut > p) ? cut + 1 - p : 72;
        }
        writeRecord(W.output, text.substr(p, n), 'G', ++W.globalLineCount);
        p += n;
    }
}

// The file's unit: centimetres for SI models, inches otherwise (also while
// no system is chosen). The three lengths are 1 mm, 0.0001 in and 6 in.
struct FileUnit {
    int flag;
    const char* name;
    const char* lineWidth;
    const char* resolution;
    const char* maxCoordinate;
};

const FileUnit& fileUnit()
{
    static const FileUnit centimetres{10, "2HCM", "0.1", ".000254", "15.24"};
    static const FileUnit inches{1, "2HIN", "0.0393701", ".0001", "6"};
    return gUnitSystem == SI ? centimetres : inches;
}

// The status digits: members of a composite are physically dependent.
const char* statusDigits()
{
    return W.member ? "00010001" : "00000000";
}

void closeFiles()
{
    if (W.scratch)
        std::fclose(W.scratch);
    if (W.output)
        std::fclose(W.output);
    W.scratch = nullptr;
    W.output = nullptr;
}

// The frame's vectors are unit vectors at right angles.
bool orthonormal(Point<double>& n, const Point<double>& a)
{
    if (std::fabs(n.length() - 1.0) > 0.001)
        return false;
    n.normalize();
    if (std::fabs(a.length() - 1.0) > 0.001)
        return false;
    return std::fabs(dot(a, n)) <= 1e-5;
}

// The rest of an export once the files are open.
int writeFile(CXSectionAnalysis* model, const char* version, const Point<double>& origin,
              const Point<double>& normalPoint, const Point<double>& axisPoint)
{
    Point<double> n = normalPoint - origin;
    const Point<double> a = axisPoint - origin;
    if (!orthonormal(n, a))
        return 4003;
    if (model != nullptr && model->currentSubSectionMutable() != nullptr) {
        IgesFrame& frame = model->currentSubSectionMutable()->igesFrame;
        frame.defined = true;
        frame.origin = origin;
        frame.firstPoint = origin - n;
        frame.secondPoint = origin + a;
    }
    WriteIgesStartGlobal(version);
    W.nextDirectoryNumber = 1;
    W.lineFontPattern = 1;
    if (const int r = writeSectionShapes(model))
        return r;
    std::fflush(W.scratch);
    if (std::fseek(W.scratch, 0, SEEK_SET) != 0)
        throw L"Unable to rewind parametric data file";
    for (int c; (c = std::getc(W.scratch)) != EOF;)
        std::putc(c, W.output);
    const std::string counts =
        format("S      1G%7dD%7dP%7d", W.globalLineCount, W.nextDirectoryNumber - 1, W.nextParameterLine - 1);
    writeRecord(W.output, counts, 'T', 1);
    std::fflush(W.output);
    return 0;
}

}  // namespace

int WrtIGES(CXSectionAnalysis* model, const CString& path, const char* version, double ox, double oy,
            double oz, double nx, double ny, double nz, double ax, double ay, double az, int level,
            int color)
{
    CNumericLocale numbers;
    W.nextParameterLine = 1;
    const std::string file = path.ToUtf8();
    W.output = std::fopen(file.c_str(), "w");
    if (!W.output) {
        std::fprintf(stderr, "%s,%d,WrtIGES:Cant open %s.\n", "iges", 336, file.c_str());
        return 4002;
    }
    W.level = level;
    W.color = color;
    int result = 0;
    try {
        OpenIgesScratchFile();
        result = writeFile(model, version, Point<double>(ox, oy, oz), Point<double>(nx, ny, nz),
                           Point<double>(ax, ay, az));
    } catch (...) {
        closeFiles();
        throw;
    }
    closeFiles();
    return result;
}

void OpenIgesScratchFile()
{
    W.scratch = std::tmpfile();
    if (!W.scratch) {
        const CString text = CString::FromUtf8(
            format("Could not open scratch file at: %s, because %s", P_tmpdir, std::strerror(errno)));
        static std::wstring message;
        message = text.GetString();
        throw message.c_str();
    }
}

void WriteIgesStartGlobal(const char* version)
{
    const FileUnit& unit = fileUnit();
    writeRecord(W.output, "IGES from Quenholt   Lorimant", 'S', 1);
    W.globalLineCount = 0;
    writeGlobalText("1H,,1H;,8HLorimant,13H{unspecified},8HQuenholt,");
    // The version text is cut to what fits its line.
    const std::string rest =
        format(",32,38,15,308,15,,1.0,%d,%s,32768,%s,", unit.flag, unit.name, unit.lineWidth);
    std::string text = version ? version : "";
    const size_t room = 72 - rest.size() - 4;
    if (text.size() > room)
        text.resize(room);
    writeGlobalText(format("%zuH%s", text.size(), text.c_str()) + rest);
    const std::string date = dateText();
    writeGlobalText(format("%zuH%s,%s,%s,13H{unspecified},13H{unspecified),11,3,,;", date.size(), date.c_str(),
                           unit.resolution, unit.maxCoordinate));
}

int writeSectionShapes(CXSectionAnalysis* model)
{
    if (model == nullptr) {
        std::fputs("Iges: WriteSection: null section passed\n", stderr);
        return -1;
    }
    std::unique_ptr<ShapeList> list = model->currentShapes();
    if (!list)
        return 0;
    if (CSubSection* current = model->currentSubSectionMutable())
        current->clearTraversedShapes();
    std::vector<CShapeAnalysis*> shapes;
    for (POSITION pos = list->GetHeadPosition(); pos != nullptr;)
        shapes.push_back(list->GetNext(pos));
    // Each solid outline in list order, then the holes inside it; a hole
    // inside no solid is not written.
    for (CShapeAnalysis* outer : shapes) {
        if (outer->traversed || outer->isNegative())
            continue;
        outer->traversed = true;
        writeCompositeCurve(outer->boundary);
        for (CShapeAnalysis* hole : shapes) {
            if (!hole->traversed && hole->isNegative() && outer->boundary->isCurveInside(hole->boundary)) {
                hole->traversed = true;
                writeCompositeCurve(hole->boundary);
            }
        }
    }
    return 0;
}

int writeCompositeCurve(CCompositeCurve* curve)
{
    if (curve == nullptr || curve->nArcs() == 0)
        return 0;
    const CList<Bspline*>& arcs = curve->arcs();
    if (curve->nArcs() == 1) {
        W.member = false;
        return writeBsplineCurveEntity(arcs.GetHead());
    }
    std::vector<int> numbers;
    W.member = true;
    for (POSITION pos = arcs.GetHeadPosition(); pos != nullptr;)
        numbers.push_back(writeBsplineCurveEntity(arcs.GetNext(pos)));
    W.member = false;
    W.members = numbers;
    return writeCompositeCurveEntity();
}

int writeBsplineCurveEntity(Bspline* b)
{
    W.entityType = 126;
    W.lineWeight = 2;
    W.parameterLineCount = 0;
    const int firstParameterLine = W.nextParameterLine;
    // PROP3 (polynomial) only for curves whose weights are all one.
    std::string text = format("126,%d,%d,%d,%d,%d,%d", b->nPts() - 1, b->deg(), 1, b->closed() == 1 ? 1 : 0,
                              b->isRational() ? 0 : 1, 0);
    const double first = b->nKts() > 0 ? b->kts(0) : 0.0;
    for (int i = 0; i < b->nKts(); ++i)
        text += format(",%g", b->kts(i) - first);
    for (int i = 0; i < b->nPts(); ++i)
        text += format(",%g", b->wts(i));
    for (int i = 0; i < b->nPts(); ++i) {
        const Point<double> p = b->cpts(i);
        text += format(",%g,%g,%g", p.x, p.y, p.z);
    }
    const double last = b->nKts() > 0 ? b->kts(b->nKts() - 1) : 0.0;
    text += format(" ,0, %g, 0., 0., 1.;", last - first);
    writeParameterLines(text);
    std::fflush(W.scratch);
    const int number = W.nextDirectoryNumber;
    WriteIgesDirectoryEntry(firstParameterLine, 0);
    return number;
}

int writeCompositeCurveEntity()
{
    W.entityType = 102;
    W.lineWeight = 2;
    W.parameterLineCount = 0;
    const int firstParameterLine = W.nextParameterLine;
    std::string text = format("102,%zu", W.members.size());
    for (int m : W.members)
        text += format(",%d", m);
    text += " ;";
    writeParameterLines(text);
    const int number = W.nextDirectoryNumber;
    WriteIgesDirectoryEntry(firstParameterLine, 0);
    return number;
}

void writeParameterLines(const std::string& text)
{
    size_t p = 0;
    while (p < text.size()) {
        size_t n = text.size() - p;
        if (n > kParameterData) {
            // Cut after the last delimiter that fits (a longer token is cut at the column).
            const size_t cut = text.find_last_of(",;", p + kParameterData - 1);
            n = (cut != std::string::npos && cut > p) ? cut + 1 - p : kParameterData;
        }
        std::fprintf(W.scratch, "%-64.64s%8dP%7d\n", text.substr(p, n).c_str(), W.nextDirectoryNumber,
                     W.nextParameterLine);
        std::fflush(W.scratch);
        p += n;
        ++W.nextParameterLine;
        ++W.parameterLineCount;
    }
}

void WriteIgesDirectoryEntry(int firstParameterLine, int form)
{
    const int d = W.nextDirectoryNumber;
    std::fprintf(W.output, "%8d%8d%8d%8d%8d%8d%8d%8d%sD%7d\n", W.entityType, firstParameterLine, 0,
                 W.lineFontPattern, W.level, 0, 0, 0, statusDigits(), d);
    std::fprintf(W.output, "%8d%8d%8d%8d%8d%8d%8d%8s        D%7d\n", W.entityType, W.lineWeight, W.color,
                 W.parameterLineCount, form, 0, 0, "", d + 1);
    std::fflush(W.output);
    W.nextDirectoryNumber = d + 2;
}

void CXSectionAnalysis::writeIGES(CString& fileName, CStringA& b)
{
    // The exchange frame: origin (0, 0, 0), normal point (0, 0, 1), axis point (1, 0, 0).
    if (WrtIGES(this, fileName, b.GetString(), 0, 0, 0, 0, 0, 1.0, 1.0, 0, 0, 1, 1) == 4002)
        throw L"Can't open IGES file for writing";
}
