// The mask model on arbitrary masks and edit sequences: it must never read or write outside
// its positions, and literal positions always keep their literal.

#include "grid/controls/gxmaskdata.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2 || size > 4096) return 0;
    const size_t nMask = std::min<size_t>(data[0], size - 1);
    std::string mask(reinterpret_cast<const char*>(data + 1), nMask);
    mask = mask.c_str();
    CGXMaskData m;
    m.SetMask(mask.c_str());
    m.ResetInput();
    for (size_t i = 1 + nMask; i + 2 < size; i += 3) {
        const int op = data[i] % 8, pos = int(int8_t(data[i + 1]));
        const char ch[2] = {char(data[i + 2] ? data[i + 2] : '1'), 0};
        CString c = ch;
        int next = 0;
        switch (op) {
        case 0: m.InsertChar(pos, c, next); break;
        case 1: m.DeleteRange(pos, int(int8_t(data[i + 2]))); break;
        case 2: m.SetValueText(ch, pos, data[i + 2] & 1); break;
        case 3: m.SetMaskedText(ch, pos, data[i + 2] & 1); break;
        case 4: (void)m.GetEndOfInput(pos); (void)m.NextInputPos(pos); (void)m.PrevInputPos(pos); break;
        case 5: (void)m.IsValidChar(pos, c); break;
        case 6: (void)m.ByteOffsetToPos(m.PosToByteOffset(pos)); break;
        default: m.SetPromptChar(ch, TRUE); break;
        }
        if (!m.IsMaskEmpty() && m.GetLength() != m.GetPosCount()) abort();
        // Every position holds one whole character.
        for (int p = 0; p < m.GetLength(); ++p) {
            CString s;
            m.GetMaskedText(s, p, p);
            if (!m.IsMaskEmpty() && CGXMaskData::SplitChars(s).size() != 1) abort();
        }
        if (m.ByteOffsetToPos(m.PosToByteOffset(m.GetLength())) != m.GetLength()) abort();
        CString v;
        m.GetValueText(v, 0, -1, TRUE);
    }
    return 0;
}
