// The outline's image-list file ("TreeList.bma") comes from the installation: any bytes read as
// a list or fail cleanly, and a list that was read writes and reads back the same.

#include "platform/base/CFile.h"
#include "platform/controls/imagelist.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

std::vector<BYTE> written(CImageList& list)
{
    CMemFile f;
    {
        CArchive ar(&f, CArchive::store);
        if (!list.Write(&ar)) std::abort();
        ar.Close();
    }
    const auto n = f.GetLength();
    std::vector<BYTE> out(static_cast<size_t>(n));
    f.SeekToBegin();
    if (n && f.Read(out.data(), UINT(n)) != UINT(n)) std::abort();
    return out;
}

bool read(std::vector<BYTE>& bytes, CImageList& list)
{
    CMemFile f(bytes.data(), UINT(bytes.size()));
    CArchive ar(&f, CArchive::load);
    return list.Read(&ar);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20)) return 0;
    std::vector<BYTE> bytes(data, data + size);
    CImageList list;
    if (!read(bytes, list)) {
        if (list.GetImageCount() != 0) std::abort();
        return 0;
    }
    std::vector<BYTE> once = written(list);
    CImageList back;
    if (!read(once, back) || back.GetImageCount() != list.GetImageCount()) std::abort();
    if (written(back) != once) std::abort();
    return 0;
}
