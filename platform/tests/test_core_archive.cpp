// Byte layout and behaviour of the binary archive: strings, counts, object
// references with their class and back-reference tags, schemas, errors and
// the hand-over of the file position on Flush.
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/CString.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

Bytes stored(const std::function<void(CArchive&)>& write)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        write(ar);
        ar.Close();
    }
    return file.GetBytes();
}

void loaded(const Bytes& bytes, const std::function<void(CArchive&)>& read)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    read(ar);
}

Bytes prefix(const Bytes& b, std::size_t n)
{
    return Bytes(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(std::min(n, b.size())));
}

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes ascii(const char* s)
{
    return Bytes(s, s + std::char_traits<char>::length(s));
}

int archiveCause(const std::function<void()>& f)
{
    try {
        f();
    } catch (const CArchiveException& e) {
        return e.m_cause;
    }
    return -1;
}

} // namespace

// A serialisable class with a 15-letter name holding an int and a link to
// another object of its kind (written as an object reference).
class CFifteenLetters : public CObject {
    DECLARE_SERIAL(CFifteenLetters)
public:
    int value = 0;
    CFifteenLetters* link = nullptr;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << value;
            ar << link;
        } else {
            ar >> value;
            ar >> link;
        }
    }
};
IMPLEMENT_SERIAL(CFifteenLetters, CObject, 1)

// An unrelated serialisable class, for class checks.
class CCoreOtherThing : public CObject {
    DECLARE_SERIAL(CCoreOtherThing)
public:
    void Serialize(CArchive&) override {}
};
IMPLEMENT_SERIAL(CCoreOtherThing, CObject, 1)

// A class that accepts any stored schema and remembers the one it was given.
class CCoreVersioned : public CObject {
    DECLARE_SERIAL(CCoreVersioned)
public:
    UINT seen = 0;
    UINT seenAgain = 0;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsLoading()) {
            seen = ar.GetObjectSchema();
            seenAgain = ar.GetObjectSchema();
        }
    }
};
IMPLEMENT_SERIAL(CCoreVersioned, CObject, VERSIONABLE_SCHEMA | 3)

// The same layout without the versionable flag.
class CCoreFixedSchema : public CObject {
    DECLARE_SERIAL(CCoreFixedSchema)
public:
    void Serialize(CArchive&) override {}
};
IMPLEMENT_SERIAL(CCoreFixedSchema, CObject, 3)

TEST(CoreArchiveString, WideFormBytes)
{
    EXPECT_EQ(stored([](CArchive& ar) { ar << CString(); }), (Bytes{0xFF, 0xFE, 0xFF, 0x00}));
    EXPECT_EQ(stored([](CArchive& ar) { ar << CString(L"Al"); }),
              (Bytes{0xFF, 0xFE, 0xFF, 0x02, 0x41, 0x00, 0x6C, 0x00}));

    // 300 = 0x012C: the byte marker 0xFF, then the word length.
    const Bytes long300 = stored([](CArchive& ar) { ar << CString(L'x', 300); });
    EXPECT_EQ(prefix(long300, 6), (Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01}));
    EXPECT_EQ(long300.size(), 6u + 600u);

    // 254 units still fit the byte length; 0xFFFE units need the dword form
    // (byte 0xFF, word 0xFFFF, then the dword 0x0000FFFE).
    EXPECT_EQ(prefix(stored([](CArchive& ar) { ar << CString(L'x', 254); }), 4), (Bytes{0xFF, 0xFE, 0xFF, 0xFE}));
    EXPECT_EQ(prefix(stored([](CArchive& ar) { ar << CString(L'x', 0xFFFE); }), 10),
              (Bytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}));
}

TEST(CoreArchiveString, AstralCharacterUsesSurrogatePair)
{
    const CString smile(L"a\U0001F600b");
    ASSERT_EQ(smile.GetLength(), 3);
    const Bytes bytes = stored([&](CArchive& ar) { ar << smile; });
    // Four UTF-16 units: a, D83D, DE00, b.
    EXPECT_EQ(bytes, (Bytes{0xFF, 0xFE, 0xFF, 0x04, 0x61, 0x00, 0x3D, 0xD8, 0x00, 0xDE, 0x62, 0x00}));
    CString back;
    loaded(bytes, [&](CArchive& ar) { ar >> back; });
    EXPECT_EQ(back, smile);
}

TEST(CoreArchiveString, RoundTripOfLengthsAcrossEveryForm)
{
    for (int n : {0, 1, 254, 255, 300, 0xFFFD, 0xFFFE, 70000}) {
        const CString s(L'\u00B5', n);
        CString back(L"stale");
        loaded(stored([&](CArchive& ar) { ar << s; }), [&](CArchive& ar) { ar >> back; });
        EXPECT_EQ(back.GetLength(), n);
        EXPECT_TRUE(back == s) << n;
    }
}

TEST(CoreArchiveString, NarrowFormReadsBack)
{
    // Byte length without the wide marker, then Windows-1252 bytes: 0xB5 is µ, 0x80 the euro sign.
    const Bytes narrow{0x05, 'B', 's', 0xB5, 0x80, '!'};
    CString wide;
    loaded(narrow, [&](CArchive& ar) { ar >> wide; });
    EXPECT_TRUE(wide == L"Bs\u00B5\u20AC!");

    // The same with the word length form (0xFF, then a word).
    Bytes longer{0xFF, 0x2C, 0x01};
    longer.insert(longer.end(), 300, 'q');
    loaded(longer, [&](CArchive& ar) { ar >> wide; });
    EXPECT_TRUE(wide == CString(L'q', 300));

    CStringA bytes;
    loaded(narrow, [&](CArchive& ar) { ar >> bytes; });
    EXPECT_EQ(bytes.str(), std::string("Bs\xB5\x80!"));
}

TEST(CoreArchiveValues, ScalarEncodings)
{
    const Bytes bytes = stored([](CArchive& ar) {
        ar << static_cast<short>(-2) << static_cast<WORD>(0xABCD) << -3 << 0xDEADBEEFu << 7L << static_cast<BYTE>(0x7F)
           << true << 1.5f << 1.0 << static_cast<long long>(-1);
    });
    EXPECT_EQ(bytes, (Bytes{0xFE, 0xFF,                                          // int16 -2
                            0xCD, 0xAB,                                          // uint16
                            0xFD, 0xFF, 0xFF, 0xFF,                              // int32 -3
                            0xEF, 0xBE, 0xAD, 0xDE,                              // uint32
                            0x07, 0x00, 0x00, 0x00,                              // long: 4 bytes
                            0x7F,                                                // BYTE
                            0x01,                                                // bool
                            0x00, 0x00, 0xC0, 0x3F,                              // float 1.5
                            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F,      // double 1.0
                            0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));   // int64 -1

    long l = 0;
    unsigned long ul = 0;
    loaded(Bytes{0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, [&](CArchive& ar) { ar >> l >> ul; });
    EXPECT_EQ(l, -2L);
    EXPECT_EQ(ul, 0xFFFFFFFFul);

    // A long that does not fit in four bytes is refused rather than cut.
    EXPECT_EQ(archiveCause([] { stored([](CArchive& ar) { ar << (1L << 40); }); }), CArchiveException::genericException);
}

TEST(CoreArchiveValues, AnyNonZeroByteReadsTrue)
{
    bool a = false, b = true, c = false;
    loaded(Bytes{0x02, 0x00, 0xFF}, [&](CArchive& ar) { ar >> a >> b >> c; });
    EXPECT_TRUE(a);
    EXPECT_FALSE(b);
    EXPECT_TRUE(c);
}

TEST(CoreArchiveValues, Counts)
{
    // 70000 = 0x00011170 does not fit a word below 0xFFFF: 0xFFFF, then the dword.
    EXPECT_EQ(stored([](CArchive& ar) { ar.WriteCount(70000); }), (Bytes{0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}));
    EXPECT_EQ(stored([](CArchive& ar) { ar.WriteCount(0xFFFE); }), (Bytes{0xFE, 0xFF}));
    EXPECT_EQ(stored([](CArchive& ar) { ar.WriteCount(0xFFFF); }), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}));
    DWORD_PTR a = 0, b = 0;
    loaded(Bytes{0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00, 0x03, 0x00}, [&](CArchive& ar) {
        a = ar.ReadCount();
        b = ar.ReadCount();
    });
    EXPECT_EQ(a, 70000u);
    EXPECT_EQ(b, 3u);
}

TEST(CoreArchiveObjects, ClassAndBackReferenceTags)
{
    CFifteenLetters first, second;
    first.value = 7;
    second.value = 9;
    const Bytes bytes = stored([&](CArchive& ar) {
        ar << &first;
        ar << &second;
        ar << &first;
        ar << static_cast<CObject*>(nullptr);
    });
    const Bytes expected = concat({
        {0xFF, 0xFF, 0x01, 0x00, 0x0F, 0x00}, ascii("CFifteenLetters"), // new class: index 1, object index 2
        {0x07, 0x00, 0x00, 0x00, 0x00, 0x00},                          // value 7, null link
        {0x01, 0x80},                                                  // known class 1, object index 3
        {0x09, 0x00, 0x00, 0x00, 0x00, 0x00},
        {0x02, 0x00},                                                  // the first object again
        {0x00, 0x00},                                                  // null
    });
    EXPECT_EQ(bytes, expected);
}

TEST(CoreArchiveObjects, ReadingRestoresSharedObjects)
{
    CFifteenLetters a, b;
    a.value = 1;
    b.value = 2;
    a.link = &b;
    b.link = &a; // a cycle
    const Bytes bytes = stored([&](CArchive& ar) {
        ar << &a;
        ar << &b;
    });
    CFifteenLetters* ra = nullptr;
    CFifteenLetters* rb = nullptr;
    loaded(bytes, [&](CArchive& ar) { ar >> ra >> rb; });
    ASSERT_NE(ra, nullptr);
    ASSERT_NE(rb, nullptr);
    EXPECT_EQ(ra->value, 1);
    EXPECT_EQ(rb->value, 2);
    EXPECT_EQ(ra->link, rb);
    EXPECT_EQ(rb->link, ra);
    EXPECT_EQ(ra->GetRuntimeClass(), RUNTIME_CLASS(CFifteenLetters));
    delete ra;
    delete rb;
}

TEST(CoreArchiveObjects, ReadingChecksTheExpectedClass)
{
    CFifteenLetters object;
    const Bytes bytes = stored([&](CArchive& ar) { ar << &object << &object; });
    EXPECT_EQ(archiveCause([&] {
                  loaded(bytes, [](CArchive& ar) {
                      CCoreOtherThing* other = nullptr;
                      ar >> other;
                  });
              }),
              CArchiveException::badClass);
    // A back-reference is checked as well.
    EXPECT_EQ(archiveCause([&] {
                  loaded(bytes, [](CArchive& ar) {
                      CObject* any = ar.ReadObject(nullptr);
                      std::unique_ptr<CObject> owner(any);
                      ar.ReadObject(RUNTIME_CLASS(CCoreOtherThing));
                  });
              }),
              CArchiveException::badClass);
    // An unknown class name.
    const Bytes unknown = concat({{0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00}, ascii("CNope")});
    EXPECT_EQ(archiveCause([&] { loaded(unknown, [](CArchive& ar) { ar.ReadObject(nullptr); }); }),
              CArchiveException::badClass);
}

TEST(CoreArchiveObjects, BadReferencesAndTruncation)
{
    // An object index never defined, and a class index never defined.
    EXPECT_EQ(archiveCause([] { loaded(Bytes{0x05, 0x00}, [](CArchive& ar) { ar.ReadObject(nullptr); }); }),
              CArchiveException::badIndex);
    EXPECT_EQ(archiveCause([] { loaded(Bytes{0x01, 0x80}, [](CArchive& ar) { ar.ReadObject(nullptr); }); }),
              CArchiveException::badIndex);

    CFifteenLetters object;
    object.value = 42;
    const Bytes bytes = stored([&](CArchive& ar) { ar << &object; });
    for (std::size_t cut : {std::size_t{1}, std::size_t{8}, bytes.size() - 1}) {
        EXPECT_EQ(archiveCause([&] {
                      loaded(prefix(bytes, cut), [](CArchive& ar) {
                          CFifteenLetters* p = nullptr;
                          ar >> p;
                      });
                  }),
                  CArchiveException::endOfFile)
            << cut;
    }
    int x = 0;
    EXPECT_EQ(archiveCause([&] { loaded(Bytes{1, 2, 3}, [&](CArchive& ar) { ar >> x; }); }), CArchiveException::endOfFile);
}

TEST(CoreArchiveObjects, SchemaChecks)
{
    // Both classes stored with schema 2 although they declare 3.
    const Bytes versioned = concat({{0xFF, 0xFF, 0x02, 0x00, 0x0E, 0x00}, ascii("CCoreVersioned")});
    CCoreVersioned* v = nullptr;
    loaded(versioned, [&](CArchive& ar) { ar >> v; });
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->seen, 2u);
    EXPECT_EQ(v->seenAgain, static_cast<UINT>(-1)); // handed out once
    delete v;

    const Bytes fixed = concat({{0xFF, 0xFF, 0x02, 0x00, 0x10, 0x00}, ascii("CCoreFixedSchema")});
    EXPECT_EQ(archiveCause([&] { loaded(fixed, [](CArchive& ar) { ar.ReadObject(nullptr); }); }),
              CArchiveException::badSchema);

    // The versionable flag is not part of the stored schema word.
    CCoreVersioned original;
    EXPECT_EQ(stored([&](CArchive& ar) { ar << &original; }),
              concat({{0xFF, 0xFF, 0x03, 0x00, 0x0E, 0x00}, ascii("CCoreVersioned")}));
}

TEST(CoreArchiveObjects, BigIndicesUseTheDwordForms)
{
    // Class A takes index 1 and its objects 2 .. 0x7FFF; class B then takes
    // 0x8000 and its first object 0x8001.
    std::vector<CFifteenLetters> many(0x7FFE);
    CCoreOtherThing b1, b2;
    CMemFile file;
    std::size_t beforeRepeat = 0, beforeB2 = 0;
    {
        CArchive ar(&file, CArchive::store);
        for (auto& o : many)
            ar << &o;
        ar << &b1;
        ar.Flush();
        beforeRepeat = file.GetLength();
        ar << &many.back(); // object index 0x7FFF
        ar.Flush();
        beforeB2 = file.GetLength();
        ar << &b2; // class index 0x8000
        ar.Close();
    }
    const Bytes all = file.GetBytes();
    EXPECT_EQ(Bytes(all.begin() + static_cast<std::ptrdiff_t>(beforeRepeat), all.begin() + static_cast<std::ptrdiff_t>(beforeB2)),
              (Bytes{0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x00}));
    EXPECT_EQ(Bytes(all.begin() + static_cast<std::ptrdiff_t>(beforeB2), all.end()), (Bytes{0xFF, 0x7F, 0x00, 0x80, 0x00, 0x80}));

    // Reading resolves both big tags.
    std::vector<CObject*> objects;
    loaded(all, [&](CArchive& ar) {
        for (std::size_t i = 0; i < many.size() + 3; ++i)
            objects.push_back(ar.ReadObject(nullptr));
    });
    EXPECT_EQ(objects[many.size() + 1], objects[many.size() - 1]);
    EXPECT_TRUE(objects.back()->IsKindOf(RUNTIME_CLASS(CCoreOtherThing)));
    EXPECT_NE(objects.back(), objects[many.size()]);
    objects.erase(objects.begin() + static_cast<std::ptrdiff_t>(many.size() + 1));
    for (CObject* o : objects)
        delete o;
}

TEST(CoreArchiveObjects, RoundTripIsByteIdentical)
{
    CFifteenLetters a, b, c;
    a.value = -5;
    b.value = 6;
    c.value = 7;
    a.link = &b;
    b.link = &c;
    c.link = &a;
    CCoreOtherThing other;
    const auto write = [](CArchive& ar, CObject* first, CObject* otherObj, CObject* third) {
        ar << CString(L"Bspline") << 3 << 2.5 << true << CString(L'x', 300);
        ar.WriteCount(70000);
        ar << first << otherObj << third << first;
    };
    const Bytes bytes = stored([&](CArchive& ar) { write(ar, &a, &other, &c); });

    CObject* ra = nullptr;
    CObject* ro = nullptr;
    CObject* rc = nullptr;
    loaded(bytes, [&](CArchive& ar) {
        CString s1, s2;
        int i = 0;
        double d = 0;
        bool f = false;
        CObject* again = nullptr;
        ar >> s1 >> i >> d >> f >> s2;
        EXPECT_EQ(ar.ReadCount(), 70000u);
        ar >> ra >> ro >> rc >> again;
        EXPECT_EQ(again, ra);
    });
    EXPECT_EQ(stored([&](CArchive& ar) { write(ar, ra, ro, rc); }), bytes);
    delete static_cast<CFifteenLetters*>(ra)->link; // b, read inside a
    delete ra;
    delete ro;
    delete rc;
}

TEST(CoreArchiveBehaviour, FlushOnLoadingHandsBackTheFilePosition)
{
    const auto path = std::filesystem::temp_directory_path() / ("lorimant_core_flush_" + std::to_string(::getpid()));
    const CString name(path.string());
    {
        CFile out(name, CFile::modeCreate | CFile::modeWrite);
        const BYTE data[] = {0x01, 0x02, 0x03, 0x04, 0xAA, 0xBB, 0xCC};
        out.Write(data, sizeof data);
    }
    CFile in(name, CFile::modeRead);
    {
        CArchive ar(&in, CArchive::load);
        int v = 0;
        ar >> v;
        EXPECT_EQ(v, 0x04030201);
        ar.Flush();
        EXPECT_EQ(ar.GetFile(), &in);
        BYTE next = 0;
        EXPECT_EQ(in.Read(&next, 1), 1u);
        EXPECT_EQ(next, 0xAA);
        ar.Abort();
    }
    in.Close();
    std::filesystem::remove(path);
}

TEST(CoreArchiveBehaviour, WrongDirection)
{
    CMemFile file;
    CArchive storing(&file, CArchive::store);
    int v = 0;
    EXPECT_EQ(archiveCause([&] { storing >> v; }), CArchiveException::writeOnly);
    CArchive loading(&file, CArchive::load);
    EXPECT_EQ(archiveCause([&] { loading << v; }), CArchiveException::readOnly);
    EXPECT_TRUE(storing.IsStoring());
    EXPECT_TRUE(loading.IsLoading());
}

TEST(CoreArchiveBehaviour, StoringBufferReachesTheFileOnFlush)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store, 4096);
    ar << 1 << 2;
    EXPECT_EQ(file.GetLength(), 0u); // still in the archive's buffer
    ar.Flush();
    EXPECT_EQ(file.GetLength(), 8u);
    // Writes larger than the buffer go straight through, in order.
    const std::vector<BYTE> block(10000, 0x5A);
    ar << static_cast<BYTE>(0x11);
    ar.Write(block.data(), static_cast<UINT>(block.size()));
    ar.Close();
    const Bytes bytes = file.GetBytes();
    ASSERT_EQ(bytes.size(), 8u + 1u + 10000u);
    EXPECT_EQ(bytes[8], 0x11);
    EXPECT_EQ(bytes.back(), 0x5A);
}
