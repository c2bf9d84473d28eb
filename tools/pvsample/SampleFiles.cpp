#include "tools/pvsample/SampleFiles.h"

#include "platform/controls/imagelist.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace pvsample {

// Section tags are upper case and HTML's own lists are written in lower case, so that a list
// is never taken for a section. Every construct of the template language: the four sections, title bar, value lists with
// comma and label separators, list references, related-table rows, blocks and sections that
// vanish when empty, the placeholders, the link schemes, and text after the page's end.
const char* const kDetailsTemplate[] = {
    "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">",
    "<TITLE>Directory Details</TITLE>",
    "<LINK REL=\"stylesheet\" TYPE=\"text/css\" HREF=\"<DATAPATH>details.css\">",
    "</HEAD><BODY BACKGROUND=\"<IMAGE>paper.bmp\">",
    "<IMG SRC=\"<GRAPHIC>crest.bmp\" ALT=\"Westbrook Academy\" ALIGN=\"right\">",
    "<UL><A NAME=\"top\"></A>",
    "<IF><H1><TITLEBAR><DATA><[Data].[First Name]></DATA><DATA> <[Data].[Last Name]></DATA></TITLEBAR></H1></IF>",
    "<IF><P CLASS=\"photo\"><DATA><IMG SRC=\"<PHOTO><[Photos].[Photo]>\" WIDTH=\"48\" HEIGHT=\"60\" ALT=\"Photo\"></DATA></P></IF>",
    "<IF><P CLASS=\"role\"><DATA><[Data].[Title]></DATA>, <DATA><[Data].[Section]></DATA>, ",
    "<DATA>Class of <[Data].[Class]></DATA>, <DATA><[Data].[Homeroom]></DATA></P></IF>",
    "<IF><P><DATA><A HREF=\"fjc://<[Data].[Last Name]>/\">Everyone with this last name</A></DATA></P></IF>",
    "this text after the last block never reaches the page</UL>",
    "<UR><H2>Contact</H2>",
    "<IF><P><DATA><A HREF=\"mailto:<[Data].[E-Mail]>\">Send e-mail</A></DATA></P></IF>",
    "<IF><P>Telephone: <DATA><[Data].[Telephone]></DATA></P></IF>",
    "<IF><P><DATA><[Data].[Address]></DATA><BR><DATA><[Data].[City]></DATA> <DATA><[Data].[Zip]></DATA></P></IF>",
    "</UR>",
    "<LL><H2>Activities</H2>",
    "<IF><P>In short: <DATA><,[Activities].[Activity],></DATA>.</P></IF>",
    "<IF><ul><RELTABLE><li><DATA><[Activities].[Activity]></DATA>, <DATA><[Activities].[Role]></DATA></li></RELTABLE></ul></IF>",
    "<IF><P>Honors: <DATA><,[Awards].[Award],></DATA></P></IF>",
    "<IF><TABLE CLASS=\"awards\"><RELTABLE><TR><TD><DATA><[Awards].[Award]></DATA>, <DATA><[Awards].[Award Year]></DATA></TD></TR></RELTABLE></TABLE></IF>",
    "</LL>",
    "<LR><H2>Family</H2>",
    "<IF><TABLE CLASS=\"family\"><RELTABLE><TR><TD><DATA><[Family].[Relation]></DATA>: <DATA><[Family].[Family Name]></DATA>, ",
    "<DATA><[Family].[Family Phone]></DATA></TD></TR></RELTABLE></TABLE></IF>",
    "</LR>",
    "<P CLASS=\"links\"><A HREF=\"ext://handbook/\">Student handbook</A> | <A HREF=\"ext://lunch/\">Lunch menu</A> | ",
    "<A HREF=\"<MEDIA>calendar.htm\">Calendar</A> | <A HREF=\"#OUT:BLANK\">Back to top</A></P>",
    "</BODY></HTML>",
    "<!-- Anything after the end of the page is dropped, sections too: <LL><IF><DATA><[Data].[Entry]></DATA></IF> -->",
    nullptr,
};

namespace {

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out)
        throw SampleError("cannot write " + path);
}

void put16(std::string& s, uint32_t v)
{
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}
void put32(std::string& s, uint32_t v)
{
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

std::string page(const std::string& title, const std::string& body)
{
    return "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">\n<TITLE>" + title
        + "</TITLE>\n<LINK REL=\"stylesheet\" TYPE=\"text/css\" HREF=\"site.css\"></HEAD>\n<BODY>\n<H1>" + title
        + "</H1>\n" + body + "\n</BODY></HTML>\n";
}

} // namespace

std::string EncodeBmp(int width, int height, const std::vector<uint32_t>& pixels)
{
    const uint32_t rowBytes = (uint32_t(width) * 3 + 3) & ~3U;
    const uint32_t imageBytes = rowBytes * uint32_t(height);
    std::string s = "BM";
    put32(s, 54 + imageBytes);
    put32(s, 0);
    put32(s, 54);
    put32(s, 40);
    put32(s, uint32_t(width));
    put32(s, uint32_t(height));
    put16(s, 1);
    put16(s, 24);
    put32(s, 0);
    put32(s, imageBytes);
    put32(s, 2835);
    put32(s, 2835);
    put32(s, 0);
    put32(s, 0);
    for (int y = height - 1; y >= 0; --y) { // rows are stored bottom-up
        std::string row;
        for (int x = 0; x < width; ++x) {
            const uint32_t c = pixels[size_t(y) * size_t(width) + size_t(x)];
            row += char(c & 0xFF); // blue, green, red
            row += char((c >> 8) & 0xFF);
            row += char((c >> 16) & 0xFF);
        }
        row.resize(rowBytes, '\0');
        s += row;
    }
    return s;
}

std::string DrawBitmap(int width, int height, uint32_t seed, bool portrait)
{
    Rng rng(seed);
    auto colour = [&](uint32_t lo, uint32_t span) {
        return (lo + rng.Below(span)) << 16 | (lo + rng.Below(span)) << 8 | (lo + rng.Below(span));
    };
    const uint32_t ground = colour(120, 120), skin = 0xC09070 + rng.Below(0x30) * 0x010101, cloth = colour(0, 200);
    std::vector<uint32_t> pixels(size_t(width) * size_t(height), ground);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t& c = pixels[size_t(y) * size_t(width) + size_t(x)];
            if (portrait) {
                const int dx = x - width / 2, dy = y - height * 2 / 5;
                const int rx = width / 4, ry = height / 5;
                if (dx * dx * ry * ry + dy * dy * rx * rx <= rx * rx * ry * ry)
                    c = skin;
                else if (y > height * 7 / 10 && std::abs(dx) < width * (y - height / 2) / height)
                    c = cloth;
            } else if (((x / 8) + (y / 8)) % 2) {
                c = cloth;
            }
        }
    }
    return EncodeBmp(width, height, pixels);
}

namespace {

constexpr uint32_t kMaskColour = 0xFF00FF; // transparent in the image list

// A 16 x 16 canvas of the outline's pictures.
struct Icon {
    uint32_t px[16][16];
    Icon() { fill(0, 0, 15, 15, kMaskColour); }
    void fill(int x0, int y0, int x1, int y1, uint32_t c)
    {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                px[y][x] = c;
    }
    void frame(int x0, int y0, int x1, int y1, uint32_t inside, uint32_t edge)
    {
        fill(x0, y0, x1, y1, edge);
        fill(x0 + 1, y0 + 1, x1 - 1, y1 - 1, inside);
    }
    void page() { frame(3, 1, 12, 14, 0xFFFFFF, 0x404040); }
    void person()
    {
        fill(7, 4, 8, 6, 0x2060C0);
        fill(5, 8, 10, 11, 0x2060C0);
    }
    void folder(bool open)
    {
        frame(1, 3, 7, 5, 0xE8C040, 0x806000);
        frame(1, 5, 14, 13, open ? 0xF8E080 : 0xE8C040, 0x806000);
        if (open)
            frame(4, 8, 15, 13, 0xF8D860, 0x806000);
    }
};

// Pictures 0 to 18 of the outline: 0 a favorite, 1 an open folder (also the Favorites root),
// 2 a closed folder, 3 a favorite with notes, 18 a saved directory list; the others are plain
// pages that the outline does not use.
std::string drawOutlineStrip()
{
    std::vector<Icon> icons(19);
    icons[0].page();
    icons[0].person();
    icons[1].folder(true);
    icons[2].folder(false);
    icons[3].page();
    icons[3].person();
    icons[3].frame(9, 9, 15, 15, 0xFFF070, 0x907000);
    icons[3].fill(10, 11, 14, 11, 0x907000);
    icons[3].fill(10, 13, 13, 13, 0x907000);
    for (int i = 4; i < 18; ++i)
        icons[size_t(i)].frame(4, 3, 11, 12, 0xD0D0D0, 0x707070);
    icons[18].page();
    for (int y = 4; y <= 12; y += 2) {
        icons[18].fill(5, y, 6, y, 0x208040);
        icons[18].fill(8, y, 10, y, 0x404040);
    }
    std::vector<uint32_t> strip(size_t(16 * 19) * 16);
    for (size_t i = 0; i < icons.size(); ++i)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                strip[size_t(y) * 16 * 19 + i * 16 + size_t(x)] = icons[i].px[y][x];
    return EncodeBmp(16 * 19, 16, strip);
}

} // namespace

void WriteSampleFiles(const SamplePaths& p, const School& school)
{
    // The outline's image list, through the platform's image-list writer. Start-up looks for
    // "treelist.bma" and the outline reads "TreeList.bma"; on a file system that tells case
    // apart, the second name is a link to the first.
    const std::string strip = p.dataPath + ".treelist-strip.bmp";
    writeFile(strip, drawOutlineStrip());
    const BOOL written = PvWriteImageListFile((p.dataPath + "treelist.bma").c_str(), strip.c_str(), 16, 16,
        RGB(0xFF, 0x00, 0xFF));
    std::error_code ec;
    fs::remove(strip, ec);
    if (!written)
        throw SampleError("cannot write " + p.dataPath + "treelist.bma");
    fs::create_symlink("treelist.bma", p.dataPath + "TreeList.bma", ec);
    if (ec)
        throw SampleError("cannot link " + p.dataPath + "TreeList.bma: " + ec.message());

    std::string templateText;
    for (const char* const* line = kDetailsTemplate; *line; ++line)
        templateText += std::string(*line) + "\r\n";
    writeFile(p.dataPath + "dyntemplate.det", templateText);
    writeFile(p.dataPath + "details.css",
        "body { font-family: sans-serif; font-size: 10pt; }\nh1 { font-size: 16pt; }\nh2 { font-size: 12pt; color: #003366; }\n");
    writeFile(p.dataPath + "Settings.ini", "[Section1]\r\nGridHint=1\r\n");
    writeFile(p.dataPath + "cpyright.rtf",
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Helvetica;}}\\f0\\fs20 "
        "{\\b Paravel sample directory}\\par "
        "The people, addresses and telephone numbers in this directory are made up by the sample generator; "
        "any likeness to real people is a coincidence.\\par "
        "Copyright \\'a9 2026 " + school.name + ". For the use of its families, students and staff only.\\par }\r\n");

    writeFile(p.mediaPath + "site.css", "body { font-family: sans-serif; }\nh1 { color: #003366; }\n");
    writeFile(p.mediaPath + "crest.bmp", DrawBitmap(40, 48, 7, false));
    writeFile(p.mediaPath + "paper.bmp", DrawBitmap(16, 16, 11, false));
    writeFile(p.mediaPath + "home.htm",
        page("Welcome to the " + school.name + " Directory",
            "<IMG SRC=\"crest.bmp\" ALT=\"Crest\" ALIGN=\"left\">\n"
            "<P>Browse the directory on the left, or press F3 to search it.</P>\n<UL>\n"
            "<LI><A HREF=\"calendar.htm\">School calendar</A>\n"
            "<LI><A HREF=\"athletics.htm\">Athletics</A>\n"
            "<LI><A HREF=\"about.htm\">About the school</A>\n"
            "<LI><A HREF=\"ext://handbook/\">Student handbook</A>\n"
            "<LI><A HREF=\"ext://lunch\">Lunch menu</A>\n"
            "<LI><A HREF=\"fjc://O'Neil\">Find the O'Neils</A>\n"
            "<LI><A HREF=\"fjc://van%20der%20Berg/\">Find the van der Bergs</A>\n"
            "<LI><A HREF=\"#OUT:BLANK\">(a link that does nothing)</A>\n</UL>"));
    writeFile(p.mediaPath + "calendar.htm",
        page("School Calendar", "<TABLE BORDER=\"1\"><TR><TH>Date</TH><TH>Event</TH></TR>\n"
                                "<TR><TD>September 2</TD><TD>First day of school</TD></TR>\n"
                                "<TR><TD>October 14</TD><TD>Open house</TD></TR>\n"
                                "<TR><TD>December 19</TD><TD>Winter concert</TD></TR>\n</TABLE>\n"
                                "<P><A HREF=\"home.htm\">Home</A></P>"));
    writeFile(p.mediaPath + "athletics.htm",
        page("Athletics", "<P>Soccer, basketball and track &amp; field meet after school.</P>\n"
                          "<P><A HREF=\"ext://schedule/\">Game schedule</A> | <A HREF=\"home.htm\">Home</A></P>"));
    writeFile(p.mediaPath + "about.htm",
        page("About " + school.name, "<P>A made-up school for the Paravel sample directory.</P>\n"
                                     "<P><A HREF=\"home.htm\">Home</A></P>"));
    writeFile(p.mediaPath + "external/e_handbook.htm",
        page("Student Handbook", "<P>Be kind. Be on time. Return library books.</P>"));
    writeFile(p.mediaPath + "external/e_lunch.htm",
        page("Lunch Menu", "<P>Monday: soup. Tuesday: tacos. Wednesday: pasta.</P>"));
    writeFile(p.mediaPath + "external/e_schedule.htm",
        page("Game Schedule", "<P>Home games on Fridays at 4 o'clock.</P>"));

    const TextTable& photos = school.photos;
    for (size_t r = 0; r < photos.rows.size(); ++r)
        writeFile(p.mediaPath + "photos/" + photos.rows[r][0], DrawBitmap(48, 60, uint32_t(photos.keys[r]), true));
}

} // namespace pvsample
