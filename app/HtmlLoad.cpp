#include "app/HtmlLoad.h"

#include <cstring>

BOOL LoadHtmlIntoDocument(LPDISPATCH pDocument, const CString& strText)
{
    const size_t length = size_t(strText.GetLength());
    HGLOBAL hBlock = GlobalAlloc(GHND, length + 1);
    if (!hBlock)
        return FALSE;
    void* p = GlobalLock(hBlock);
    if (!p) {
        GlobalFree(hBlock);
        return FALSE;
    }
    std::memcpy(p, static_cast<LPCTSTR>(strText), length + 1);
    GlobalUnlock(hBlock);

    IStream* pStream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(hBlock, TRUE, &pStream)) || !pStream) {
        GlobalFree(hBlock);  // no stream took it
        return FALSE;
    }
    if (!pDocument) {
        pStream->Release();
        return FALSE;
    }
    IPersistStreamInit* pPersist = nullptr;
    if (SUCCEEDED(pDocument->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&pPersist))) && pPersist) {
        if (SUCCEEDED(pPersist->InitNew()))
            pPersist->Load(pStream);  // what the load answers is not examined
        pPersist->Release();
    }
    pStream->Release();  // frees the block
    return TRUE;
}
