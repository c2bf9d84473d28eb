#include "grid/features/gxserialcompat.h"

#include <memory>

#include "grid/core/gxcoll.h"
#include "grid/core/gxstyle.h"
#include "grid/core/gxuattr.h"

void CGXSerializeGW5CompatibleImp::ReadUserAttributes(CGXStyle& style, CArchive& ar)
{
    std::unique_ptr<CGXCollMapDWordToString> old(GXAdoptObject(CGXCollMapDWordToString, ar));
    if (!old || old->GetCount() == 0) {
        style.AdoptUserAttributes(nullptr);
        return;
    }
    auto map = std::make_unique<CGXUserAttributeMap>();
    for (POSITION pos = old->GetStartPosition(); pos;) {
        DWORD id;
        CString text;
        old->GetNextAssoc(pos, id, text);
        CGXUserAttribute attribute;
        attribute.SetText(text, size_t(text.GetLength()));
        map->SetAttributeCopy(WORD(id), attribute);
    }
    map->SortById();
    style.AdoptUserAttributes(map.release());
}

void GXInstallSerializeGW5CompatibleImp()
{
    CGXLibraryData* d = GXGetAppData();
    if (!d->m_pSerializeGW5Imp) {
        static CGXSerializeGW5CompatibleImp s_imp;
        d->m_pSerializeGW5Imp = &s_imp;
    }
}
