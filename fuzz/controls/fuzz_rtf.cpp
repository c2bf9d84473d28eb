// The RTF reader on arbitrary bytes: it must never crash, and a document it wrote must read
// back to the same text.

#include "platform/controls/rtf.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20)) return 0;
    std::string in(reinterpret_cast<const char*>(data), size);
    pvrtf::Doc d = pvrtf::ReadRtf(in, pvrtf::CharFmt {});
    if (!d.consistent()) abort();
    pvrtf::Doc back = pvrtf::ReadRtf(pvrtf::WriteRtf(d), pvrtf::CharFmt {});
    if (!back.consistent()) abort();
    // Once written, a document reads back to the same text and paragraphs.
    pvrtf::Doc again = pvrtf::ReadRtf(pvrtf::WriteRtf(back), pvrtf::CharFmt {});
    if (again.text != back.text || again.paras != back.paras) abort();
    (void)pvrtf::PlainText(again);
    return 0;
}
