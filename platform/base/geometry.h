#pragma once
// CPoint, CSize and CRect: thin value wrappers over POINT, SIZE and RECT.
// They add no members, so a CRect* may be passed wherever a RECT* is expected.

#include <algorithm>

#include "platform/base/pvdefs.h"

class CSize;
class CRect;

class CPoint : public POINT {
public:
    CPoint() { x = 0; y = 0; }
    CPoint(int initX, int initY) { x = initX; y = initY; }
    CPoint(POINT pt) { x = pt.x; y = pt.y; }
    CPoint(SIZE size) { x = size.cx; y = size.cy; }
    // Unpacks the signed coordinates of a mouse-message lParam.
    explicit CPoint(DWORD dwPoint) { x = (SHORT)LOWORD(dwPoint); y = (SHORT)HIWORD(dwPoint); }

    void Offset(int xOffset, int yOffset) { x += xOffset; y += yOffset; }
    void Offset(POINT pt) { x += pt.x; y += pt.y; }
    void Offset(SIZE size) { x += size.cx; y += size.cy; }
    void SetPoint(int X, int Y) { x = X; y = Y; }

    bool operator==(POINT pt) const { return x == pt.x && y == pt.y; }
    // Exact overloads keep C++20's reversed candidates from making CPoint == CPoint ambiguous.
    bool operator==(const CPoint& pt) const { return x == pt.x && y == pt.y; }
    bool operator!=(POINT pt) const { return !(*this == pt); }
    void operator+=(SIZE size) { x += size.cx; y += size.cy; }
    void operator-=(SIZE size) { x -= size.cx; y -= size.cy; }
    void operator+=(POINT pt) { x += pt.x; y += pt.y; }
    void operator-=(POINT pt) { x -= pt.x; y -= pt.y; }

    inline CPoint operator+(SIZE size) const;
    inline CPoint operator-(SIZE size) const;
    CPoint operator-() const { return CPoint(-x, -y); }
    inline CPoint operator+(POINT pt) const;
    inline CSize operator-(POINT pt) const;
    inline CRect operator+(const RECT* lpRect) const;
    inline CRect operator-(const RECT* lpRect) const;
};

class CSize : public SIZE {
public:
    CSize() { cx = 0; cy = 0; }
    CSize(int initCX, int initCY) { cx = initCX; cy = initCY; }
    CSize(SIZE size) { cx = size.cx; cy = size.cy; }
    CSize(POINT pt) { cx = pt.x; cy = pt.y; }
    explicit CSize(DWORD dwSize) { cx = (SHORT)LOWORD(dwSize); cy = (SHORT)HIWORD(dwSize); }

    void SetSize(int CX, int CY) { cx = CX; cy = CY; }

    bool operator==(SIZE size) const { return cx == size.cx && cy == size.cy; }
    bool operator==(const CSize& size) const { return cx == size.cx && cy == size.cy; }
    bool operator!=(SIZE size) const { return !(*this == size); }
    void operator+=(SIZE size) { cx += size.cx; cy += size.cy; }
    void operator-=(SIZE size) { cx -= size.cx; cy -= size.cy; }

    CSize operator+(SIZE size) const { return CSize(cx + size.cx, cy + size.cy); }
    CSize operator-(SIZE size) const { return CSize(cx - size.cx, cy - size.cy); }
    CSize operator-() const { return CSize(-cx, -cy); }
    CPoint operator+(POINT pt) const { return CPoint(cx + pt.x, cy + pt.y); }
    CPoint operator-(POINT pt) const { return CPoint(cx - pt.x, cy - pt.y); }
    inline CRect operator+(const RECT* lpRect) const;
    inline CRect operator-(const RECT* lpRect) const;
};

class CRect : public RECT {
public:
    CRect() { left = top = right = bottom = 0; }
    CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    CRect(const RECT& src) { CopyRect(&src); }
    CRect(const RECT* lpSrc) { CopyRect(lpSrc); }
    CRect(POINT point, SIZE size) { left = point.x; top = point.y; right = left + size.cx; bottom = top + size.cy; }
    CRect(POINT topLeft, POINT bottomRight) { left = topLeft.x; top = topLeft.y; right = bottomRight.x; bottom = bottomRight.y; }

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(right - left, bottom - top); }
    CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(this); }
    CPoint& BottomRight() { return *(reinterpret_cast<CPoint*>(this) + 1); }
    const CPoint& TopLeft() const { return *reinterpret_cast<const CPoint*>(this); }
    const CPoint& BottomRight() const { return *(reinterpret_cast<const CPoint*>(this) + 1); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }

    BOOL IsRectEmpty() const { return left >= right || top >= bottom; }
    BOOL IsRectNull() const { return left == 0 && right == 0 && top == 0 && bottom == 0; }
    // Right and bottom edges lie outside the rectangle.
    BOOL PtInRect(POINT pt) const { return pt.x >= left && pt.x < right && pt.y >= top && pt.y < bottom; }

    void SetRect(int x1, int y1, int x2, int y2) { left = x1; top = y1; right = x2; bottom = y2; }
    void SetRect(POINT topLeft, POINT bottomRight) { SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y); }
    void SetRectEmpty() { left = top = right = bottom = 0; }
    void CopyRect(LPCRECT lpSrc) { left = lpSrc->left; top = lpSrc->top; right = lpSrc->right; bottom = lpSrc->bottom; }
    BOOL EqualRect(LPCRECT r) const { return left == r->left && top == r->top && right == r->right && bottom == r->bottom; }

    void InflateRect(int x, int y) { left -= x; top -= y; right += x; bottom += y; }
    void InflateRect(SIZE size) { InflateRect(size.cx, size.cy); }
    void InflateRect(LPCRECT r) { left -= r->left; top -= r->top; right += r->right; bottom += r->bottom; }
    void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
    void DeflateRect(int x, int y) { InflateRect(-x, -y); }
    void DeflateRect(SIZE size) { InflateRect(-size.cx, -size.cy); }
    void DeflateRect(LPCRECT r) { left += r->left; top += r->top; right -= r->right; bottom -= r->bottom; }
    void DeflateRect(int l, int t, int r, int b) { left += l; top += t; right -= r; bottom -= b; }

    void OffsetRect(int x, int y) { left += x; right += x; top += y; bottom += y; }
    void OffsetRect(POINT pt) { OffsetRect(pt.x, pt.y); }
    void OffsetRect(SIZE size) { OffsetRect(size.cx, size.cy); }
    void NormalizeRect()
    {
        if (left > right) std::swap(left, right);
        if (top > bottom) std::swap(top, bottom);
    }

    // Empty result (all zero) when the two do not overlap; returns whether they do.
    BOOL IntersectRect(LPCRECT r1, LPCRECT r2)
    {
        CRect r(std::max(r1->left, r2->left), std::max(r1->top, r2->top),
                std::min(r1->right, r2->right), std::min(r1->bottom, r2->bottom));
        if (r.IsRectEmpty()) {
            SetRectEmpty();
            return FALSE;
        }
        *this = r;
        return TRUE;
    }
    // Empty operands are ignored; returns whether the union is non-empty.
    BOOL UnionRect(LPCRECT r1, LPCRECT r2)
    {
        const CRect a(r1), b(r2);
        if (a.IsRectEmpty() && b.IsRectEmpty()) {
            SetRectEmpty();
            return FALSE;
        }
        if (a.IsRectEmpty()) { *this = b; return TRUE; }
        if (b.IsRectEmpty()) { *this = a; return TRUE; }
        SetRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom));
        return TRUE;
    }
    // r1 minus r2, only when r2 covers a whole side of r1 so the rest is still a rectangle.
    BOOL SubtractRect(LPCRECT r1, LPCRECT r2)
    {
        CRect a(r1);
        const CRect b(r2);
        CRect inter;
        if (a.IsRectEmpty()) {
            SetRectEmpty();
            return FALSE;
        }
        if (!inter.IntersectRect(&a, &b)) {
            *this = a;
            return TRUE;
        }
        const bool coversX = b.left <= a.left && b.right >= a.right;
        const bool coversY = b.top <= a.top && b.bottom >= a.bottom;
        if (coversX && coversY) {
            SetRectEmpty();
            return FALSE;
        }
        if (coversX) {
            if (b.top <= a.top) a.top = b.bottom;
            else if (b.bottom >= a.bottom) a.bottom = b.top;
        } else if (coversY) {
            if (b.left <= a.left) a.left = b.right;
            else if (b.right >= a.right) a.right = b.left;
        }
        *this = a;
        return TRUE;
    }

    void operator=(const RECT& src) { CopyRect(&src); }
    bool operator==(const RECT& r) const { return EqualRect(&r); }
    bool operator==(const CRect& r) const { return EqualRect(&r); }
    bool operator!=(const RECT& r) const { return !EqualRect(&r); }
    void operator+=(POINT pt) { OffsetRect(pt); }
    void operator+=(SIZE size) { OffsetRect(size); }
    void operator+=(LPCRECT r) { InflateRect(r); }
    void operator-=(POINT pt) { OffsetRect(-pt.x, -pt.y); }
    void operator-=(SIZE size) { OffsetRect(-size.cx, -size.cy); }
    void operator-=(LPCRECT r) { DeflateRect(r); }
    void operator&=(const RECT& r) { IntersectRect(this, &r); }
    void operator|=(const RECT& r) { UnionRect(this, &r); }

    CRect operator+(POINT pt) const { CRect r(*this); r.OffsetRect(pt); return r; }
    CRect operator-(POINT pt) const { CRect r(*this); r.OffsetRect(-pt.x, -pt.y); return r; }
    CRect operator+(SIZE size) const { CRect r(*this); r.OffsetRect(size); return r; }
    CRect operator-(SIZE size) const { CRect r(*this); r.OffsetRect(-size.cx, -size.cy); return r; }
    CRect operator+(LPCRECT lpRect) const { CRect r(*this); r.InflateRect(lpRect); return r; }
    CRect operator-(LPCRECT lpRect) const { CRect r(*this); r.DeflateRect(lpRect); return r; }
    CRect operator&(const RECT& r2) const { CRect r; r.IntersectRect(this, &r2); return r; }
    CRect operator|(const RECT& r2) const { CRect r; r.UnionRect(this, &r2); return r; }
};

inline CPoint CPoint::operator+(SIZE size) const { return CPoint(x + size.cx, y + size.cy); }
inline CPoint CPoint::operator-(SIZE size) const { return CPoint(x - size.cx, y - size.cy); }
inline CPoint CPoint::operator+(POINT pt) const { return CPoint(x + pt.x, y + pt.y); }
inline CSize CPoint::operator-(POINT pt) const { return CSize(x - pt.x, y - pt.y); }
inline CRect CPoint::operator+(const RECT* lpRect) const { CRect r(lpRect); r.OffsetRect(x, y); return r; }
inline CRect CPoint::operator-(const RECT* lpRect) const { CRect r(lpRect); r.OffsetRect(-x, -y); return r; }
inline CRect CSize::operator+(const RECT* lpRect) const { CRect r(lpRect); r.OffsetRect(cx, cy); return r; }
inline CRect CSize::operator-(const RECT* lpRect) const { CRect r(lpRect); r.OffsetRect(-cx, -cy); return r; }
