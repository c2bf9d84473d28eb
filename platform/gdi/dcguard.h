#pragma once
// Restores what a drawing step selected into a DC and the text attributes it changed, on scope
// exit, so a caller's DC is never left with a foreign font or colour (also on early returns and
// exceptions). Only what the guard was asked to save is restored.

#include "platform/gdi/dc.h"
#include "platform/gdi/gdiobj.h"

class CDCStateGuard {
public:
    explicit CDCStateGuard(CDC* pDC) : m_pDC(pDC) {}
    ~CDCStateGuard()
    {
        if (!m_pDC)
            return;
        if (m_bFont)
            m_pDC->SelectObject(m_pOldFont);
        if (m_bPen)
            m_pDC->SelectObject(m_pOldPen);
        if (m_bBrush)
            m_pDC->SelectObject(m_pOldBrush);
        if (m_bTextColor)
            m_pDC->SetTextColor(m_oldTextColor);
        if (m_bBkColor)
            m_pDC->SetBkColor(m_oldBkColor);
        if (m_bBkMode)
            m_pDC->SetBkMode(m_nOldBkMode);
        if (m_bTextAlign)
            m_pDC->SetTextAlign(m_nOldTextAlign);
    }
    CDCStateGuard(const CDCStateGuard&) = delete;
    CDCStateGuard& operator=(const CDCStateGuard&) = delete;

    // The first selection of each kind remembers what it replaced; later ones only select.
    void SelectFont(CFont* pFont)
    {
        if (!pFont || !m_pDC)
            return;
        CFont* pOld = m_pDC->SelectObject(pFont);
        if (!m_bFont) {
            m_pOldFont = pOld;
            m_bFont = pOld != nullptr;
        }
    }
    // Takes over a font the caller already selected (the one it replaced is restored).
    void AdoptOldFont(CFont* pOld)
    {
        if (pOld && !m_bFont) {
            m_pOldFont = pOld;
            m_bFont = true;
        }
    }
    void SelectPen(CPen* pPen)
    {
        if (!pPen || !m_pDC)
            return;
        CPen* pOld = m_pDC->SelectObject(pPen);
        if (!m_bPen) {
            m_pOldPen = pOld;
            m_bPen = pOld != nullptr;
        }
    }
    void SelectBrush(CBrush* pBrush)
    {
        if (!pBrush || !m_pDC)
            return;
        CBrush* pOld = m_pDC->SelectObject(pBrush);
        if (!m_bBrush) {
            m_pOldBrush = pOld;
            m_bBrush = pOld != nullptr;
        }
    }
    void SetTextColor(COLORREF c)
    {
        const COLORREF old = m_pDC->SetTextColor(c);
        if (!m_bTextColor) {
            m_oldTextColor = old;
            m_bTextColor = true;
        }
    }
    void SetBkColor(COLORREF c)
    {
        const COLORREF old = m_pDC->SetBkColor(c);
        if (!m_bBkColor) {
            m_oldBkColor = old;
            m_bBkColor = true;
        }
    }
    void SetBkMode(int n)
    {
        const int old = m_pDC->SetBkMode(n);
        if (!m_bBkMode) {
            m_nOldBkMode = old;
            m_bBkMode = true;
        }
    }
    void SetTextAlign(UINT n)
    {
        const UINT old = m_pDC->SetTextAlign(n);
        if (!m_bTextAlign) {
            m_nOldTextAlign = old;
            m_bTextAlign = true;
        }
    }

private:
    CDC* m_pDC;
    CFont* m_pOldFont = nullptr;
    CPen* m_pOldPen = nullptr;
    CBrush* m_pOldBrush = nullptr;
    COLORREF m_oldTextColor = 0;
    COLORREF m_oldBkColor = 0;
    int m_nOldBkMode = 0;
    UINT m_nOldTextAlign = 0;
    bool m_bFont = false, m_bPen = false, m_bBrush = false;
    bool m_bTextColor = false, m_bBkColor = false, m_bBkMode = false, m_bTextAlign = false;
};

// Restores a DC's clip region (and everything else SaveDC keeps) on scope exit, so a step may
// narrow the clipping for what it draws.
class CDCClipGuard {
public:
    explicit CDCClipGuard(CDC* pDC) : m_pDC(pDC), m_nSaved(pDC ? pDC->SaveDC() : 0) {}
    ~CDCClipGuard()
    {
        if (m_pDC && m_nSaved)
            m_pDC->RestoreDC(m_nSaved);
    }
    CDCClipGuard(const CDCClipGuard&) = delete;
    CDCClipGuard& operator=(const CDCClipGuard&) = delete;

private:
    CDC* m_pDC;
    int m_nSaved;
};
