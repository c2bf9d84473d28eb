#pragma once
// The window class of a grid window kind that dialog templates name ("CGXGridWnd", "CGXTabWnd",
// ...): its first message makes an object of the kind for the window, and that object is deleted
// with its window. Objects a program creates itself are never in the registry, so they stay its own.

#include <set>

#include "platform/base/exceptions.h"
#include "platform/win/cwnd.h"

template <class T>
class GXTemplateWndClass {
public:
    // Throws CResourceException when the class cannot be registered; a known class is kept.
    static void Register(HINSTANCE hInstance, LPCTSTR pszClass)
    {
        WNDCLASS wc {};
        if (::GetClassInfo(hInstance, pszClass, &wc))
            return;
        wc.style = CS_DBLCLKS | CS_GLOBALCLASS;
        wc.lpfnWndProc = &ClassProc;
        wc.hInstance = hInstance;
        wc.lpszClassName = pszClass;
        if (!::RegisterClass(&wc))
            AfxThrowResourceException();
    }
    // For the kind's PostNcDestroy: true when the object was made for a template, and is done.
    static bool ReleaseOnNcDestroy(T* p) { return Registry().erase(p) != 0; }
    // For the kind's destructor.
    static void Forget(T* p) { Registry().erase(p); }
    static size_t Count() { return Registry().size(); }

private:
    static std::set<T*>& Registry()
    {
        static std::set<T*> registry;
        return registry;
    }
    static LRESULT ClassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (CWnd::FromHandlePermanent(hWnd))
            return AfxWndProc(hWnd, message, wParam, lParam);
        auto* pWnd = new T;
        if (!pWnd->SubclassWindow(hWnd)) {
            delete pWnd;
            return ::DefWindowProc(hWnd, message, wParam, lParam);
        }
        // The class procedure is not a procedure to chain to.
        pWnd->m_pfnSuper = nullptr;
        Registry().insert(pWnd);
        return AfxWndProc(hWnd, message, wParam, lParam);
    }
};
