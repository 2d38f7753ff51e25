// The cost of automation commands as `lorimant --run` runs them: one new
// hidden document with its windowless section view, each statement through
// the journal interpreter. Figures:
//   - AddDisk of the 10th, 100th and 400th disk (a command should cost what
//     its own work costs, not a redraw of every disk already there);
//   - the same with one picture drawn per command, as a window's paint
//     draws it (one display-list rebuild and one render);
//   - Undo of a 100-disk model, and FileOpen of a meshed I-beam document
//     of about 16,000 nodes, each also with one picture drawn after it;
//   - the command state of 1,000 picked rectangles.
// The journal goes to a profile folder of the suite's own.
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

#include <benchmark/benchmark.h>

#include "drevoline/mesh/CMesh.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/JournalInterpreter.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "lorimant/view/CThickSectionView.h"
#include "lorimant/view/HeadlessResultPane.h"

namespace {

namespace fs = std::filesystem;

// HOME and the XDG folders in a new temporary folder while the object
// lives (the journals are written there); the old values come back after.
class ProfileFolder {
public:
    ProfileFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "lorimant-bench-cmd-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        m_folder = pattern;
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
            const char* old = std::getenv(name);
            m_saved.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
            setenv(name, m_folder.c_str(), 1);
        }
    }
    ~ProfileFolder()
    {
        for (const auto& [name, value] : m_saved) {
            if (value)
                setenv(name, value->c_str(), 1);
            else
                unsetenv(name);
        }
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    const fs::path& path() const { return m_folder; }

private:
    fs::path m_folder;
    std::vector<std::pair<const char*, std::optional<std::string>>> m_saved;
};

// A hidden document, its windowless view and an interpreter on it.
class Session {
public:
    Session()
    {
        m_doc = std::make_unique<CXSectionAnalysisDoc>(&m_frame);
        m_doc->hidden = true;
        m_doc->OnNewDocument();
        m_doc->MakeCurrent();
        m_view = CThickSectionView::createFor(*m_doc);
        m_interpreter = std::make_unique<JournalInterpreter>(DocumentAutomationObject(*m_doc), m_out);
        run("xscn.SetUnitSystem QHT_SI");
    }
    ~Session()
    {
        m_interpreter.reset();
        m_view.reset();
        m_doc.reset();
    }
    // Runs one statement; a failure stops the benchmark.
    void run(const std::string& statement)
    {
        std::istringstream in(statement + "\n");
        m_out.str(std::string());
        const JournalRunResult r = m_interpreter->Run(in);
        if (!r.ok)
            throw std::runtime_error(r.line + ": " + r.description);
    }
    CThickSectionView& view() { return *m_view; }
    CXSectionAnalysisDoc& doc() { return *m_doc; }

private:
    HeadlessSectionFrame m_frame;
    std::unique_ptr<CXSectionAnalysisDoc> m_doc;
    std::unique_ptr<CThickSectionView> m_view;
    std::ostringstream m_out;
    std::unique_ptr<JournalInterpreter> m_interpreter;
};

std::string addDisk(int i)
{
    // Disks of radius 0.4 on a grid of unit pitch, 20 to a row.
    char line[128];
    std::snprintf(line, sizeof line, "xscn.AddDisk \"root\",\"D%d\",0.4,%d,%d,1", i, i % 20, i / 20);
    return line;
}

// Times the AddDisk of disk number n (n - 1 there already); the new disk
// is deleted again, untimed. drawn: one picture per command, as a window's
// paint draws it.
void timeAddDisk(benchmark::State& state, bool drawn)
{
    const int n = static_cast<int>(state.range(0));
    ProfileFolder profile;
    Session s;
    for (int i = 1; i < n; ++i)
        s.run(addDisk(i));
    if (drawn)
        s.view().renderPixels();
    const std::string add = addDisk(n);
    const std::string remove = "xscn.DeleteShape \"D" + std::to_string(n) + "\"";
    for (auto _ : state) {
        s.run(add);
        if (drawn)
            s.view().renderPixels();
        state.PauseTiming();
        s.run(remove);
        if (drawn)
            s.view().renderPixels();
        state.ResumeTiming();
    }
    state.counters["renders_per_command"] =
        benchmark::Counter(s.view().renderCount(), benchmark::Counter::kAvgIterations);
}

void BM_AddDisk(benchmark::State& state) { timeAddDisk(state, false); }
BENCHMARK(BM_AddDisk)->Arg(10)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

void BM_AddDiskDrawn(benchmark::State& state) { timeAddDisk(state, true); }
BENCHMARK(BM_AddDiskDrawn)->Arg(10)->Arg(100)->Arg(400)->Unit(benchmark::kMillisecond);

// Undo of the 100th disk of a 100-disk model; the redo is untimed. drawn:
// one picture after the undo, as a window's paint draws it.
void timeUndo(benchmark::State& state, bool drawn)
{
    ProfileFolder profile;
    Session s;
    for (int i = 1; i <= 100; ++i)
        s.run(addDisk(i));
    for (auto _ : state) {
        s.run("xscn.Undo");
        if (drawn)
            s.view().renderPixels();
        state.PauseTiming();
        s.run("xscn.Redo");
        state.ResumeTiming();
    }
    state.counters["renders"] = s.view().renderCount();
}

void BM_Undo100Disks(benchmark::State& state) { timeUndo(state, false); }
BENCHMARK(BM_Undo100Disks)->Unit(benchmark::kMillisecond);

void BM_Undo100DisksDrawn(benchmark::State& state) { timeUndo(state, true); }
BENCHMARK(BM_Undo100DisksDrawn)->Unit(benchmark::kMillisecond);

// FileOpen of an I-beam meshed into about 16,000 nodes; drawn: one picture
// after it, as a window's paint draws it.
void timeFileOpen(benchmark::State& state, bool drawn)
{
    ProfileFolder profile;
    const std::string file = (profile.path() / "ibeam.qhscn").string();
    std::size_t nodes = 0;
    {
        Session maker;
        maker.run("xscn.CreateDatabase \"" + (profile.path() / "materials.sqldb").string() + "\"");
        maker.run("xscn.AddMaterialDef \"steel\",\"Steel\",\"Plate\",\"T1\",\"Any\",\"S\",\"SI\",\"S1\",True,29000,"
                  "29000,7.8,1,65,65,50,50,50,50,65,65,40,40,0.3,11000,0,0,0,0,0.5,0.5,0.5,0.002,0.002,0.002,"
                  "0.002,10,10,10,10,10,10,10,10,0.01,0.01");
        maker.run("xscn.AddIBeam \"root\",\"I1\",10,1,4,1.2,9,1.2,0.5,0.5,90,4,1.2,9,1.2,0.5,0.5,90,0,3,0,0,0,0,0");
        maker.run("xscn.ApplyMaterialToAll \"root\",\"steel\"");
        maker.run("xscn.SetCurrentSubSection \"I1\"");
        maker.run("xscn.MeshSubSection \"I1\",TRIANGLE_3NODES,16000,0.01,1");
        maker.run("xscn.FileSave \"" + file + "\"");
        for (const CSubSection* sub : maker.doc().model()->subSections)
            for (const CMesh* m : sub->meshes)
                nodes += m->nodes.size();
    }
    Session s;
    for (auto _ : state) {
        s.run("xscn.FileOpen \"" + file + "\"");
        if (drawn)
            s.view().renderPixels();
    }
    state.counters["nodes"] = static_cast<double>(nodes);
    state.counters["MB"] = static_cast<double>(fs::file_size(file)) / 1e6;
    state.counters["renders"] = s.view().renderCount();
}

void BM_FileOpenMeshedIBeam(benchmark::State& state) { timeFileOpen(state, false); }
BENCHMARK(BM_FileOpenMeshedIBeam)->Unit(benchmark::kMillisecond);

void BM_FileOpenMeshedIBeamDrawn(benchmark::State& state) { timeFileOpen(state, true); }
BENCHMARK(BM_FileOpenMeshedIBeamDrawn)->Unit(benchmark::kMillisecond);

// The command state of a section of 1,000 rectangles, all picked, asked 50
// times (as the updates of the ribbon ask it). limit_ratio: the time over
// the 3 s the test once allowed (a scan of the records per pick took that).
void BM_CommandStateOfAFullyPickedSection(benchmark::State& state)
{
    ProfileFolder profile;
    Session s;
    CXSectionAnalysis* model = s.doc().model();
    for (int i = 0; i < 1000; ++i) {
        auto* shape = new CShapeAnalysis(model);
        CString name;
        name.Format(L"s%d", i);
        shape->sector(model->rootSubSection(), model, name, (i % 40) * 3.0, (i / 40) * 3.0, 2, 2, 0, 90, 90,
                      qhtShapeRectangle, 0, 1, 0.0, false);
    }
    s.view().updateDisplayLists();
    s.view().selectAllShapes();
    for (auto _ : state)
        for (int i = 0; i < 50; ++i)
            benchmark::DoNotOptimize(s.view().commandState());
    state.counters["limit_ratio"] = benchmark::Counter(
        3.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CommandStateOfAFullyPickedSection)->Unit(benchmark::kMillisecond);

}  // namespace
