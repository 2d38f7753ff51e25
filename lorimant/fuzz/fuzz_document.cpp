// Fuzz target of the whole section document: the input is opened as a
// .qhscn file by the document's own open (header, picture, section model,
// shapes, sub-sections, meshes, welds, finite-element records), and a model
// that loads is used as a user would: its section properties computed, the
// current sub-section meshed with few nodes, one analysis run, the document
// saved to memory and opened again. The reopened tree must be the saved one:
// a file the program writes and then reads back differently is lost work, so
// a difference aborts.
//
// The input's size picks the analysis and the mesh element type, as the
// bytes all belong to the file.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/model/CLog.h"
#include "analysis/model/Globals.h"
#include "analysis/model/Utilities.h"
#include "drevoline/mesh/CMesh.h"
#include "drevoline/mesh/CWeld.h"
#include "drevoline/section/CShapeAnalysis.h"
#include "drevoline/section/CSubSection.h"
#include "drevoline/section/CXSectionAnalysis.h"
#include "lorimant/automation/ILorimant.h"
#include "lorimant/automation/MaterialRecord.h"
#include "lorimant/document/CXSectionAnalysisDoc.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/Hooks.h"
#include "platform/sqldb/CSQLDatabase.h"

namespace {

namespace fs = std::filesystem;

// Models larger than this are opened, saved and reopened, but not computed,
// meshed or analysed: legitimate big sections would otherwise take the
// fuzzer past its time limit on every mutation.
constexpr int kMaxShapes = 16;
constexpr int kMaxSubSections = 16;
constexpr long kMaxControlPoints = 400;
constexpr long kMaxMeshNodes = 3000;
constexpr int kMeshNodes = 10;

// A private home for the journals and a data folder whose material
// database holds the metal the seed documents use.
struct Scratch {
    fs::path root;
    fs::path file;
};

const Scratch& scratch()
{
    static const Scratch s = [] {
        char pattern[] = "/tmp/lorimant_fuzz_document_XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made == nullptr) std::abort();
        return Scratch{fs::path(made), fs::path(made) / "input.qhscn"};
    }();
    return s;
}

// The metal "alloy" of the seed documents (US customary units).
void writeMaterialDatabase(const fs::path& file)
{
    CSQLDatabase db(file.wstring());
    db.createDatabase(file.wstring());
    db.createMetalTable();
    db.createControlsTable();
    MaterialRecord record;
    CMetal& m = record.metal;
    m.name = L"alloy";
    m.E(10000);
    m.Ec = 10000;
    m.Gshear(10000 / 2.6);
    m.nu(0.3);
    m.density(0.1);
    m.Fty_L = m.Fty_LT = m.Fcy_L = m.Fcy_LT = 50;
    m.Ftu_L = m.Ftu_LT = m.Fcu_L = m.Fcu_LT = 60;
    m.Fsu_L = m.Fsu_LT = 40;
    m.alpha = {0.002, 0.002, 0.002, 0.002};
    m.nYield = {10, 10, 10, 10};
    m.nUltimate = {10, 10, 10, 10};
    record.write(db, false);
    db.close();
}

void removeScratch()
{
    std::error_code ignored;
    fs::remove_all(scratch().root, ignored);
}

// Message boxes are answered with their default button and not kept: the
// recording default would grow with every input.
void quietHooks()
{
    Hooks::setMessageBox([](const CString&, const CString&, UINT type) { return Hooks::defaultAnswer(type); });
    Hooks::setWaitCursor([](bool) {});
    Hooks::setStatusText([](const CString&) {});
}

// The globals a document load sets, back at their start values, so that
// each input runs alike whatever ran before it.
void resetGlobals()
{
    gUnitSystem = USCS;
    gUniqueID = 1000;
    vAveVAvezeze = nullptr;
    gModel = nullptr;
    gDeletingScn = nullptr;
    setBaseName(L"aa$$");
}

// A document as the automation start makes one: never shown, so nothing
// asks the user; its journal is removed when it closes.
class Document {
public:
    Document()
    {
        doc.hidden = true;
        doc.OnNewDocument();
        doc.MakeCurrent();
        journal = doc.journal() != nullptr ? doc.journal()->path() : std::string();
    }
    ~Document() = default;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    CXSectionAnalysisDoc doc;
    std::string journal;
};

// Closes the document (as the framework does) and removes its journal.
void close(std::unique_ptr<Document> d)
{
    const std::string journal = d->journal;
    d->doc.SaveModified();
    d->doc.OnCloseDocument();
    d.reset();
    if (!journal.empty()) std::remove(journal.c_str());
}

// Whether the model is small enough to compute, mesh and analyse.
bool withinBudget(const CXSectionAnalysis& model)
{
    if (model.shapes.GetCount() > kMaxShapes || static_cast<int>(model.subSections.size()) > kMaxSubSections)
        return false;
    long points = 0;
    std::function<void(const ShapeList*)> countShapes = [&](const ShapeList* list) {
        for (POSITION pos = list ? list->GetHeadPosition() : nullptr; pos != nullptr;) {
            const CShapeAnalysis* shape = list->GetNext(pos);
            if (shape->boundary == nullptr) continue;
            for (POSITION a = shape->boundary->arcs().GetHeadPosition(); a != nullptr;)
                points += shape->boundary->arcs().GetNext(a)->controlPoints().GetSize();
        }
    };
    countShapes(&model.shapes);
    long nodes = 0;
    for (const CSubSection* s : model.subSections) {
        countShapes(s->getUnionShapes());
        for (const CMesh* mesh : s->meshes) nodes += static_cast<long>(mesh->nodes.size()) + mesh->nNodes;
    }
    return points <= kMaxControlPoints && nodes <= kMaxMeshNodes;
}

// Any refusal or failure of a step is an answer; only crashes, sanitizer
// reports and the round-trip check below are findings.
void attempt(const std::function<void()>& step)
{
    try {
        step();
    } catch (...) {
    }
}

// Computes, meshes and analyses the current sub-section through the
// automation methods, as a script would.
void use(CXSectionAnalysisDoc& doc, std::size_t size)
{
    CXSectionAnalysis* model = doc.model();
    if (model == nullptr || !withinBudget(*model)) return;
    const CString current = model->currentName;
    attempt([&] { ILorimant::ComputeGeomSectionProperties(doc); });
    attempt([&] { ILorimant::GetValue(doc, 1); });
    // A sub-section is meshed through its union; without one its first own
    // shape is meshed. Quadrilaterals only where the analysis takes them.
    const int type = size % 8 == 7 ? 1 : 0;
    const CSubSection* sub = model->currentSubSection();
    if (sub != nullptr && sub->getUnionShapes() == nullptr && !sub->shapeList.IsEmpty()) {
        const CString shape = sub->shapeList.GetHead()->name();
        attempt([&] { ILorimant::MeshShape(doc, shape, type, kMeshNodes, 0.5, 0.0); });
    } else {
        attempt([&] { ILorimant::MeshSubSection(doc, current, type, kMeshNodes, 0.5, 0.0); });
    }
    switch (size % 4) {
    case 0:
        attempt([&] { ILorimant::ApplyBendingForces(doc, false, L"fuzz", 100.0, 1000.0, 500.0, 1); });
        break;
    case 1:
        attempt([&] { ILorimant::ApplyBendingForces(doc, true, L"fuzz", 100.0, 30.0, 1000.0, 0); });
        break;
    case 2:
        attempt([&] { ILorimant::BruhnPlasticBendingAnalysis(doc, current, L"fuzz", 20.0); });
        break;
    default:
        attempt([&] { ILorimant::ComputeCozzonePlasticMomentsGivenFo(doc, 1.0, 40.0); });
        break;
    }
}

// The bytes of the document as saving writes them.
std::vector<BYTE> save(CXSectionAnalysisDoc& doc)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    doc.Serialize(ar);
    ar.Close();
    return file.GetBytes();
}

// The tree of the model as text: one line per sub-section with its parent,
// children, own shapes, union, meshes and welds, then the count of the
// model's shapes. Orders within a sub-section count (drawing order); the
// lines are sorted, since a load reverses the flat list.
std::vector<std::string> tree(const CXSectionAnalysis& model)
{
    std::vector<std::string> lines;
    for (const CSubSection* s : model.subSections) {
        std::string line = s->name().ToUtf8() + " < " + (s->parent() ? s->parent()->name().ToUtf8() : "-") + " [";
        for (const CSubSection* c : s->children) line += c->name().ToUtf8() + ",";
        line += "] {";
        for (POSITION pos = s->shapeList.GetHeadPosition(); pos != nullptr;)
            line += s->shapeList.GetNext(pos)->name().ToUtf8() + ",";
        line += "} union " + std::to_string(s->getUnionShapes() ? s->getUnionShapes()->GetCount() : -1);
        line += " meshes " + std::to_string(s->meshes.size()) + " welds " + std::to_string(s->welds.size());
        lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    lines.push_back("shapes " + std::to_string(model.shapes.GetCount()));
    return lines;
}

// Reads the saved bytes into a new document; what the program saved it
// must read back, with the same tree.
void reopen(const std::vector<BYTE>& bytes, const std::vector<std::string>& saved)
{
    auto again = std::make_unique<Document>();
    try {
        CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
        CArchive ar(&file, CArchive::load);
        again->doc.Serialize(ar);
        ar.Close();
    } catch (...) {
        std::fprintf(stderr, "a saved document does not open again\n");
        std::abort();
    }
    if (again->doc.model() == nullptr || tree(*again->doc.model()) != saved) {
        std::fprintf(stderr, "a saved document opens with another tree\n");
        std::abort();
    }
    close(std::move(again));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const Scratch& s = scratch();
    fs::create_directories(s.root / "home");
    fs::create_directories(s.root / "data" / "lorimant");
    setenv("HOME", (s.root / "home").c_str(), 1);
    setenv("XDG_DATA_HOME", (s.root / "data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (s.root / "config").c_str(), 1);
    writeMaterialDatabase(s.root / "data" / "lorimant" / "Quenholt.sqldb");
    std::atexit(removeScratch);
    quietHooks();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    resetGlobals();
    const fs::path& path = scratch().file;
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    auto d = std::make_unique<Document>();
    CXSectionAnalysisDoc& doc = d->doc;
    if (doc.OnOpenDocument(CString::FromUtf8(path.string()))) {
        doc.MakeCurrent();
        use(doc, size);
        std::vector<BYTE> bytes;
        bool saved = true;
        try {
            bytes = save(doc);
        } catch (...) {
            saved = false;  // refused and reported to the user; nothing written
        }
        if (saved && doc.model() != nullptr) {
            const std::vector<std::string> before = tree(*doc.model());
            reopen(bytes, before);
            doc.MakeCurrent();
        }
    }
    close(std::move(d));
    return 0;
}
