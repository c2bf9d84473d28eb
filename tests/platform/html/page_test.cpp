// The default stylesheet and the presentational attributes, checked by pixels on small pages;
// addresses.

#include "htmltest.h"

using namespace htmltest;

class PageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("PV_BACKEND", "headless", 1);
        PvResetWindowSystem();
    }
    Scratch scratch;
};

TEST_F(PageTest, StylesheetAndAttributesByPixels)
{
    const std::string blue = scratch.write("pics/blue.bmp", solidBmp(20, 20, RGB(0, 0, 255)));
    const std::string page = scratch.path("page.htm");
    struct Case {
        const char* name;
        std::string html;
        std::function<bool(const Canvas&)> check;
    };
    const Case cases[] = {
        {.name = "body bgcolor",
         .html = "<body bgcolor=\"#00ff00\">x</body>",
         .check = [](const Canvas& c) { return c.at(300, 150) == RGB(0, 255, 0); }},
        {.name = "font color",
         .html = "<body><font color=red size=7><b>MMMM</b></font></body>",
         .check = [](const Canvas& c) { return c.any(CRect(0, 0, 300, 100), reddish); }},
        {.name = "bordered table draws its frame, not its inside",
         .html = "<body leftmargin=0 topmargin=0><table border=1 cellspacing=0><tr><td width=100 height=50></td></tr></table>",
         .check = [](const Canvas& c) { return c.at(0, 25) != RGB(255, 255, 255) && c.at(50, 25) == RGB(255, 255, 255); }},
        {.name = "img align=right floats to the right edge",
         .html = "<body leftmargin=0 topmargin=0><img src=\"pics\\blue.bmp\" align=right>text</body>",
         .check = [](const Canvas& c) { return bluish(c.at(390, 5)) && !bluish(c.at(5, 5)); }},
        {.name = "center",
         .html = "<body leftmargin=0 topmargin=0><center><table bgcolor=black width=50 height=20 cellspacing=0><tr><td></td></tr></table></center>",
         .check = [](const Canvas& c) { return c.at(200, 10) == RGB(0, 0, 0) && c.at(10, 10) == RGB(255, 255, 255); }},
        {.name = "links are blue by default",
         .html = "<body><a href=x.htm><font size=7><b>MMM</b></font></a></body>",
         .check = [](const Canvas& c) { return c.any(CRect(0, 0, 300, 100), bluish); }},
        {.name = "body link colour",
         .html = "<body link=\"#ff0000\"><a href=x.htm><font size=7><b>MMM</b></font></a></body>",
         .check = [](const Canvas& c) { return c.any(CRect(0, 0, 300, 100), reddish) && !c.any(CRect(0, 0, 300, 100), bluish); }},
        {.name = "body background image",
         .html = "<body background=\"pics/blue.bmp\">x</body>",
         .check = [](const Canvas& c) { return bluish(c.at(390, 290)); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(400, 300);
        canvas.draw(c.html, page);
        EXPECT_TRUE(c.check(canvas));
    }
}

TEST_F(PageTest, HeadingIsLargerThanBodyText)
{
    Canvas h1(300, 200), body(300, 200);
    h1.draw("<body><h1>X</h1></body>");
    body.draw("<body>X</body>");
    EXPECT_GT(h1.inkRows(), body.inkRows() * 3 / 2);
    EXPECT_GT(body.inkRows(), 0);
}

TEST_F(PageTest, TitleTextAndLinks)
{
    pvhtml::Page page;
    page.Load("<html><head><title>Home</title></head><body leftmargin=0 topmargin=0>"
              "<a href=\"sub\\cal.htm\"><font size=7>CAL</font></a></body></html>",
              "C:\\media\\home.htm");
    page.Layout(400, 300);
    EXPECT_EQ(page.Title(), "Home");
    EXPECT_NE(page.Text().find("CAL"), std::string::npos);
    EXPECT_EQ(page.LinkAt(10, 10), "C:\\media\\sub\\cal.htm");
    EXPECT_EQ(page.LinkAt(390, 290), "");
}

TEST(Addresses, ResolveAndFilePaths)
{
    struct Case {
        const char* base;
        const char* address;
        const char* resolved;
        const char* file;
    } const cases[] = {
        {"/data/media/home.htm", "cal.htm", "/data/media/cal.htm", "/data/media/cal.htm"},
        {"/data/media/home.htm", "photos\\a b.jpg", "/data/media/photos\\a b.jpg", "/data/media/photos/a b.jpg"},
        {"C:\\media\\home.htm", "x.htm", "C:\\media\\x.htm", "C:/media/x.htm"},
        {"/data/home.htm", "http://example.org/", "http://example.org/", ""},
        {"/data/home.htm", "ext://handbook/", "ext://handbook/", ""},
        {"/data/home.htm", "/abs/page.htm", "/abs/page.htm", "/abs/page.htm"},
        {"/data/home.htm", "file:///tmp/a%20b.htm", "file:///tmp/a%20b.htm", "/tmp/a b.htm"},
        {"", "page.htm", "page.htm", "page.htm"},
        {"/data/home.htm#top", "#OUT:BLANK", "/data/home.htm#OUT:BLANK", "/data/home.htm"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(pvhtml::ResolveAddress(c.base, c.address), c.resolved);
        EXPECT_EQ(pvhtml::FilePathOf(c.resolved), c.file);
    }
    EXPECT_EQ(pvhtml::SchemeOf("C:\\x"), "");
    EXPECT_EQ(pvhtml::SchemeOf("MailTo:a@b"), "mailto");
}
