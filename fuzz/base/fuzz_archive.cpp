// Feeds arbitrary bytes to CArchive::ReadObject. Two serializable classes give the stream
// something to name: a node with a string, numbers, a byte array and links to other objects
// (so back-references and cycles occur), and a list that holds further objects.
// The first input byte picks how the rest is used: as the stream itself, XOR-ed over a valid
// stream, or appended to a cut-off valid stream; the last two reach deep paths at once.

#include <cstddef>
#include <cstdint>
#include <set>
#include <vector>

#include "platform/base/afx.h"

namespace {

// Objects are not owned by each other (the stream may share or cycle them); every live one
// is tracked here and freed after each input.
std::set<CObject*>& Live()
{
    static std::set<CObject*> live;
    return live;
}

} // namespace

class CFuzzNode : public CObject {
    DECLARE_SERIAL(CFuzzNode)
public:
    CFuzzNode() { Live().insert(this); }
    ~CFuzzNode() override { Live().erase(this); }
    void Serialize(CArchive& ar) override
    {
        if (ar.IsStoring()) {
            ar << m_name << m_value << m_real;
            m_bytes.Serialize(ar);
            ar << m_pFirst << m_pSecond;
        } else {
            ar >> m_name >> m_value >> m_real;
            m_bytes.Serialize(ar);
            ar >> m_pFirst >> m_pSecond;
        }
    }

    CString m_name;
    DWORD m_value{0};
    double m_real{0};
    CByteArray m_bytes;
    CObject* m_pFirst{nullptr};
    CFuzzNode* m_pSecond{nullptr};
};
IMPLEMENT_SERIAL(CFuzzNode, CObject, 1)

class CFuzzList : public CObArray {
    DECLARE_SERIAL(CFuzzList)
public:
    CFuzzList() { Live().insert(this); }
    ~CFuzzList() override { Live().erase(this); }
    void Serialize(CArchive& ar) override
    {
        WORD version = 2;
        if (ar.IsStoring())
            ar << version;
        else
            ar >> version;
        if (version != 2)
            AfxThrowArchiveException(CArchiveException::badSchema);
        CObArray::Serialize(ar);
        m_names.Serialize(ar);
    }

    CStringArray m_names;
};
IMPLEMENT_SERIAL(CFuzzList, CObArray, 2)

namespace {

std::vector<BYTE> MakeSeed()
{
    auto* leaf = new CFuzzNode;
    leaf->m_name = "leaf";
    leaf->m_bytes.Add(1);
    auto* root = new CFuzzNode;
    root->m_name = CString(std::string(300, 'r'));
    root->m_value = 7;
    root->m_real = 2.5;
    root->m_pSecond = leaf;
    auto* list = new CFuzzList;
    list->Add(leaf);
    list->Add(root);
    list->Add(nullptr);
    list->m_names.Add("a");
    root->m_pFirst = list;
    leaf->m_pFirst = root;

    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        ar << root << leaf << list;
        ar.Close();
    }
    std::vector<BYTE> bytes(size_t(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), UINT(bytes.size()));
    while (!Live().empty())
        delete *Live().begin();
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > 1 << 20)
        return 0;
    static const std::vector<BYTE> seed = MakeSeed();
    std::vector<BYTE> stream;
    const BYTE mode = data[0] % 3;
    ++data;
    --size;
    if (mode == 0) {
        stream.assign(data, data + size);
    } else if (mode == 1) {
        stream = seed;
        if (stream.size() < size)
            stream.resize(size);
        for (size_t i = 0; i < size; ++i)
            stream[i] ^= data[i];
    } else {
        const size_t cut = size >= 2 ? (data[0] | (data[1] << 8)) % (seed.size() + 1) : seed.size();
        stream.assign(seed.begin(), seed.begin() + long(cut));
        if (size > 2)
            stream.insert(stream.end(), data + 2, data + size);
    }

    CMemFile file(stream.data(), UINT(stream.size()));
    CArchive ar(&file, CArchive::load);
    try {
        // Typed first, as the grid reads its files, then untyped until the data runs out.
        ar.ReadObject(RUNTIME_CLASS(CFuzzNode));
        for (int i = 0; i < 16; ++i)
            ar.ReadObject(nullptr);
    } catch (CArchiveException&) {
    } catch (CMemoryException&) {
    }
    while (!Live().empty())
        delete *Live().begin();
    return 0;
}
