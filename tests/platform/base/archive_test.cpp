#include "platform/base/CArchive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <unistd.h>
#include <vector>

// Test objects register themselves so a test can free whatever a failed load left behind.
std::set<CObject*>& LiveObjects()
{
    static std::set<CObject*> live;
    return live;
}

class CTestNode : public CObject {
    DECLARE_SERIAL(CTestNode)
public:
    CTestNode() { LiveObjects().insert(this); }
    ~CTestNode() override { LiveObjects().erase(this); }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << m_name << m_pLeft << m_pRight;
        } else {
            ar >> m_name >> m_pLeft >> m_pRight;
        }
    }
    CString m_name;
    CObject* m_pLeft{nullptr};   // not owned: graphs share nodes
    CObject* m_pRight{nullptr};
};
IMPLEMENT_SERIAL(CTestNode, CObject, 1)

class CTestLeaf : public CObject {
    DECLARE_SERIAL(CTestLeaf)
public:
    CTestLeaf() { LiveObjects().insert(this); }
    explicit CTestLeaf(DWORD value) : CTestLeaf() { m_value = value; }
    ~CTestLeaf() override { LiveObjects().erase(this); }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring())
            ar << m_value;
        else
            ar >> m_value;
    }
    DWORD m_value{0};
};
IMPLEMENT_SERIAL(CTestLeaf, CObject, 2)

// Dynamic but not serializable: a file that names it is damaged.
class CTestPlain : public CObject {
    DECLARE_DYNCREATE(CTestPlain)
};
IMPLEMENT_DYNCREATE(CTestPlain, CObject)

namespace {

class ArchiveTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        while (!LiveObjects().empty())
            delete *LiveObjects().begin();
    }

    template <typename Fn>
    static std::vector<BYTE> Store(Fn fn)
    {
        CMemFile file;
        {
            CArchive ar(&file, CArchive::store);
            fn(ar);
            ar.Close();
        }
        std::vector<BYTE> bytes(size_t(file.GetLength()));
        file.SeekToBegin();
        file.Read(bytes.data(), UINT(bytes.size()));
        return bytes;
    }

    // Loads from a copy of the bytes; answers the archive exception's cause, or -1 when none.
    template <typename Fn>
    static int Load(std::vector<BYTE> bytes, Fn fn)
    {
        CMemFile file(bytes.data(), UINT(bytes.size()));
        CArchive ar(&file, CArchive::load);
        try {
            fn(ar);
        } catch (CArchiveException& e) {
            return e.m_cause;
        }
        return -1;
    }
};

std::vector<BYTE> Bytes(std::initializer_list<int> list)
{
    std::vector<BYTE> v;
    for (int b : list)
        v.push_back(BYTE(b));
    return v;
}

void Append(std::vector<BYTE>& v, const char* text)
{
    v.insert(v.end(), text, text + std::strlen(text));
}

} // namespace

TEST_F(ArchiveTest, PrimitivesRoundTripLittleEndian)
{
    const auto bytes = Store([](CArchive& ar) {
        ar << BYTE(0xAB) << char(-2) << WORD(0x1234) << short(-3) << int(-70000) << DWORD(0xDEADBEEF)
           << LONG(-1) << 1.5f << -2.25 << std::numeric_limits<double>::infinity();
    });
    const auto want = Bytes({0xAB, 0xFE, 0x34, 0x12, 0xFD, 0xFF, 0x90, 0xEE, 0xFE, 0xFF, 0xEF, 0xBE, 0xAD, 0xDE,
                             0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xC0, 0x3F, 0, 0, 0, 0, 0, 0, 0x02, 0xC0,
                             0, 0, 0, 0, 0, 0, 0xF0, 0x7F});
    EXPECT_EQ(bytes, want);

    EXPECT_EQ(Load(bytes, [](CArchive& ar) {
        BYTE b; char c; WORD w; short s; int i; DWORD dw; LONG l; float f; double d, inf;
        ar >> b >> c >> w >> s >> i >> dw >> l >> f >> d >> inf;
        EXPECT_EQ(b, 0xAB);
        EXPECT_EQ(c, -2);
        EXPECT_EQ(w, 0x1234);
        EXPECT_EQ(s, -3);
        EXPECT_EQ(i, -70000);
        EXPECT_EQ(dw, 0xDEADBEEFu);
        EXPECT_EQ(l, -1);
        EXPECT_EQ(f, 1.5f);
        EXPECT_EQ(d, -2.25);
        EXPECT_TRUE(std::isinf(inf));
        EXPECT_EQ(ar.GetBytesLeft(), 0u);
    }), -1);
}

TEST_F(ArchiveTest, StringAndCountForms)
{
    struct Case {
        size_t length;
        std::vector<BYTE> prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {0xFFFE, {0xFF, 0xFE, 0xFF}},
        {0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        const CString text(std::string(c.length, 'x'));
        const auto bytes = Store([&](CArchive& ar) { ar << text; });
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), bytes.begin())) << c.length;
        CString back;
        EXPECT_EQ(Load(bytes, [&](CArchive& ar) { ar >> back; }), -1);
        EXPECT_EQ(back, text) << c.length;
    }

    struct CountCase {
        DWORD_PTR count;
        std::vector<BYTE> bytes;
    };
    const CountCase counts[] = {
        {0, {0, 0}},
        {0xFFFE, {0xFE, 0xFF}},
        {0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0, 0}},
        {0x12345678, {0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12}},
    };
    for (const CountCase& c : counts) {
        const auto bytes = Store([&](CArchive& ar) { ar.WriteCount(c.count); });
        EXPECT_EQ(bytes, c.bytes);
        DWORD_PTR back = 0;
        EXPECT_EQ(Load(bytes, [&](CArchive& ar) { back = ar.ReadCount(); }), -1);
        EXPECT_EQ(back, c.count);
    }
}

TEST_F(ArchiveTest, ObjectStreamIsByteExact)
{
    auto* leaf = new CTestLeaf(7);
    auto* node = new CTestNode;
    node->m_name = "A";
    node->m_pLeft = leaf;
    node->m_pRight = leaf;
    auto* second = new CTestNode;
    second->m_pLeft = node;

    const auto bytes = Store([&](CArchive& ar) {
        ar << node << second << static_cast<CObject*>(nullptr) << leaf;
    });
    std::vector<BYTE> want = Bytes({0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00});  // new class #1, schema 1
    Append(want, "CTestNode");
    want[4] = 9;
    want.push_back(1);  // object #2: name "A"
    Append(want, "A");
    for (int b : {0xFF, 0xFF, 0x02, 0x00, 0x09, 0x00})  // new class #3, schema 2
        want.push_back(BYTE(b));
    Append(want, "CTestLeaf");
    for (int b : {0x07, 0x00, 0x00, 0x00,  // object #4: value 7
                  0x04, 0x00,              // right: back-reference to object #4
                  0x01, 0x80,              // known class #1, object #5
                  0x00,                    // empty name
                  0x02, 0x00,              // left: object #2
                  0x00, 0x00,              // right: null
                  0x00, 0x00,              // null
                  0x04, 0x00})             // the leaf again
        want.push_back(BYTE(b));
    EXPECT_EQ(bytes, want);
}

TEST_F(ArchiveTest, GraphWithSharedReferencesRoundTrips)
{
    auto* shared = new CTestLeaf(42);
    auto* a = new CTestNode;
    a->m_name = "a";
    a->m_pLeft = shared;
    auto* b = new CTestNode;
    b->m_name = "b";
    b->m_pLeft = a;
    b->m_pRight = shared;
    a->m_pRight = b;  // a cycle through b

    const auto bytes = Store([&](CArchive& ar) { ar << b; });
    const std::set<CObject*> before = LiveObjects();

    CTestNode* back = nullptr;
    EXPECT_EQ(Load(bytes, [&](CArchive& ar) { ar >> back; }), -1);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(LiveObjects().size(), before.size() * 2);
    EXPECT_EQ(back->m_name, "b");
    auto* backA = dynamic_cast<CTestNode*>(back->m_pLeft);
    ASSERT_NE(backA, nullptr);
    EXPECT_EQ(backA->m_name, "a");
    EXPECT_EQ(backA->m_pRight, back);
    EXPECT_EQ(backA->m_pLeft, back->m_pRight);  // one object, not two copies
    EXPECT_EQ(static_cast<CTestLeaf*>(back->m_pRight)->m_value, 42u);
    EXPECT_TRUE(back->IsKindOf(RUNTIME_CLASS(CObject)));
}

TEST_F(ArchiveTest, LargeIndexesUseTheLongForm)
{
    // Enough objects that the next class and object numbers pass 0x7FFF.
    std::vector<CTestLeaf*> leaves;
    for (int i = 0; i < 0x7FFF; ++i)
        leaves.push_back(new CTestLeaf(DWORD(i)));
    auto* node1 = new CTestNode;
    auto* node2 = new CTestNode;
    size_t tail = 0;
    const auto bytes = Store([&](CArchive& ar) {
        for (CTestLeaf* leaf : leaves)
            ar << leaf;
        ar << node1;  // leaves are class 1 and objects 2..0x8000; node1 is class 0x8001, object 0x8002
        ar.Flush();
        tail = size_t(ar.GetFile()->GetLength());
        ar << node2 << node1;
    });
    // node2: known class 0x8001 in the long form; its name and null links; node1 again.
    const auto want = Bytes({0xFF, 0x7F, 0x01, 0x80, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00,
                             0xFF, 0x7F, 0x02, 0x80, 0x00, 0x00});
    ASSERT_EQ(bytes.size(), tail + want.size());
    EXPECT_TRUE(std::equal(want.begin(), want.end(), bytes.begin() + long(tail)));

    EXPECT_EQ(Load(bytes, [&](CArchive& ar) {
        CObject* last = nullptr;
        for (int i = 0; i < 0x7FFF + 2; ++i)
            ar >> last;
        CObject* again = nullptr;
        ar >> again;
        EXPECT_NE(last, again);
        EXPECT_TRUE(again->IsKindOf(RUNTIME_CLASS(CTestNode)));
    }), -1);
}

TEST_F(ArchiveTest, DamagedStreamsThrowTheRightCause)
{
    auto header = [](const char* name, int schema) {
        std::vector<BYTE> v = Bytes({0xFF, 0xFF, schema, 0x00, int(std::strlen(name)), 0x00});
        Append(v, name);
        return v;
    };
    std::vector<BYTE> unknown = header("CNoSuchClass", 1);
    std::vector<BYTE> wrongSchema = header("CTestLeaf", 3);
    std::vector<BYTE> notSerial = header("CTestPlain", 0xFF);
    notSerial[3] = 0xFF;
    std::vector<BYTE> leaf = header("CTestLeaf", 2);
    for (int b : {1, 0, 0, 0})
        leaf.push_back(BYTE(b));
    std::vector<BYTE> badClassRef = Bytes({0x05, 0x80});
    std::vector<BYTE> badObjectRef = Bytes({0x05, 0x00});
    std::vector<BYTE> refToClass = leaf;  // object reference naming the class entry #1
    refToClass.push_back(0x01);
    refToClass.push_back(0x00);
    std::vector<BYTE> longName = Bytes({0xFF, 0xFF, 0x01, 0x00, 0xC8, 0x00});
    longName.resize(longName.size() + 200, 'A');
    std::vector<BYTE> hugeString = Bytes({0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF, 'x'});
    std::vector<BYTE> hugeNodeName = header("CTestNode", 1);
    for (int b : {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F})
        hugeNodeName.push_back(BYTE(b));

    struct Case {
        const char* what;
        const std::vector<BYTE>* bytes;
        const CRuntimeClass* requested;
        int cause;
    };
    const std::vector<BYTE> empty;
    const Case cases[] = {
        {"empty", &empty, nullptr, CArchiveException::endOfFile},
        {"unknown class", &unknown, nullptr, CArchiveException::badClass},
        {"schema differs", &wrongSchema, nullptr, CArchiveException::badSchema},
        {"class not serializable", &notSerial, nullptr, CArchiveException::badClass},
        {"wrong kind", &leaf, RUNTIME_CLASS(CTestNode), CArchiveException::badClass},
        {"class index beyond the map", &badClassRef, nullptr, CArchiveException::badIndex},
        {"object index beyond the map", &badObjectRef, nullptr, CArchiveException::badIndex},
        {"class name too long", &longName, nullptr, CArchiveException::badClass},
        {"huge string length", &hugeString, nullptr, CArchiveException::endOfFile},
        {"huge string in an object", &hugeNodeName, nullptr, CArchiveException::endOfFile},
    };
    for (const Case& c : cases) {
        const bool isString = c.bytes == &hugeString;
        EXPECT_EQ(Load(*c.bytes, [&](CArchive& ar) {
            if (isString) {
                CString s;
                ar >> s;
            } else {
                ar.ReadObject(c.requested);
            }
        }), c.cause) << c.what;
    }
    EXPECT_EQ(Load(refToClass, [](CArchive& ar) {
        ar.ReadObject(nullptr);
        ar.ReadObject(nullptr);
    }), CArchiveException::badIndex);
}

TEST_F(ArchiveTest, OversizedCountIsRefusedBeforeAllocating)
{
    const auto bytes = Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3, 4});
    EXPECT_EQ(Load(bytes, [](CArchive& ar) {
        const DWORD_PTR n = ar.ReadCount();
        EXPECT_EQ(n, 0x7FFFFFFFu);
        ar.CheckCount(n, 1);
    }), CArchiveException::endOfFile);
    EXPECT_EQ(Load(bytes, [](CArchive& ar) {
        ar.ReadCount();
        ar.CheckCount(4, 1);  // exactly what is left
        ar.CheckCount(1, 4);
        ar.CheckCount(2, 2);
        ar.CheckCount(3, 2);
    }), CArchiveException::endOfFile);
}

TEST_F(ArchiveTest, TruncatedAndMutatedStreamsNeverCrash)
{
    auto* shared = new CTestLeaf(5);
    auto* a = new CTestNode;
    a->m_name = CString(std::string(300, 'n'));
    a->m_pLeft = shared;
    auto* b = new CTestNode;
    b->m_pLeft = a;
    b->m_pRight = shared;
    const auto bytes = Store([&](CArchive& ar) { ar << b << a; });
    const std::set<CObject*> originals = LiveObjects();

    auto loadAll = [](CArchive& ar) {
        ar.ReadObject(RUNTIME_CLASS(CTestNode));
        ar.ReadObject(nullptr);
    };
    for (size_t n = 0; n < bytes.size(); ++n) {
        std::vector<BYTE> cut(bytes.begin(), bytes.begin() + long(n));
        EXPECT_NE(Load(cut, loadAll), -1) << "cut at " << n;
    }
    for (size_t i = 0; i < bytes.size(); ++i) {
        for (int value : {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF}) {
            std::vector<BYTE> mutated = bytes;
            mutated[i] = BYTE(value);
            Load(mutated, loadAll);  // either loads or throws the archive exception
        }
    }
    // Whatever a failed load created was freed or is still tracked; nothing was freed twice.
    for (CObject* p : originals)
        EXPECT_TRUE(LiveObjects().count(p));
}

TEST_F(ArchiveTest, DeepNestingIsRefusedNotOverflowed)
{
    // Each node's first link is a new node of the known class: three bytes per level.
    std::vector<BYTE> bytes = Bytes({0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00});
    Append(bytes, "CTestNode");
    for (int i = 0; i < 100000; ++i) {
        bytes.push_back(0x00);  // empty name
        bytes.push_back(0x01);  // left: known class #1
        bytes.push_back(0x80);
    }
    EXPECT_EQ(Load(bytes, [](CArchive& ar) { ar.ReadObject(nullptr); }), CArchiveException::badIndex);
    EXPECT_TRUE(LiveObjects().empty());  // every level was freed on the way out
}

TEST_F(ArchiveTest, DiskFileAcrossBufferBoundaries)
{
    char path[] = "/tmp/pv_archive_test_XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    std::vector<BYTE> block(1000);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = BYTE(i * 7);
    {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store, 128);
        for (DWORD i = 0; i < 100; ++i)
            ar << i << CString(std::string(i, 's'));
        ar.Write(block.data(), UINT(block.size()));
        ar << WORD(0xBEEF);
    }  // the destructor flushes
    {
        CFile file(path, CFile::modeRead);
        CArchive ar(&file, CArchive::load, 128);
        EXPECT_EQ(ar.GetBytesLeft(), file.GetLength());
        for (DWORD i = 0; i < 100; ++i) {
            DWORD v;
            CString s;
            ar >> v >> s;
            ASSERT_EQ(v, i);
            ASSERT_EQ(s.GetLength(), int(i));
        }
        std::vector<BYTE> back(block.size());
        EXPECT_EQ(ar.Read(back.data(), UINT(back.size())), block.size());
        EXPECT_EQ(back, block);
        EXPECT_EQ(ar.GetBytesLeft(), 2u);
        ar.Flush();  // the file stands where the archive stopped
        EXPECT_EQ(file.GetPosition(), file.GetLength() - 2);
        WORD w;
        ar >> w;
        EXPECT_EQ(w, 0xBEEF);
        EXPECT_EQ(ar.Read(&w, 2), 0u);
    }
    unlink(path);
}

TEST_F(ArchiveTest, ModeErrorsAndSchemaQuery)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    DWORD dw;
    try {
        ar >> dw;
        ADD_FAILURE();
    } catch (CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::writeOnly);
    }
    CTestPlain plain;
    try {
        ar << static_cast<CObject*>(&plain);
        ADD_FAILURE();
    } catch (CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::badClass);
    }
    ar.Close();

    BYTE data[] = {1, 2};
    CMemFile in(data, sizeof data);
    CArchive ld(&in, CArchive::load);
    try {
        ld << BYTE(1);
        ADD_FAILURE();
    } catch (CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::readOnly);
    }
    ld.SetObjectSchema(3);
    EXPECT_EQ(ld.GetObjectSchema(), 3u);
    EXPECT_EQ(ld.GetObjectSchema(), UINT(-1));
}

TEST(RuntimeClass, LookupAndCreation)
{
    CRuntimeClass* p = CRuntimeClass::FromName("CTestLeaf");
    ASSERT_EQ(p, RUNTIME_CLASS(CTestLeaf));
    EXPECT_EQ(p->m_wSchema, 2u);
    EXPECT_TRUE(p->IsDerivedFrom(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(p->IsDerivedFrom(RUNTIME_CLASS(CTestNode)));
    EXPECT_EQ(CRuntimeClass::FromName("CNoSuchClass"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName("CFile"), RUNTIME_CLASS(CFile));
    CObject* ob = CRuntimeClass::CreateObject("CTestLeaf");
    ASSERT_NE(ob, nullptr);
    EXPECT_TRUE(ob->IsKindOf(RUNTIME_CLASS(CTestLeaf)));
    EXPECT_TRUE(ob->IsSerializable());
    delete ob;
    EXPECT_EQ(RUNTIME_CLASS(CFile)->CreateObject(), nullptr);
    EXPECT_FALSE(CTestPlain().IsSerializable());
}
