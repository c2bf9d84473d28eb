#pragma once
// One HTML page laid out by litehtml and drawn through a CDC: fonts, text, borders,
// backgrounds and images all go through platform/gdi. The browser control owns one page per
// document it shows.

#include "platform/base/CString.h"
#include "platform/base/geometry.h"

#include <memory>
#include <string>

class CDC;

namespace pvhtml {

// The scheme of an address ("http", "ext", "about"), empty for a path (a drive letter such as
// "C:" is a path, not a scheme).
std::string SchemeOf(const std::string& address);
// An address taken relative to the address of the page that holds it: paths (with '\' or '/')
// against the page's folder; addresses with a scheme and absolute paths stay as they are.
std::string ResolveAddress(const std::string& base, const std::string& address);
// The file an address names, as the operating system wants it ("file:" removed, '\' to '/',
// "%20" and other escapes decoded); empty when the address is not a file.
std::string FilePathOf(const std::string& address);

// The stylesheet every page starts from (compiled in from resources/html/default.css).
const char* DefaultStylesheet();

class Page {
public:
    Page();
    ~Page();
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    // Parses UTF-8 (or plain 8-bit) HTML; relative links and images resolve against `address`.
    void Load(const std::string& html, const std::string& address);
    // Lays the page out for a viewport; answers the height of the laid out page.
    int Layout(int width, int height);
    int Width() const;
    int Height() const;
    // Draws the part of the page inside `clip` (DC coordinates) with the page's origin at (x, y).
    void Draw(CDC* pDC, int x, int y, const CRect& clip);
    // The resolved address of the link at a point of the page, empty when none.
    std::string LinkAt(int x, int y) const;
    CString Title() const;
    const std::string& Address() const { return m_address; }
    // The page's visible text, in document order (tests and printing checks).
    std::string Text() const;

private:
    class Container;
    std::unique_ptr<Container> m_container;
    std::string m_address;
};

} // namespace pvhtml
