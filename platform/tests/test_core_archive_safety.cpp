// Loading hostile archives safely: the owning read, the nesting limit and
// what a reader can learn of the bytes left.
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/CList.h"
#include "platform/core/CString.h"
#include "platform/tests/AllocationProbe.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <pthread.h>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

void put16(Bytes& b, unsigned v)
{
    b.push_back(static_cast<BYTE>(v & 0xFF));
    b.push_back(static_cast<BYTE>(v >> 8));
}

// A new CObList class tag (schema 0).
void listClass(Bytes& b)
{
    put16(b, 0xFFFF);
    put16(b, 0);
    put16(b, 7);
    for (char c : std::string("CObList"))
        b.push_back(static_cast<BYTE>(c));
}

// `depth` lists, each holding the next as its only element; the innermost
// holds nothing.
Bytes nestedLists(int depth)
{
    Bytes b;
    listClass(b);
    put16(b, depth > 1 ? 1 : 0);
    for (int i = 1; i < depth; ++i) {
        put16(b, 0x8001);
        put16(b, i + 1 < depth ? 1 : 0);
    }
    return b;
}

int archiveCause(const Bytes& bytes, const std::function<void(CArchive&)>& read)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    try {
        read(ar);
    } catch (const CArchiveException& e) {
        return e.m_cause;
    }
    return -1;
}

// Frees a list of lists, as their owner would.
void deleteNested(CObject* object)
{
    while (auto* list = dynamic_cast<CObList*>(object)) {
        object = list->IsEmpty() ? nullptr : list->GetHead();
        delete list;
    }
}

} // namespace

// Lists nested 100,000 deep stop with an exception instead of a stack
// overflow, on the main thread and on a thread with a small stack, where
// the stack runs short long before the depth limit; a modest nesting loads.
TEST(CoreArchiveSafety, NestingDepthIsLimited)
{
    const Bytes deep = nestedLists(100000);
    const auto loadAndFree = [](CArchive& ar) { deleteNested(ar.ReadObject(nullptr)); };
    EXPECT_EQ(archiveCause(deep, loadAndFree), CArchiveException::genericException);
    EXPECT_EQ(archiveCause(nestedLists(1000), loadAndFree), -1);

    int causeOnSmallStack = 0;
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 1 << 20);
    struct Job {
        const Bytes* bytes;
        int* cause;
    } job{&deep, &causeOnSmallStack};
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attr, [](void* p) -> void* {
        auto* j = static_cast<Job*>(p);
        *j->cause = archiveCause(*j->bytes, [](CArchive& ar) { deleteNested(ar.ReadObject(nullptr)); });
        return nullptr;
    }, &job), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
    EXPECT_EQ(causeOnSmallStack, CArchiveException::genericException);
}

// The owning read takes null and new objects; a back-reference, which
// ReadObject returns as the shared object, is refused.
TEST(CoreArchiveSafety, OwnedReadRefusesBackReferences)
{
    Bytes b;
    listClass(b);
    put16(b, 0);   // an empty list, index 2
    put16(b, 0);   // null
    put16(b, 2);   // the list again
    put16(b, 2);   // and again

    CMemFile file(b.data(), static_cast<UINT>(b.size()));
    CArchive ar(&file, CArchive::load);
    std::unique_ptr<CObject> list(ar.ReadOwned(nullptr));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ar.ReadOwned(nullptr), nullptr);
    EXPECT_EQ(ar.ReadObject(nullptr), list.get());
    try {
        ar.ReadOwned(nullptr);
        ADD_FAILURE() << "a back-reference was taken as owned";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::badIndex);
    }
}

// A list that holds itself: the shared read gives the list back, the owning
// read refuses the object still being loaded.
TEST(CoreArchiveSafety, OwnedReadRefusesAnObjectBeingLoaded)
{
    Bytes b;
    listClass(b);
    put16(b, 1);
    put16(b, 2);
    CMemFile file(b.data(), static_cast<UINT>(b.size()));
    CArchive ar(&file, CArchive::load);
    std::unique_ptr<CObList> list(static_cast<CObList*>(ar.ReadObject(nullptr)));
    ASSERT_EQ(list->GetCount(), 1);
    EXPECT_EQ(list->GetHead(), list.get());
}

// Bytes left: the buffered ones and the rest of the file, also after a
// read that went through the buffer.
TEST(CoreArchiveSafety, BytesLeft)
{
    const Bytes bytes(1000, 7);
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load, 128);
    EXPECT_EQ(ar.BytesLeft(), 1000u);
    BYTE buffer[300];
    ar.EnsureRead(buffer, 10);
    EXPECT_EQ(ar.BytesLeft(), 990u);
    ar.EnsureRead(buffer, 300);
    EXPECT_EQ(ar.BytesLeft(), 690u);
    ar.EnsureRead(buffer, 290);
    EXPECT_EQ(ar.BytesLeft(), 400u);
}

// A stored count or length that the bytes left cannot fill is refused
// before anything is made for it: 2^28 doubles would be 2 GiB, 2^30
// UTF-16 units 2 GiB, with 8 bytes of data behind them.
TEST(CoreArchiveSafety, CountsBeyondTheBytesLeftAreRefusedBeforeAllocating)
{
    struct Case {
        const char* what;
        Bytes prefix;
        std::function<void(CArchive&)> read;
    };
    const Case cases[] = {
        {"array of doubles", {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x10},
         [](CArchive& ar) { CArray<double> a; a.Serialize(ar); }},
        {"array of strings", {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x10},
         [](CArchive& ar) { CStringArray a; a.Serialize(ar); }},
        {"list of ints", {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x10},
         [](CArchive& ar) { CList<int> l; l.Serialize(ar); }},
        {"object list", {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x10},
         [](CArchive& ar) { CObList l; l.Serialize(ar); }},
        {"wide string", {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40},
         [](CArchive& ar) { CString t; ar >> t; }},
        {"narrow string", {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x40},
         [](CArchive& ar) { CStringA t; ar >> t; }},
    };
    for (const Case& c : cases) {
        Bytes b = c.prefix;
        b.resize(b.size() + 8, 0x41);
        CMemFile file(b.data(), static_cast<UINT>(b.size()));
        CArchive ar(&file, CArchive::load);
        int cause = CArchiveException::none;
        const auto usage = allocation_probe::measure([&] {
            try {
                c.read(ar);
            } catch (const CArchiveException& e) {
                cause = e.m_cause;
            }
        });
        EXPECT_EQ(cause, CArchiveException::endOfFile) << c.what;
        if (usage.measured) {
            EXPECT_LT(usage.largestRequest, 4096u) << c.what;
        }
    }
}
