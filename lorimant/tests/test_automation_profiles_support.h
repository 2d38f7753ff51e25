// Fixture of the profile-builder tests: a new document, calls through the
// dispatch table, the union shape's properties, and hand-computed section
// properties of rectangles and fillets.
#pragma once

#include <numbers>
#include <numbers>
#include <cmath>
#include <string>
#include <vector>

#include "analysis/model/CLog.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "lorimant/automation/ILorimant.h"
#include "test_document_support.h"

namespace profile_test {


// Area, centroid and centroidal second moments.
struct Props {
    double area = 0, cx = 0, cy = 0, ixc = 0, iyc = 0, ixyc = 0;
    double imax() const { return (ixc + iyc) / 2 + std::hypot((ixc - iyc) / 2, ixyc); }
    double imin() const { return (ixc + iyc) / 2 - std::hypot((ixc - iyc) / 2, ixyc); }
};

// Sums of plane pieces, each added with its area, centroid and own
// centroidal moments (a hole with negative area and moments).
class Composite {
public:
    void add(double a, double cx, double cy, double ixc, double iyc, double ixyc = 0)
    {
        A += a;
        Sx += a * cx;
        Sy += a * cy;
        Ixx += ixc + a * cy * cy;
        Iyy += iyc + a * cx * cx;
        Ixy += ixyc + a * cx * cy;
    }
    // An axis-parallel rectangle [x0, x1] x [y0, y1].
    void rect(double x0, double y0, double x1, double y1, double sign = 1)
    {
        const double b = x1 - x0, h = y1 - y0;
        add(sign * b * h, (x0 + x1) / 2, (y0 + y1) / 2, sign * b * h * h * h / 12, sign * h * b * b * b / 12);
    }
    // A square-corner fillet of radius r at corner (x, y), filling the
    // corner towards (sx, sy) (each +1 or -1): an r x r square less the
    // quarter disc centred at (x + sx r, y + sy r). Its product moment is
    // left out: the tests compare product-dependent figures with the
    // published ones only.
    void fillet(double x, double y, double r, int sx, int sy, double sign = 1)
    {
        const double a = r * r * (1 - std::numbers::pi / 4);
        const double d = r * r * r * (5.0 / 6 - std::numbers::pi / 4) / a;  // centroid offset from the corner
        const double own = r * r * r * r * (1 - 5 * std::numbers::pi / 16) - a * d * d;
        add(sign * a, x + sx * d, y + sy * d, sign * own, sign * own, 0);
    }
    // A quarter disc of radius r centred at (x, y), lying towards (sx, sy).
    void quarterDisc(double x, double y, double r, int sx, int sy, double sign = 1)
    {
        const double a = std::numbers::pi * r * r / 4, d = 4 * r / (3 * std::numbers::pi);
        const double own = std::numbers::pi * r * r * r * r / 16 - a * d * d;
        add(sign * a, x + sx * d, y + sy * d, sign * own, sign * own);
    }
    Props props() const
    {
        Props p;
        p.area = A;
        p.cx = Sx / A;
        p.cy = Sy / A;
        p.ixc = Ixx - A * p.cy * p.cy;
        p.iyc = Iyy - A * p.cx * p.cx;
        p.ixyc = Ixy - A * p.cx * p.cy;
        return p;
    }

private:
    double A = 0, Sx = 0, Sy = 0, Ixx = 0, Iyy = 0, Ixy = 0;
};

class ProfileTest : public document_test::DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        doc = std::make_unique<CXSectionAnalysisDoc>();
        doc->hidden = true;
        doc->OnNewDocument();
        CString root = L"root";
        if (doc->model()->rootSubSection() == nullptr) FAIL() << "no root";
        doc->model()->setSubSection(root);
        ownJournal = journals().back();
    }
    void TearDown() override
    {
        doc.reset();
        DocumentTest::TearDown();
    }

    // Calls a builder through the dispatch table: two texts, then the
    // numbers, those at the positions in i2 as I2. Returns the HRESULT.
    HRESULT build(const wchar_t* method, const wchar_t* parent, const wchar_t* name, const std::vector<double>& v,
                  int iorigAt)
    {
        std::vector<COleVariant> args{COleVariant(parent), COleVariant(name)};
        for (std::size_t i = 0; i < v.size(); ++i) {
            const bool index = static_cast<int>(i) == iorigAt || static_cast<int>(i) == iorigAt + 1;
            args.push_back(index ? COleVariant(static_cast<short>(v[i])) : COleVariant(v[i]));
        }
        const DISPID id = ILorimantDispatchTable().GetIDOfName(method);
        return ILorimantDispatchTable().Invoke(*doc, id, DISPATCH_METHOD, std::move(args), nullptr, &excep);
    }
    // The union shape of the profile sub-section name, or null.
    CShapeAnalysis* profileShape(const wchar_t* name)
    {
        const CSubSection* sub = doc->model()->findSubSection(name);
        if (sub == nullptr || sub->getUnionShapes() == nullptr || sub->getUnionShapes()->IsEmpty()) return nullptr;
        return sub->getUnionShapes()->GetHead();
    }
    // The properties of a profile's union shape.
    Props measured(const wchar_t* name)
    {
        CShapeAnalysis* s = profileShape(name);
        Props p;
        if (s == nullptr) return p;
        s->areaProperties();
        s->axesInertias();
        p.area = s->m_area;
        p.cx = s->centroidA.x;
        p.cy = s->centroidA.y;
        // The model's IxxAxis integrates x * x, its IyyAxis y * y.
        p.ixc = s->IyyAxis - p.area * p.cy * p.cy;
        p.iyc = s->IxxAxis - p.area * p.cx * p.cx;
        p.ixyc = s->IxyAxis - p.area * p.cx * p.cy;
        return p;
    }
    // The lines of this document's journal (other documents write their own).
    std::vector<std::string> journalLines() { return lines(ownJournal); }

    std::unique_ptr<CXSectionAnalysisDoc> doc;
    EXCEPINFO excep;
    document_test::fs::path ownJournal;
};

}  // namespace profile_test
