// Feeds arbitrary bytes to the reader of "GridSettings.dat". The first byte picks how the rest
// is used: as the file itself, XOR-ed over a valid file, or appended to a cut-off valid file;
// the last two reach the deep parts of the parameter object's record at once. Whatever loads
// must save and load again.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "grid/controls/gxctlfactory.h"
#include "grid/core/gxobjfile.h"
#include "grid/core/gxparam.h"
#include "grid/core/gxserial.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxstymap.h"
#include "grid/formula/gxformulasheet.h"
#include "grid/record/gxbrowparam.h"
#include "platform/base/CArchive.h"

// Fontconfig keeps the insides of its patterns as offsets rather than pointers, so the leak
// checker cannot follow them and reports the font caches (filled when styles name fonts) as lost.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

// A directory grid's parameter object with something in every part: styles, sizes, ranges, texts.
std::vector<BYTE> ValidFile()
{
    CGXDaoParam param;
    param.m_ColOrder.Add(0);
    param.m_ColOrder.Add(2);
    param.m_sText = "Directory";
    param.m_nFrozenRows = 1;
    param.m_RowHeights.SetAt(3, 2000);
    param.m_ColWidths.SetAt(2, 4000);
    param.m_SelRects.AddRange(CGXCellRange(1, 1, 4, 3));
    auto* pMap = new CGXStylesMap;
    pMap->CreateStandardStyles();
    pMap->RegisterStyleByName("Names", CGXStyle().SetWrapText(TRUE).SetHorizontalAlignment(2));
    param.SetStylesMap(pMap, TRUE);
    CMemFile mem;
    {
        CArchive ar(&mem, CArchive::store);
        ar.WriteObject(&param);
        ar.Close();
    }
    std::vector<BYTE> bytes(size_t(mem.GetLength()));
    mem.SeekToBegin();
    mem.Read(bytes.data(), UINT(bytes.size()));
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::vector<BYTE> valid = [] {
        // As the program starts the library: strings, archive records, pools, the older styles.
        InitGridLibraryWithFactory();
        GXForceLinkFormulaSheet();
        return ValidFile();
    }();
    if (size == 0)
        return 0;
    std::vector<BYTE> input;
    const uint8_t mode = data[0] % 3;
    ++data, --size;
    if (mode == 0) {
        input.assign(data, data + size);
    } else if (mode == 1) {
        input = valid;
        for (size_t i = 0; i < size && i < input.size(); ++i)
            input[i] ^= data[i];
    } else {
        const size_t keep = size ? data[0] * valid.size() / 256 : valid.size();
        input.assign(valid.begin(), valid.begin() + ptrdiff_t(keep));
        input.insert(input.end(), data, data + size);
    }
    CMemFile file(input.data(), UINT(input.size()));
    std::unique_ptr<CObject> pObject(ReadObjectFromArchive(file, RUNTIME_CLASS(CGXGridParam)));
    if (!pObject)
        return 0;
    // Whatever loads is saved again at exit; that file must load too, or the layout is lost.
    CMemFile out;
    try {
        CArchive ar(&out, CArchive::store);
        ar.WriteObject(pObject.get());
        ar.Close();
    } catch (...) {
        __builtin_trap();
    }
    const UINT nOut = UINT(out.GetLength());
    BYTE* pOut = out.Detach();
    CMemFile again(pOut, nOut);
    std::unique_ptr<CObject> pAgain(ReadObjectFromArchive(again, RUNTIME_CLASS(CGXGridParam)));
    free(pOut);
    if (!pAgain)
        __builtin_trap();
    return 0;
}
