#pragma once
// Device-independent pictures for cells: a packed DIB in global memory, the process-wide pool
// of them named by "#BMP(" keys, and drawing one into a rectangle.

#include <map>

#include "platform/base/CObject.h"
#include "platform/base/CString.h"
#include "platform/gdi/gdidefs.h"

class CGXDIB : public CObject {
    DECLARE_DYNAMIC(CGXDIB)
public:
    CGXDIB() = default;
    CGXDIB(const CGXDIB&) = delete;
    CGXDIB& operator=(const CGXDIB&) = delete;
    ~CGXDIB() override;

    // Takes a packed DIB (header, colour table, bits); FALSE for null or a block too small
    // for what its header says.
    BOOL Attach(HGLOBAL hDIB);
    HGLOBAL Detach();
    HGLOBAL GetHandle() const { return m_hDIB; }
    LONG GetWidth() const { return m_nWidth; }
    LONG GetHeight() const { return m_nHeight; }
    DWORD GetColorTableSize() const { return m_nColors; }

private:
    HGLOBAL m_hDIB = nullptr;
    BOOL m_bOwned = TRUE;
    DWORD m_nColors = 0;
    LONG m_nWidth = 0;
    LONG m_nHeight = 0;
};

// Header facts of a packed DIB; FALSE when the block cannot hold what the header describes.
BOOL GXInspectDIB(HGLOBAL hDIB, LONG& nWidth, LONG& nHeight, DWORD& nColors);

class CGXDIBPool : public CObject {
    DECLARE_DYNAMIC(CGXDIBPool)
public:
    CGXDIBPool() = default;
    CGXDIBPool(const CGXDIBPool&) = delete;
    CGXDIBPool& operator=(const CGXDIBPool&) = delete;
    ~CGXDIBPool() override { RemoveAll(); }

    static CGXDIBPool* GetPool();

    // The picture of a "#BMP(" key, loaded once; null for any other text or a missing bitmap.
    virtual HGLOBAL GetDIB(LPCTSTR pszKey);
    // "#BMP(12)" gives resource 12 (name "#12"); "#BMP(\"name\")" the named resource.
    // 0 when the text is not a bitmap key (or names resource 0).
    virtual UINT ParseKey(LPCTSTR pszKey, CString& sName) const;
    virtual HGLOBAL LoadDIB(UINT nResourceId, LPCTSTR pszName);
    virtual CString MakeNamedKey(UINT nNumber) const;
    virtual CString MakeNumberKey(UINT nNumber) const;
    void RemoveAll();

private:
    std::map<CString, HGLOBAL> m_dibs;
};

// Placement of a picture of nSrcWidth x nSrcHeight in rcDest: mode 0 natural size (cropped,
// placed by the flags), 1 stretched, 2 scaled to fit keeping its proportions (placed by the
// flags). Flags: 1 centre, 2 right; 4 centre, 8 bottom. Gives the destination rectangle and the
// part of the source drawn.
void GXPlaceDIB(const RECT& rcDest, LONG nSrcWidth, LONG nSrcHeight, int nMode, UINT nFlags, RECT& rcDraw, RECT& rcSource);
// Draws a packed DIB with StretchDIBits; pSource (or the whole picture) is the part drawn.
BOOL DrawDIB(HDC hdc, HGLOBAL hDIB, const RECT& rcDest, int nMode, UINT nFlags, const RECT* pSource = nullptr);
