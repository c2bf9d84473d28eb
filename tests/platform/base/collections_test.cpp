#include "platform/base/collections.h"

#include "platform/base/CArchive.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

std::vector<BYTE> StoreObject(CObject& ob)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ob.Serialize(ar);
        ar.Close();
    }
    std::vector<BYTE> bytes(size_t(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), UINT(bytes.size()));
    return bytes;
}

// Loads ob from the bytes; the archive exception's cause, or -1 when it loaded.
int LoadObject(std::vector<BYTE> bytes, CObject& ob)
{
    CMemFile file(bytes.data(), UINT(bytes.size()));
    CArchive ar(&file, CArchive::load);
    try {
        ob.Serialize(ar);
    } catch (CArchiveException& e) {
        return e.m_cause;
    }
    return -1;
}

} // namespace

TEST(Collections, ArraySizingAndEditing)
{
    CDWordArray a;
    a.SetSize(3, 4);
    EXPECT_EQ(a.GetSize(), 3);
    EXPECT_EQ(a.GetUpperBound(), 2);
    EXPECT_EQ(a[0] | a[1] | a[2], 0u);  // new elements are zero
    a[1] = 7;
    a.SetSize(2);                       // shrinking keeps the rest
    EXPECT_EQ(a.GetAt(1), 7u);
    a.SetSize(5);
    EXPECT_EQ(a.GetAt(4), 0u);
    a.SetAtGrow(9, 3);
    EXPECT_EQ(a.GetSize(), 10);
    EXPECT_EQ(a.Add(11), 10);
    a.InsertAt(0, 99, 2);
    EXPECT_EQ(a.GetSize(), 13);
    EXPECT_EQ(a[0], 99u);
    EXPECT_EQ(a[1], 99u);
    EXPECT_EQ(a[3], 7u);
    a.RemoveAt(0, 3);
    EXPECT_EQ(a[0], 7u);
    a.InsertAt(20, 5);  // beyond the end grows with zeros
    EXPECT_EQ(a.GetSize(), 21);
    a.SetSize(0);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(a.GetData(), nullptr);

    CStringArray s;
    s.Add("one");
    for (int i = 0; i < 40; ++i)
        s.Add(s[0]);  // an element of the array itself, while it grows
    EXPECT_EQ(s.GetSize(), 41);
    EXPECT_EQ(s[40], "one");
    CStringArray t;
    t.Append(s);
    t.Append(t);
    EXPECT_EQ(t.GetSize(), 82);
    t.Copy(s);
    EXPECT_EQ(t.GetSize(), 41);
}

TEST(Collections, ListPositions)
{
    CStringList list;
    list.AddTail("b");
    list.AddHead("a");
    const POSITION c = list.AddTail("c");
    list.InsertBefore(c, "b2");
    list.InsertAfter(c, "d");
    std::string order;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        order += list.GetNext(pos).GetString();
    EXPECT_EQ(order, "abb2cd");
    order.clear();
    for (POSITION pos = list.GetTailPosition(); pos;)
        order += list.GetPrev(pos).GetString();
    EXPECT_EQ(order, "dcb2ba");

    EXPECT_EQ(list.Find("b2"), list.FindIndex(2));
    EXPECT_EQ(list.Find("zz"), nullptr);
    EXPECT_EQ(list.FindIndex(5), nullptr);
    list.RemoveAt(list.Find("b2"));
    EXPECT_EQ(list.RemoveHead(), "a");
    EXPECT_EQ(list.RemoveTail(), "d");
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetHead(), "b");
    EXPECT_EQ(list.GetTail(), "c");

    CPtrList ptrs(10);
    int x = 0;
    ptrs.AddTail(&x);
    ptrs.AddTail(static_cast<void*>(nullptr));
    EXPECT_EQ(ptrs.GetAt(ptrs.Find(nullptr)), nullptr);
    ptrs.RemoveAll();
    EXPECT_TRUE(ptrs.IsEmpty());
}

TEST(Collections, MapsLookupRemoveAndIterate)
{
    CMapStringToString m;
    m.InitHashTable(257);
    EXPECT_EQ(m.GetHashTableSize(), 257u);
    std::map<std::string, std::string> want;
    for (int i = 0; i < 300; ++i) {
        CString k, v;
        k.Format("key%d", i);
        v.Format("value%d", i);
        m.SetAt(k, v);
        want[k.GetString()] = v.GetString();
    }
    m["key7"] = "seven";
    want["key7"] = "seven";
    EXPECT_TRUE(m.RemoveKey("key8"));
    EXPECT_FALSE(m.RemoveKey("key8"));
    want.erase("key8");
    CString value;
    EXPECT_TRUE(m.Lookup("key7", value));
    EXPECT_EQ(value, "seven");
    EXPECT_FALSE(m.Lookup("KEY7", value));  // keys are case-sensitive
    std::map<std::string, std::string> seen;
    CString k, v;
    for (POSITION pos = m.GetStartPosition(); pos;) {
        m.GetNextAssoc(pos, k, v);
        seen[k.GetString()] = v.GetString();
    }
    EXPECT_EQ(seen, want);
    EXPECT_EQ(m.GetCount(), INT_PTR(want.size()));

    CMapPtrToPtr pp(10);
    int a, b;
    pp[&a] = &b;
    void* out = nullptr;
    EXPECT_TRUE(pp.Lookup(&a, out));
    EXPECT_EQ(out, &b);
    EXPECT_FALSE(pp.Lookup(&b, out));
    pp.RemoveAll();
    EXPECT_EQ(pp.GetStartPosition(), nullptr);

    CMapWordToPtr wp;
    wp.SetAt(0xFFFF, &a);
    EXPECT_TRUE(wp.Lookup(0xFFFF, out));
}

TEST(Collections, SerializeForms)
{
    CDWordArray dw;
    dw.Add(1);
    dw.Add(0x01020304);
    EXPECT_EQ(StoreObject(dw), (std::vector<BYTE>{2, 0, 1, 0, 0, 0, 4, 3, 2, 1}));
    CByteArray by;
    by.Add(9);
    EXPECT_EQ(StoreObject(by), (std::vector<BYTE>{1, 0, 9}));
    CStringArray sa;
    sa.Add("ab");
    sa.Add("");
    EXPECT_EQ(StoreObject(sa), (std::vector<BYTE>{2, 0, 2, 'a', 'b', 0}));

    CDWordArray dw2;
    dw2.Add(77);  // loading replaces the contents
    EXPECT_EQ(LoadObject(StoreObject(dw), dw2), -1);
    ASSERT_EQ(dw2.GetSize(), 2);
    EXPECT_EQ(dw2[1], 0x01020304u);
    CStringArray sa2;
    EXPECT_EQ(LoadObject(StoreObject(sa), sa2), -1);
    EXPECT_EQ(sa2.GetSize(), 2);
    EXPECT_EQ(sa2[0], "ab");

    CMapStringToString m;
    m["x"] = "1";
    m["y"] = "2";
    CMapStringToString m2;
    EXPECT_EQ(LoadObject(StoreObject(m), m2), -1);
    CString v;
    EXPECT_TRUE(m2.Lookup("y", v));
    EXPECT_EQ(v, "2");

    CObArray obs;
    CDWordArray inner;
    inner.Add(5);
    obs.Add(&inner);
    obs.Add(&inner);
    obs.Add(nullptr);
    CObArray obs2;
    EXPECT_EQ(LoadObject(StoreObject(obs), obs2), -1);
    ASSERT_EQ(obs2.GetSize(), 3);
    EXPECT_EQ(obs2[0], obs2[1]);
    EXPECT_EQ(obs2[2], nullptr);
    ASSERT_TRUE(obs2[0]->IsKindOf(RUNTIME_CLASS(CDWordArray)));
    EXPECT_EQ(static_cast<CDWordArray*>(obs2[0])->GetAt(0), 5u);
    delete obs2[0];
}

TEST(Collections, OversizedCountsAreRefused)
{
    struct Case {
        const char* what;
        std::vector<BYTE> bytes;
        CObject* target;
    };
    CDWordArray dw;
    CByteArray by;
    CStringArray sa;
    CObArray oa;
    CStringList sl;
    CMapStringToString ms;
    const Case cases[] = {
        {"dword array: 3 bytes for one dword", {1, 0, 1, 2, 3}, &dw},
        {"dword array: long count", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 0, 0, 0, 0}, &dw},
        {"byte array", {0xFF, 0xFF, 0, 0, 0, 0x40, 1, 2}, &by},
        {"string array", {0xFF, 0xFF, 0, 0, 0, 0x10}, &sa},
        {"object array", {0xFF, 0xFF, 0, 0, 0, 0x10, 0, 0}, &oa},
        {"string list", {0xFE, 0xFF, 0, 0}, &sl},
        {"string map", {0x03, 0x00, 0, 0, 0, 0}, &ms},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LoadObject(c.bytes, *c.target), CArchiveException::endOfFile) << c.what;
}
