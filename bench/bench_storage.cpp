// Storing and loading a section model through CXSectionAnalysis::Serialize
// over an in-memory file: 1,000 shapes and one mesh of about 10,000 nodes.
// There is no peer; the figure is the throughput in MB/s (bytes_per_second
// and the store_MBps / load_MBps counters). Loading fetches the model's
// material from its material database, so the suite makes one with that
// material in a folder of its own.
#include <stdlib.h>

#include <array>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <benchmark/benchmark.h>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/Globals.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/sqldb/CSQLDatabase.h"

namespace {

constexpr int kShapes = 1000;
constexpr int kMeshExtraNodes = 10000;

namespace fs = std::filesystem;

// A material database in a new temporary folder holding one metal called
// name; the folder goes with the object.
class MaterialDatabase {
public:
    explicit MaterialDatabase(const wchar_t* name)
    {
        std::string pattern = (fs::temp_directory_path() / "lorimant-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        m_folder = pattern;
        CSQLDatabase db(file().wstring());
        db.createDatabase(file().wstring());
        db.createMetalTable();
        db.createControlsTable();
        std::array<double, 37> values;
        values.fill(1.0);
        std::apply([&](auto... v) { db.addMetal(name, L"Steel", L"Plate", L"-", L"-", L"-", L"USCSin", L"-", true, v...); },
                   values);
    }
    ~MaterialDatabase()
    {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    fs::path file() const { return m_folder / "materials.sqldb"; }

private:
    fs::path m_folder;
};

// The model to store, built once: 999 small rectangles on a grid and one
// large rectangle meshed with about kMeshExtraNodes extra nodes.
struct StoredSection {
    MaterialDatabase database{L"steel"};
    std::shared_ptr<CMetal> steel = std::make_shared<CMetal>();
    CXSectionAnalysis model;
    CMesh* mesh = nullptr;

    StoredSection()
    {
        steel->name = L"steel";
        model.materialDatabasePath = CString(database.file().wstring().c_str());
        model.materials.AddTail(steel);
        CSubSection* root = model.rootSubSection();
        for (int i = 0; i < kShapes - 1; ++i)
            rectangle(root, i, 2.0 * (i % 40), 2.0 * (i / 40) + 100.0, 1.0, 1.0);
        CShapeAnalysis* big = rectangle(root, kShapes - 1, 0.0, 0.0, 80.0, 40.0);
        mesh = new CMesh();
        root->meshes.push_back(mesh);
        mesh->maxRemoves = INT_MAX;
        mesh->name = big->name();
        mesh->setModel(&model);
        mesh->create(kMeshExtraNodes, big->boundary, 0, nullptr, nullptr, 1.0, nullptr);
        mesh->material = steel;
        mesh->setMaterial(steel);
        mesh->create2DFEM(1.0);
    }

    CShapeAnalysis* rectangle(CSubSection* root, int i, double x0, double y0, double w, double h)
    {
        auto* s = new CShapeAnalysis(&model);
        char text[16];
        std::snprintf(text, sizeof text, "s%d", i);
        CString name(text);
        s->sector(root, &model, name, x0, y0, w, h, 0.0, 90.0, 90.0, qhtShapeRectangle, 0, 1, 0.0, false);
        s->boundary->name(name);
        return s;
    }

    // Makes the model the current one again (a loaded model took its place).
    void makeCurrent()
    {
        vAveVAvezeze = &model;
        gModel = &model;
    }

    std::vector<BYTE> store()
    {
        makeCurrent();
        CMemFile file(1 << 20);
        {
            CArchive ar(&file, CArchive::store);
            model.Serialize(ar);
            ar.Close();
        }
        return file.GetBytes();
    }
};

StoredSection& storedSection()
{
    static StoredSection section;
    return section;
}

void reportSize(benchmark::State& state, const StoredSection& s, std::size_t bytes, const char* counter)
{
    const double n = static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
    state.counters["stored_MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["mesh_nodes"] = static_cast<double>(s.mesh->nodes.size());
    state.counters["shapes"] = static_cast<double>(s.model.shapes.GetCount());
    state.counters[counter] = benchmark::Counter(static_cast<double>(bytes) * n / 1e6, benchmark::Counter::kIsRate);
}

void BM_SectionStore(benchmark::State& state)
{
    StoredSection& s = storedSection();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::vector<BYTE> stored = s.store();
        bytes = stored.size();
        benchmark::DoNotOptimize(stored.data());
    }
    reportSize(state, s, bytes, "store_MBps");
}

void BM_SectionLoad(benchmark::State& state)
{
    StoredSection& s = storedSection();
    const std::vector<BYTE> stored = s.store();
    for (auto _ : state) {
        CMemFile file(stored.data(), static_cast<UINT>(stored.size()));
        CArchive ar(&file, CArchive::load);
        CXSectionAnalysis back;
        back.Serialize(ar);
        CSubSection* root = back.rootSubSection();
        if (back.shapes.GetCount() != s.model.shapes.GetCount() || !root || root->meshes.size() != 1 ||
            root->meshes[0]->nodes.size() != s.mesh->nodes.size()) {
            state.SkipWithError("the loaded model differs from the stored one");
            break;
        }
    }
    s.makeCurrent();
    reportSize(state, s, stored.size(), "load_MBps");
}

}  // namespace

BENCHMARK(BM_SectionStore)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SectionLoad)->Unit(benchmark::kMillisecond);
