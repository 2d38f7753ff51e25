// The finite-element model: tables, the static solve against closed forms
// and a dense reference, failures, lookups, the combo and the bulk data.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <locale>
#include <sstream>

#include "analysis/geometry/LinearSystem.h"
#include "analysis/model/Globals.h"
#include "drevoline/mesh/CFEModelAnalysis.h"
#include "drevoline/mesh/CFENodeAnalysis.h"
#include "drevoline/mesh/CFEQuad4.h"
#include "drevoline/mesh/CFETrng3.h"
#include "platform/core/CComboBox.h"
#include "platform/core/Exceptions.h"
#include "drevoline/tests/test_mesher_support.h"
#include "test_mesh_support.h"

using mesh_test::node;

namespace {

constexpr int U = 367, V = 368, W = 369;

// The text of a wide-string exception thrown by fn, or "" when none is.
template <class F>
std::wstring wideText(F fn)
{
    try {
        fn();
    } catch (const wchar_t* text) {
        return text;
    }
    return L"";
}

// A plate of nx x ny nodes over [0, width] x [0, height], two triangles
// per cell, interior nodes moved by `jitter` so that the mesh is irregular.
struct Plate {
    CFEModelAnalysis model;
    std::shared_ptr<CMetal> metal;
    int nx, ny;

    Plate(int nx_, int ny_, double width, double height, double E, double jitter = 0.0)
        : metal(mesh_test::metal("M", E, 0.3)), nx(nx_), ny(ny_)
    {
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i) {
                double x = width * i / (nx - 1), y = height * j / (ny - 1);
                if (i > 0 && i < nx - 1 && j > 0 && j < ny - 1) {
                    x += jitter * ((i * 7 + j * 3) % 5 - 2) * width / (nx - 1) / 4;
                    y += jitter * ((i * 3 + j * 5) % 5 - 2) * height / (ny - 1) / 4;
                }
                model.addNode(node(j * nx + i + 1, x, y));
            }
        int id = 1;
        for (int j = 0; j + 1 < ny; ++j)
            for (int i = 0; i + 1 < nx; ++i) {
                auto a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
                auto lower = std::make_unique<CFETrng3>(a, b, c, metal.get(), 1.0);
                auto upper = std::make_unique<CFETrng3>(a, c, d, metal.get(), 1.0);
                lower->id = id++;
                upper->id = id++;
                model.addElement(std::move(lower));
                model.addElement(std::move(upper));
            }
    }
    std::shared_ptr<CFENodeAnalysis> at(int i, int j) const { return model.nodes[j * nx + i]; }
    const CLoadCondition* loads() const { return model.holder->curAppLC().get(); }
    void force(int i, int j, double fx, double fy)
    {
        Point<double> p = at(i, j)->position;
        Point<double> d(fx, fy, 0);
        model.applyPtForce(CString("F"), p, std::sqrt(fx * fx + fy * fy), d);
    }
};

class FakeCombo : public CComboBox {
public:
    int AddString(const wchar_t* text) override
    {
        items.emplace_back(text);
        data.push_back(nullptr);
        return static_cast<int>(items.size()) - 1;
    }
    int FindString(int startAfter, const wchar_t* prefix) const override
    {
        for (int i = startAfter + 1; i < static_cast<int>(items.size()); ++i)
            if (items[i].rfind(prefix, 0) == 0)
                return i;
        return -1;
    }
    int SetItemDataPtr(int i, void* d) override { return data[i] = d, 0; }
    int SetCurSel(int i) override { return selected = i; }
    int SetTopIndex(int i) override { return top = i; }

    std::vector<std::wstring> items;
    std::vector<void*> data;
    int selected = -1, top = -1;
};

// A decimal comma, as some users' locales have.
struct CommaPoint : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

std::string fileText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(FEModel, ANewModelHoldsItsLoadsAndLeavesTheCurrentModel)
{
    CModel* const before = gModel;
    {
        CFEModelAnalysis model;
        EXPECT_EQ(gModel, before);
        ASSERT_NE(model.holder->curAppLC(), nullptr);
        EXPECT_EQ(model.holder->curAppLC()->name(), CString("Finite Element Loads"));
        EXPECT_EQ(model.holder->curAppLC()->type(), FEMLoadCase);
        EXPECT_EQ(model.solved, 0);
        model.clear();
        EXPECT_EQ(model.holder->loadConditions.size(), 1u);
    }
    EXPECT_EQ(gModel, before);
}

TEST(FEModel, IndexTables)
{
    CFEModelAnalysis model;
    auto a = node(1, 0, 0), b = node(2, 1, 0);
    model.addNode(a);
    model.addNode(b);
    model.indexNodes();
    EXPECT_EQ(b->index, 1);
    EXPECT_EQ(model.solutionSize(), 12);
    model.setIndices();
    ASSERT_EQ(model.activeTable.GetSize(), 12);
    EXPECT_EQ(model.activeTable[7].code, V);
    EXPECT_EQ(model.activeTable[7].node, b.get());

    model.removeIndex(b.get(), V);
    EXPECT_EQ(model.removedList[0], 7);
    EXPECT_EQ(model.removedCount, 1);
    EXPECT_EQ(model.activeTable.GetSize(), 11);
    EXPECT_EQ(model.activeTable[7].code, W);
    EXPECT_EQ(model.isRemoved(b.get(), V), 1);
    EXPECT_EQ(model.isRemoved(a.get(), V), 0);

    // u of the first node fixed; the out-of-plane freedoms always go.
    model.fix(a.get(), U, 1);
    model.reduceIndices();
    const int removed[] = {0, 2, 3, 4, 5, 8, 9, 10, 11};
    ASSERT_EQ(model.removedList.GetSize(), 9);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(model.removedList[i], removed[i]) << i;
    EXPECT_EQ(model.removedCount, 9);
    ASSERT_EQ(model.activeTable.GetSize(), 3);
    EXPECT_TRUE((model.activeTable[0] == FEIndexSet{V, a.get()}));
    EXPECT_TRUE((model.activeTable[1] == FEIndexSet{U, b.get()}));
    EXPECT_TRUE((model.activeTable[2] == FEIndexSet{V, b.get()}));
    EXPECT_EQ(model.isRemoved(a.get(), U), 1);
}

// A uniform tension on an irregular mesh of a rectangle: every constant-
// strain triangle reproduces u = σx/E, v = −νσy/E exactly.
TEST(FEModel, UniformTensionPatchTestIsExact)
{
    const double E = 1000.0, nu = 0.3, sigma = 1.0;
    Plate plate(5, 3, 2.0, 1.0, E, 1.0);
    for (int j = 0; j < 3; ++j)
        plate.model.fix(plate.at(0, j).get(), U, 1);
    plate.model.fix(plate.at(0, 0).get(), V, 1);
    // Consistent nodal forces of σ on the right edge (height 1, thickness 1).
    const double share[3] = {0.25, 0.5, 0.25};
    for (int j = 0; j < 3; ++j)
        plate.force(4, j, sigma * share[j], 0.0);
    plate.model.solveStatic(plate.loads());
    EXPECT_EQ(plate.model.solved, 1);
    for (const auto& n : plate.model.nodes) {
        if (n->fixed(U) == 0) {
            EXPECT_NEAR(n->getValue(plate.loads(), U), sigma * n->position.x / E, 1e-15) << n->id();
        }
        if (n->fixed(V) == 0) {
            EXPECT_NEAR(n->getValue(plate.loads(), V), -nu * sigma * n->position.y / E, 1e-15) << n->id();
        }
    }
}

// The same patch test on a rectangle meshed by the mesher: consistent
// edge forces from the spacing of the right edge's nodes.
TEST(FEModel, UniformTensionOnAMesherRectangleIsExact)
{
    using mesher_test::P;
    mesher_test::Outline o{mesher_test::polygonCurve({P(0, 0), P(3, 0), P(3, 1), P(0, 1)}), {}};
    auto mesh = mesher_test::meshOutline(o, 80, 0.25);
    mesh->create2DFEM(1.0);
    const double E = 1000.0, nu = 0.3, sigma = 2.0;
    auto steel = mesh_test::metal("S", E, nu);
    CFEModelAnalysis model;
    for (const auto& n : mesh->nodes)
        model.addNode(n);
    for (const auto& t : mesh->trng3Elements)
        model.addElement(std::make_unique<CFETrng3>(t->n1(), t->n2(), t->n3(), steel.get(), 1.0));
    ASSERT_GT(model.elements.size(), 6u);

    std::vector<CFENodeAnalysis*> right;
    for (const auto& n : model.nodes) {
        if (std::fabs(n->position.x) < 1e-12)
            model.fix(n.get(), U, 1);
        if (n->position.lengthSquared() < 1e-24)
            model.fix(n.get(), V, 1);
        if (std::fabs(n->position.x - 3.0) < 1e-12)
            right.push_back(n.get());
    }
    std::sort(right.begin(), right.end(), [](auto* a, auto* b) { return a->position.y < b->position.y; });
    ASSERT_GE(right.size(), 2u);
    for (std::size_t k = 0; k < right.size(); ++k) {
        const double below = k > 0 ? right[k]->position.y - right[k - 1]->position.y : 0.0;
        const double above = k + 1 < right.size() ? right[k + 1]->position.y - right[k]->position.y : 0.0;
        Point<double> at = right[k]->position;
        Point<double> along(1, 0, 0);
        model.applyPtForce(CString("F"), at, sigma * (below + above) / 2.0, along);
    }
    const CLoadCondition* lc = model.holder->curAppLC().get();
    model.solveStatic(lc);
    for (const auto& n : model.nodes) {
        if (n->fixed(U) == 0) {
            EXPECT_NEAR(n->getValue(lc, U), sigma * n->position.x / E, 1e-12) << n->id();
        }
        if (n->fixed(V) == 0) {
            EXPECT_NEAR(n->getValue(lc, V), -nu * sigma * n->position.y / E, 1e-12) << n->id();
        }
    }
}

// A cantilever plate under a tip load against a dense solve of the same
// stiffness (assembled with Matrix::load and reduced with Matrix::reduce).
TEST(FEModel, CantileverAgreesWithADenseReferenceSolve)
{
    Plate plate(9, 3, 4.0, 1.0, 1e4, 0.5);
    for (int j = 0; j < 3; ++j) {
        plate.model.fix(plate.at(0, j).get(), U, 1);
        plate.model.fix(plate.at(0, j).get(), V, 1);
    }
    plate.force(8, 2, 0.0, -1.0);
    plate.force(8, 1, 0.3, 0.0);
    plate.model.solveStatic(plate.loads());

    const int n = plate.model.solutionSize();
    Matrix K(n, n);
    CArray<int, int> idx;
    for (const auto& e : plate.model.elements) {
        plate.model.globalIndices(e.get(), &idx);
        K.load(&e->Kg, &idx, &idx);
    }
    Matrix Kr = K.reduce(&plate.model.removedList);
    Matrix rr = plate.model.loadVector->rowReduce(&plate.model.removedList);
    ASSERT_EQ(Kr.zeroRow(), -1);
    LinearSystem dense(&Kr, &rr);
    ASSERT_EQ(dense.solve(), 0);
    ASSERT_EQ(plate.model.activeTable.GetSize(), Kr.nrows());
    double tipV = 0.0;
    for (int i = 0; i < Kr.nrows(); ++i) {
        const FEIndexSet& dof = plate.model.activeTable[i];
        const double banded = dof.node->getValue(plate.loads(), dof.code);
        EXPECT_NEAR(banded, dense.solution(i), 1e-10) << i;
        if (dof.node == plate.at(8, 2).get() && dof.code == V)
            tipV = banded;
    }
    EXPECT_LT(tipV, 0.0);
}

TEST(FEModel, MissingConstraintsAndLoadsAreRefused)
{
    Plate plate(2, 2, 1.0, 1.0, 1.0);
    plate.model.fix(plate.at(0, 0).get(), U, 1);
    plate.model.fix(plate.at(0, 0).get(), V, 1);
    plate.model.fix(plate.at(1, 0).get(), V, 1);
    // A free node that no element stiffens: its u is the first zero row.
    auto loose = node(9, 5, 5);
    plate.model.addNode(loose);
    EXPECT_EQ(wideText([&] { plate.model.solveStatic(plate.loads()); }),
              L"Possible lack of constraint -- node:9, dof:u,  knot:24");
    EXPECT_EQ(std::wstring(CFEModelAnalysis::zeroColumnMessage(FEIndexSet{V, loose.get()})),
              L"Possible lack of constraint -- nodeID:9, dof:v");
    EXPECT_EQ(plate.model.solved, 0);

    plate.model.removeNode(loose.get());
    EXPECT_EQ(wideText([&] { plate.model.solveStatic(plate.loads()); }), L"Inadequate constraints");

    // A soft plate under a large load moves further than a tenth of its size.
    plate.force(1, 1, 0.0, 100.0);
    EXPECT_EQ(wideText([&] { plate.model.solveStatic(plate.loads()); }),
              L"Solution is unreasonable. Check boundary conditions.");
    EXPECT_THROW(plate.model.removeNode(loose.get()), CInvalidArgException);
}

TEST(FEModel, QuadrilateralModelsAreRefusedUnchanged)
{
    CFEModelAnalysis model;
    auto m = mesh_test::metal("M");
    std::shared_ptr<CFENodeAnalysis> n[4] = {node(1, 0, 0), node(2, 1, 0), node(3, 1, 1), node(4, 0, 1)};
    for (auto& each : n)
        model.addNode(each);
    model.addElement(std::make_unique<CFEQuad4>(1, n[0], n[1], n[2], n[3], m.get()));
    const CLoadCondition* lc = model.holder->curAppLC().get();
    EXPECT_EQ(wideText([&] { model.solveStatic(lc); }),
              L"Quadrilateral elements have no stiffness; solve a triangle mesh.");
    EXPECT_EQ(n[0]->lcDiscrete->find(lc), nullptr);
    EXPECT_EQ(model.activeTable.GetSize(), 0);
    EXPECT_EQ(model.loadVector, nullptr);
}

TEST(FEModel, LookupsAndExtents)
{
    Plate plate(3, 2, 2.0, 1.0, 1.0);
    for (int id = 0; id <= 5; ++id)
        EXPECT_EQ(plate.model.findElement(id), plate.model.findElementID(id)) << id;
    EXPECT_EQ(plate.model.findElement(3)->id, 3);
    EXPECT_EQ(plate.model.maxElementID(), 4);
    EXPECT_EQ(plate.model.maxNodeID(), 6);
    Point<double> p(1.0 + 1e-7, 1.0, 0.0);
    EXPECT_EQ(plate.model.findNode(p), plate.at(1, 1).get());
    EXPECT_EQ(plate.model.findNode(5), plate.at(1, 1).get());
    EXPECT_EQ(plate.model.findSameStiffness(plate.model.elements[0].get()), nullptr);
    CFEElementAnalysis* first = plate.model.elements[0].get();
    plate.model.removeElement(first);
    EXPECT_EQ(plate.model.findElement(1), nullptr);
    EXPECT_THROW(plate.model.removeElement(first), CInvalidArgException);

    CFEModelAnalysis single;
    single.addNode(node(1, 1, 2));
    Point<double> lo, hi;
    single.extents(&lo, &hi);
    EXPECT_EQ(lo.x, 1.0);
    EXPECT_EQ(hi.x, 11.0);
    EXPECT_EQ(hi.y, 12.0);
    EXPECT_EQ(hi.z, 10.0);
    EXPECT_NEAR(single.length(), std::sqrt(300.0), 1e-12);
}

TEST(FEModel, ComboShowsWhetherEachConditionIsSolved)
{
    Plate plate(2, 2, 1.0, 1.0, 1e4);
    plate.model.fix(plate.at(0, 0).get(), U, 1);
    plate.model.fix(plate.at(0, 0).get(), V, 1);
    plate.model.fix(plate.at(1, 0).get(), V, 1);
    plate.force(1, 1, 1.0, 0.0);
    plate.model.holder->addLoadCondition(LoadCase, CString("Other"));

    FakeCombo before;
    plate.model.buildLdCdnCombo(&before);
    ASSERT_EQ(before.items.size(), 2u);
    EXPECT_EQ(before.items[0], L"Finite Element Loads (Unsolved, Finite Element Load Case)");
    EXPECT_EQ(before.items[1], L"Other (Unsolved, )");
    EXPECT_EQ(before.data[1], plate.model.holder->loadConditions[1].get());
    EXPECT_EQ(before.selected, 0);
    EXPECT_EQ(before.top, 0);

    plate.model.solveStatic(plate.loads());
    FakeCombo after;
    plate.model.buildLdCdnCombo(&after);
    EXPECT_EQ(after.items[0], L"Finite Element Loads (Solved, Finite Element Load Case)");

    plate.model.addNode(node(7, 3, 3));
    FakeCombo changed;
    plate.model.buildLdCdnCombo(&changed);
    EXPECT_EQ(changed.items[0], L"Finite Element Loads (Unsolved, Finite Element Load Case)");
}

TEST(FEModel, BulkDataFileInTheClassicLocale)
{
    CFEModelAnalysis model;
    auto n = node(12, 1.5, 0);
    model.addNode(n);
    for (int code : {U, V, W})
        model.fix(n.get(), code, 1);
    const std::string path = ::testing::TempDir() + "lorimant_grid.bdf";
    CString wide(path.c_str());
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaPoint));
    model.writeBDF(wide);
    std::locale::global(previous);
    EXPECT_EQ(fileText(path), "BULK DATA\nGRID,12,,1.5,0,0,,123\nEND DATA");

    auto all = node(3, -0.25, 2e6);
    auto free = node(4, 1.0 / 3.0, 0);
    for (int code = 367; code <= 372; ++code)
        all->fix(code, 1);
    CFEModelAnalysis two;
    two.addNode(all);
    two.addNode(free);
    two.writeBDF(wide);
    EXPECT_EQ(fileText(path), "BULK DATA\nGRID,3,,-0.25,2e+06,0,,123456\nGRID,4,,0.333333,0,0,,\nEND DATA");
    std::remove(path.c_str());

    CString nowhere(L"/nonexistent-folder/x.bdf");
    EXPECT_THROW(model.writeBDF(nowhere), std::runtime_error);
}
