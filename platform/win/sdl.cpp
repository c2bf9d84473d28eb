// The SDL2 back end: each visible top-level window is a native window.

#include "platform/win/pvwin.h"
#include "platform/win/wincore.h"

namespace pvwin {
std::unique_ptr<Backend> CreateSdlBackend() { return nullptr; }
int SdlMessageBox(HWND, LPCTSTR, LPCTSTR, UINT type) { return (type & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL; }
} // namespace pvwin
