// Feeds arbitrary bytes to what cell controls read from stored data: a binary field's bytes as
// a bitmap (found, copied and drawn), and a progress caption used as the caption's format. The
// first byte picks which; for captions the next four bytes are the value.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "grid/controls/gxdaobitmap.h"
#include "grid/controls/gxprogress.h"
#include "platform/gdi/gdi.h"
#include "platform/sys/globalmem.h"

extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t kind = data[0];
    ++data;
    --size;
    if (kind & 1) {
        int32_t v = 0;
        if (size >= 4) {
            std::memcpy(&v, data, 4);
            data += 4;
            size -= 4;
        }
        const std::string format(reinterpret_cast<const char*>(data), size);
        const CString s = CGXProgressCtrl::FormatValue(format.c_str(), long(v));
        (void)s;
        return 0;
    }
    const COleVariant var(data, size);
    HGLOBAL h = BitmapFromFieldValue(var, (kind & 2) != 0);
    if (h)
        GlobalFree(h);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap bm;
    bm.CreateBitmap(64, 64, 1, 32, nullptr);
    CBitmap* pOld = dc.SelectObject(&bm);
    DrawFieldBitmap(&dc, var, CRect(0, 0, 64, 64), 0, 0, nullptr, nullptr, TRUE);
    dc.SelectObject(pOld);
    return 0;
}
