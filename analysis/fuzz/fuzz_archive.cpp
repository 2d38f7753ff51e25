// Loads arbitrary bytes as an archive of the library's registered classes,
// then uses what loaded: a few read-only members, and storing it again,
// whose bytes must load and store to the same bytes.
//
// The first byte picks the way of loading:
//   0: one object taken by an owner (ReadOwned), as a document takes one;
//   1: up to 16 objects in a row, each taken by an owner;
//   2: one object of the class chosen by the second byte, its Serialize
//      called directly, as an owner does for a member held by value.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <sstream>
#include <vector>

// The leak checker exists only in sanitized builds; elsewhere pausing it is
// a no-op, so the target builds and replays in every configuration.
#if defined(__SANITIZE_ADDRESS__)
#define LORIMANT_HAVE_LSAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define LORIMANT_HAVE_LSAN 1
#endif
#endif
#if defined(LORIMANT_HAVE_LSAN)
#include <sanitizer/lsan_interface.h>
#endif

#include "analysis/geometry/Bspline.h"
#include "analysis/geometry/CCompositeCurve.h"
#include "analysis/geometry/Matrix.h"
#include "analysis/geometry/PowerSeries.h"
#include "analysis/model/CGrid.h"
#include "analysis/model/CLoadCdnFactor.h"
#include "analysis/model/CLoadCase.h"
#include "analysis/model/CLoadCombination.h"
#include "analysis/model/CLoadCondition.h"
#include "analysis/model/CMetal.h"
#include "analysis/model/CPointForce.h"
#include "analysis/model/LightProperties.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"

namespace {

// Pauses and resumes leak detection where the leak checker is linked in.
void pauseLeakChecks()
{
#if defined(LORIMANT_HAVE_LSAN)
    __lsan_disable();
#endif
}

void resumeLeakChecks()
{
#if defined(LORIMANT_HAVE_LSAN)
    __lsan_enable();
#endif
}

using Objects = std::vector<std::unique_ptr<CObject>>;
using Bytes = std::vector<BYTE>;

// Read-only uses of a loaded object, by class. Any exception is a fair
// answer to odd data; only sanitizer reports and crashes are findings.
struct Use {
    const CRuntimeClass* cls;
    std::function<void(const CObject&)> use;
};

template <class T>
const T& as(const CObject& o)
{
    return static_cast<const T&>(o);
}

const std::vector<Use>& uses()
{
    static const std::vector<Use> table{
        {RUNTIME_CLASS(CMetal), [](const CObject& o) {
             const auto& m = as<CMetal>(o);
             (void)m.plasticYieldStrain(true, true);
             (void)m.minYield(false);
             (void)m.compliance();
         }},
        {RUNTIME_CLASS(CLoadCombination), [](const CObject& o) {
             const auto& c = as<CLoadCombination>(o);
             (void)c.isSectionForces();
             (void)c.findLdCaseFactor(CString(L"LC1"));
         }},
        {RUNTIME_CLASS(CLoadCondition), [](const CObject& o) {
             const auto& c = as<CLoadCondition>(o);
             (void)c.name();
             (void)c.isSectionForces();
             (void)c.empty();
             (void)c.isEnvelope();
             (void)c.findLoad(1);
         }},
        {RUNTIME_CLASS(CLoadCase), [](const CObject& o) {
             const auto& c = as<CLoadCase>(o);
             (void)c.bDuplicated();
             (void)c.findNthLoad(0);
         }},
        {RUNTIME_CLASS(CPointForce), [](const CObject& o) {
             double a = 0, b = 0;
             as<CPointForce>(o).jointFz(0.0, 10.0, &a, &b);
             (void)as<CPointForce>(o).Mx(1.0);
         }},
        {RUNTIME_CLASS(Matrix), [](const CObject& o) {
             const auto& m = as<Matrix>(o);
             (void)m.transpose();
             (void)m.isSymmetric(1e-6);
             (void)m.maxval();
         }},
        {RUNTIME_CLASS(PowerSeries), [](const CObject& o) {
             const auto& p = as<PowerSeries>(o);
             (void)p.eval(0.5);
             (void)p.coefSum();
         }},
        {RUNTIME_CLASS(Bspline), [](const CObject& o) {
             const auto& s = as<Bspline>(o);
             Point<double> p;
             s.eval(s.startParameter(), &p, 1e-8);
             s.tangent(s.localMidParameter(), &p);
         }},
        {RUNTIME_CLASS(CCompositeCurve), [](const CObject& o) {
             const auto& c = as<CCompositeCurve>(o);
             (void)c.isClosed();
             (void)c.startPoint();
             (void)c.isLinear();
         }},
        {RUNTIME_CLASS(CGrid), [](const CObject& o) {
             (void)as<CGrid>(o).width();
             (void)as<CGrid>(o).height();
         }},
    };
    return table;
}

void use(const CObject& object)
{
    object.AssertValid();
    std::ostringstream text;
    CDumpContext dc(&text);
    object.Dump(dc);
    for (const Use& u : uses()) {
        if (!object.IsKindOf(u.cls))
            continue;
        try {
            u.use(object);
        } catch (...) {
        }
    }
}

// The classes that mode 2 can create and fill in place.
const std::vector<const CRuntimeClass*>& inPlaceClasses()
{
    static const std::vector<const CRuntimeClass*> classes{
        RUNTIME_CLASS(CMetal),          RUNTIME_CLASS(CLoadCombination), RUNTIME_CLASS(CLoadCondition),
        RUNTIME_CLASS(CLoadCase),       RUNTIME_CLASS(CLoadCdnFactor),   RUNTIME_CLASS(CPointForce),
        RUNTIME_CLASS(Matrix),          RUNTIME_CLASS(PowerSeries),      RUNTIME_CLASS(Bspline),
        RUNTIME_CLASS(CCompositeCurve), RUNTIME_CLASS(CGrid),            RUNTIME_CLASS(LightProperties),
    };
    return classes;
}

// Loads objects from the bytes as `mode` says; what loaded before a
// failure is kept (its owner would free it).
void load(int mode, const BYTE* data, std::size_t size, Objects& objects)
{
    CMemFile file(data, static_cast<UINT>(size));
    CArchive ar(&file, CArchive::load);
    if (mode == 2) {
        if (size == 0)
            return;
        const auto& classes = inPlaceClasses();
        const CRuntimeClass* cls = classes[data[0] % classes.size()];
        BYTE skip = 0;
        ar >> skip;
        std::unique_ptr<CObject> object(cls->CreateObject());
        object->Serialize(ar);
        objects.push_back(std::move(object));
        return;
    }
    const int count = mode == 0 ? 1 : 16;
    for (int i = 0; i < count && (i == 0 || ar.BytesLeft() > 0); ++i)
        objects.emplace_back(ar.ReadOwned(nullptr));
}

// The bytes of the objects stored one after the other.
Bytes store(const Objects& objects)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        for (const auto& object : objects)
            ar.WriteObject(object.get());
        ar.Close();
    }
    return file.GetBytes();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const int mode = data[0] % 3;
    ++data;
    --size;
    // A CObList does not own its elements; a bare list at the top would
    // leave them to nobody. Leaks are not looked for in such inputs.
    const bool bareList = std::search(data, data + size, "CObList", "CObList" + 7) != data + size;
    if (bareList)
        pauseLeakChecks();

    Objects objects;
    bool complete = true;
    try {
        load(mode, data, size, objects);
    } catch (...) {
        complete = false;
    }
    for (const auto& object : objects)
        if (object)
            use(*object);

    // What loaded stores; what it stored loads again and stores the same
    // bytes (the first store is the canonical form of the input).
    if (complete && mode != 2) {
        try {
            const Bytes first = store(objects);
            Objects again;
            load(1, first.data(), first.size(), again);
            if (store(again) != first)
                __builtin_trap();
        } catch (...) {
            __builtin_trap();
        }
    }
    objects.clear();
    if (bareList)
        resumeLeakChecks();
    return 0;
}
