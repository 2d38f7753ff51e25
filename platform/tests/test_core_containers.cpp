// CArray and CList: checked access, editing, POSITION iteration and their
// archive forms.
#include "platform/core/CArray.h"
#include "platform/core/CFile.h"
#include "platform/core/CList.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

template <class T>
Bytes storedSerialize(T& container)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    container.Serialize(ar);
    ar.Close();
    return file.GetBytes();
}

template <class T>
void loadSerialize(const Bytes& bytes, T& container)
{
    CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    container.Serialize(ar);
}

struct XYZ {
    double x, y, z;
};

template <class T, class A>
std::vector<T> contents(const CArray<T, A>& a)
{
    return std::vector<T>(a.GetData(), a.GetData() + a.GetSize());
}

} // namespace

TEST(CoreArray, BadIndicesThrowTheInvalidArgumentException)
{
    CArray<double> a;
    EXPECT_THROW(a.GetAt(0), CInvalidArgException);
    a.SetSize(3);
    EXPECT_EQ(contents(a), (std::vector<double>{0, 0, 0})); // new elements start at zero
    EXPECT_THROW(a.GetAt(3), CInvalidArgException);
    EXPECT_THROW(a.GetAt(-1), CInvalidArgException);
    EXPECT_THROW(a.ElementAt(3), CInvalidArgException);
    EXPECT_THROW(a[3], CInvalidArgException);
    EXPECT_THROW(a.SetAt(5, 1.0), CInvalidArgException);
    EXPECT_THROW(a.RemoveAt(2, 2), CInvalidArgException);
    EXPECT_THROW(a.SetSize(-1), CInvalidArgException);
    EXPECT_EQ(a.GetSize(), 3); // nothing changed by the failed calls
}

TEST(CoreArray, Editing)
{
    CArray<int, int> a;
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(a.Add(i * 10), i);
    a.InsertAt(1, 5, 2);
    EXPECT_EQ(contents(a), (std::vector<int>{0, 5, 5, 10, 20, 30, 40}));
    a.RemoveAt(0, 3);
    EXPECT_EQ(contents(a), (std::vector<int>{10, 20, 30, 40}));
    a.InsertAt(6, 99); // past the end: the array grows with zeros
    EXPECT_EQ(contents(a), (std::vector<int>{10, 20, 30, 40, 0, 0, 99}));
    a.Add(a[0]); // an element of the array itself
    EXPECT_EQ(a.GetAt(7), 10);
    a.SetSize(2);
    a.FreeExtra();
    EXPECT_EQ(contents(a), (std::vector<int>{10, 20}));
    CArray<int, int> b;
    b.Copy(a);
    b.Append(a);
    EXPECT_EQ(contents(b), (std::vector<int>{10, 20, 10, 20}));
    b.InsertAt(1, &a);
    EXPECT_EQ(contents(b), (std::vector<int>{10, 10, 20, 20, 10, 20}));
    b.RemoveAll();
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(b.GetData(), nullptr);
}

TEST(CoreArray, SerializeWritesCountThenRawElements)
{
    CArray<XYZ> points;
    points.Add(XYZ{1.0, 2.0, 0.0});
    const Bytes bytes = storedSerialize(points);
    Bytes expected{0x01, 0x00};
    for (double v : {1.0, 2.0, 0.0}) {
        const auto* p = reinterpret_cast<const BYTE*>(&v);
        expected.insert(expected.end(), p, p + 8);
    }
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(expected[2 + 7], 0x3F); // 1.0 ends 0x3FF0, little-endian

    CArray<double> many;
    for (int i = 0; i < 70000; ++i)
        many.Add(i * 0.5);
    const Bytes manyBytes = storedSerialize(many);
    // The count 70000 = 0x00011170 takes the 0xFFFF + dword form.
    EXPECT_EQ(Bytes(manyBytes.begin(), manyBytes.begin() + 6), (Bytes{0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}));
    CArray<double> back;
    back.Add(-1.0); // replaced by the load
    loadSerialize(manyBytes, back);
    ASSERT_EQ(back.GetSize(), 70000);
    EXPECT_EQ(back[69999], 69999 * 0.5);
    EXPECT_EQ(storedSerialize(back), manyBytes);

    // A count larger than the data fails at the end of the data.
    Bytes lying{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
    lying.insert(lying.end(), 16, 0);
    CArray<double> victim;
    EXPECT_THROW(loadSerialize(lying, victim), CArchiveException);
}

TEST(CoreArray, ElementsWithoutAnArchiveFormAreRefused)
{
    // Owning handles and plain pointers would be written as addresses.
    CList<std::shared_ptr<int>> shared;
    shared.AddTail(std::make_shared<int>(1));
    EXPECT_THROW(storedSerialize(shared), CArchiveException);
    int x = 0;
    CArray<int*> raw;
    raw.Add(&x);
    EXPECT_THROW(storedSerialize(raw), CArchiveException);
}

TEST(CoreArray, StringArraySerializesEachString)
{
    CStringArray names;
    names.Add(CString(L"Al"));
    names.Add(CString());
    EXPECT_EQ(storedSerialize(names), (Bytes{0x02, 0x00, 0xFF, 0xFE, 0xFF, 0x02, 0x41, 0x00, 0x6C, 0x00, 0xFF, 0xFE, 0xFF, 0x00}));
}

TEST(CoreList, PositionIteration)
{
    CList<int> list;
    EXPECT_THROW(list.GetHead(), CInvalidArgException);
    EXPECT_THROW(list.RemoveTail(), CInvalidArgException);
    list.AddTail(2);
    list.AddTail(3);
    list.AddHead(1);
    POSITION pos = list.GetHeadPosition();
    std::vector<int> seen;
    while (pos != nullptr)
        seen.push_back(list.GetNext(pos));
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
    seen.clear();
    for (pos = list.GetTailPosition(); pos != nullptr;)
        seen.push_back(list.GetPrev(pos));
    EXPECT_EQ(seen, (std::vector<int>{3, 2, 1}));

    POSITION two = list.Find(2);
    ASSERT_NE(two, nullptr);
    list.InsertAfter(two, 25);
    list.InsertBefore(two, 15);
    list.RemoveAt(list.Find(2));
    EXPECT_EQ(list.GetAt(list.FindIndex(2)), 25);
    EXPECT_EQ(list.FindIndex(5), nullptr);
    EXPECT_EQ(list.RemoveHead(), 1);
    EXPECT_EQ(list.RemoveTail(), 3);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetHead(), 15);
    EXPECT_EQ(list.GetTail(), 25);
    POSITION end = nullptr;
    EXPECT_THROW(list.GetNext(end), CInvalidArgException);
    list.AddTail(&list); // appending a list to itself doubles it once
    EXPECT_EQ(list.GetCount(), 4);
}

class CCoreListItem : public CObject {
    DECLARE_SERIAL(CCoreListItem)
public:
    int id = 0;
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << id;
        else
            ar >> id;
    }
};
IMPLEMENT_SERIAL(CCoreListItem, CObject, 1)

TEST(CoreList, ObjectListStoresObjectReferences)
{
    CCoreListItem a, b;
    a.id = 1;
    b.id = 2;
    CObList list;
    list.AddTail(&a);
    list.AddTail(&b);
    list.AddTail(&a);
    const Bytes bytes = storedSerialize(list);
    // Count 3, then a new class with object a, object b of the known class, a again.
    Bytes expected{0x03, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0x0D, 0x00};
    for (char c : std::string("CCoreListItem"))
        expected.push_back(static_cast<BYTE>(c));
    expected.insert(expected.end(), {0x01, 0x00, 0x00, 0x00, 0x01, 0x80, 0x02, 0x00, 0x00, 0x00, 0x02, 0x00});
    EXPECT_EQ(bytes, expected);

    CObList back;
    loadSerialize(bytes, back);
    ASSERT_EQ(back.GetCount(), 3);
    EXPECT_EQ(back.GetHead(), back.GetTail());
    EXPECT_EQ(static_cast<CCoreListItem*>(back.GetHead())->id, 1);
    delete back.RemoveHead();
    delete back.RemoveHead();
}
