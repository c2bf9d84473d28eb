// The details-page builder: the template language over a tiny directory, its reports, titles
// and escaping, web mode, and the sample installation's own template.
#include "app/BuildHtm.h"

#include "app/BlowfishCipher.h"
#include "app/CipherKey.h"
#include "app/DirectoryKey.h"
#include "app/ViewerDoc.h"
#include "platform/dao/dao.h"
#include "platform/win/pvwin.h"
#include "tests/app/msgbox_log.h"
#include "tools/pvsample/SampleData.h"
#include "tools/pvsample/SampleWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

struct TableRow {
    long key;
    std::vector<std::string> values;
};
struct Table {
    std::string name;
    std::vector<std::string> fields;
    std::vector<TableRow> rows;
};

std::string jetQuote(const std::string& text)
{
    std::string q = "'";
    for (char c : text) {
        q += c;
        if (c == '\'')
            q += '\'';
    }
    return q + "'";
}

// Writes tables of text fields keyed by _IKEY; values enciphered when a cipher is given.
void writeTables(CDaoDatabase& db, const std::vector<Table>& tables, CCipher* cipher)
{
    for (const Table& t : tables) {
        std::string create = "CREATE TABLE [" + t.name + "] ([_IKEY] LONG";
        std::string head = "INSERT INTO [" + t.name + "] ([_IKEY]";
        for (const std::string& f : t.fields) {
            create += ", [" + f + "] TEXT(255)";
            head += ", [" + f + "]";
        }
        db.Execute((create + ")").c_str());
        for (const TableRow& r : t.rows) {
            std::string sql = head + ") VALUES (" + std::to_string(r.key);
            for (const std::string& v : r.values) {
                CString stored(v.c_str());
                if (cipher && !v.empty())
                    cipher->Encrypt(CString(v.c_str()), stored);
                sql += ", " + jetQuote(stored.str());
            }
            db.Execute((sql + ")").c_str());
        }
    }
}

// Everything of the tiny directory, for both modes.
const std::vector<Table> kTinyTables = {
    { "Data",
      { "First", "Last", "A", "B", "C", "Grade", "Club" },
      { { 1, { "Ann", "Lee", "a", "", "c", "Grade <5 \"A\"", "Track & Field" } }, { 2, { "", "", "", "", "", "", "" } } } },
    { "List", { "V" }, { { 1, { "x" } }, { 1, { "y" } }, { 1, { "z" } }, { 2, { "x" } }, { 2, { "" } }, { 2, { "z" } },
                         { 3, { "" } }, { 3, { "y" } } } },
    { "Rel", { "P", "Q", "R" }, { { 1, { "a", "", "c" } }, { 1, { "d", "e", "" } } } },
};

// A cipher whose every answer is empty, as one that cannot read a value.
class EmptyCipher : public CCipher {
public:
    void Decrypt(const CString&, CString& plain) override { plain.Empty(); }
    void Encrypt(const CString&, CString& stored) override { stored.Empty(); }
    void SetKey(const CString&) override {}
};

class BuildHtmTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PvResetWindowSystem();
        dir = fs::temp_directory_path() /
            ("pv_buildhtm_" + std::to_string(::getpid()) + "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "Data");
        dataPath = (dir / "Data").string() + "/";
        mediaPath = (dir / "Media").string() + "/";
        cipher.SetKey(DeriveCipherKey("Last", "First"));
        {
            CDaoDatabase db;
            db.Create((dataPath + "Directory.mdb").c_str(), CString(dbLangGeneral) + kDirectoryConnect);
            writeTables(db, kTinyTables, &cipher);
        }
        directory.Open((dataPath + "Directory.mdb").c_str(), FALSE, TRUE, kDirectoryConnect);
        builder.SetInputs(dataPath.c_str(), mediaPath.c_str(), &directory, &cipher);
    }
    void TearDown() override
    {
        directory.Close();
        fs::remove_all(dir);
    }

    void writeTemplate(const std::string& text)
    {
        std::ofstream out(dataPath + "dyntemplate.det", std::ios::binary | std::ios::trunc);
        out << text;
    }
    std::string build(long key, const char* mode = "CD-ROM", std::string* title = nullptr, const char* code = "")
    {
        CString t("stale");
        const CString page = builder.GetHtml(code, key, mode, t);
        if (title)
            *title = t.str();
        return page.str();
    }
    std::vector<std::string> boxTexts()
    {
        std::vector<std::string> texts;
        for (const MsgBoxEntry& e : boxes.entries())
            texts.push_back(e.text);
        return texts;
    }

    fs::path dir;
    std::string dataPath, mediaPath;
    CBlowfishCipher cipher;
    CDaoDatabase directory;
    CBuildHtm builder;
    MsgBoxLog boxes;
};

} // namespace

TEST_F(BuildHtmTest, TemplateLanguage)
{
    struct Case {
        const char* name;
        long key;
        std::string body; // between "<HTML>" and "</HTML>"
        std::string page; // the same
    };
    const std::string media = mediaPath;
    const Case cases[] = {
        { "empty block and section vanish with their text", 1,
          "x<UL>head<IF>[<DATA><[Data].[B]></DATA>]</IF>gone</UL>y", "xy" },
        { "a section keeps its head and its blocks with values only", 1,
          "<UL>H<IF>1<DATA><[Data].[A]></DATA>!</IF>mid<IF>2<DATA><[Data].[B]></DATA></IF>after</UL>", "H1a!" },
        { "a, empty, c joined with commas", 1,
          "<UL><IF>(<DATA><[Data].[A]></DATA>, <DATA><[Data].[B]></DATA>, <DATA><[Data].[C]></DATA>)</IF></UL>", "(a, c)" },
        { "a label is printed only before a value, the first one's too", 1,
          "<UL><IF>[<DATA><[Data].[B]></DATA> / <DATA><[Data].[A]></DATA> / <DATA><[Data].[B]></DATA> / "
          "<DATA>c=<[Data].[C]>;</DATA>]</IF></UL>",
          "[ / a / c=c;]" },
        { "list x, y, z", 1, "<UL><IF><DATA><,[List].[V],></DATA></IF></UL>", "x, y, z" },
        { "list x, empty, z", 2, "<UL><IF><DATA><,[List].[V],></DATA></IF></UL>", "x, z" },
        { "list empty, y", 3, "<UL><IF><DATA>dropped<,[List].[V],>too</DATA></IF></UL>", "y" },
        { "a <UR> section before the <UL> one is copied unexpanded", 1,
          "<UR><IF><DATA><[Data].[A]></DATA></IF></UR><UL><IF><DATA><[Data].[C]></DATA></IF></UL>",
          "<UR><IF><DATA><[Data].[A]></DATA></IF></UR>c" },
        { "related rows: a, empty, c and d, e, empty", 1,
          "<LL><IF><T><RELTABLE><r><DATA><[Rel].[P]></DATA>, <DATA><[Rel].[Q]></DATA>, <DATA><[Rel].[R]></DATA></r>"
          "</RELTABLE></T></IF></LL>",
          "<T><r>a, c</r><r>d, e</r></T>" },
        { "a related table without rows leaves no trace", 2,
          "a<LL>H<IF><T><RELTABLE><r><DATA><[Rel].[P]></DATA></r></RELTABLE></T></IF></LL>b", "ab" },
        { "title bar", 1,
          "<UL><IF><H1><TITLEBAR><DATA><[Data].[First]></DATA><DATA> <[Data].[Last]></DATA></TITLEBAR></H1>x</IF></UL>",
          "<H1>Ann Lee</H1>x" },
        { "values are text, and a stored & stays", 1,
          "<UL><IF><P><DATA><[Data].[Grade]></DATA></P><A HREF=\"x:<DATA><[Data].[Grade]></DATA>\"></IF>"
          "<IF><DATA><[Data].[Club]></DATA></IF></UL>",
          "<P>Grade &lt;5 &quot;A&quot;</P><A HREF=\"x:Grade &lt;5 &quot;A&quot;\">Track & Field" },
        { "placeholders", 1, "<MEDIA>|<GRAPHIC>|<IMAGE>|<PHOTO>|<DATAPATH>",
          media + "|" + media + "|" + media + "|" + media + "photos\\|" + dataPath },
        { "an <IF> without </IF> yields nothing", 1, "<UL>H<IF><DATA><[Data].[A]></DATA></UL>", "" },
        { "an element without a closer ends the list", 1, "<UL><IF><DATA><[Data].[A]></DATA><DATA>x</IF></UL>", "a<DATA>x" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeTemplate("<HTML>" + c.body + "</HTML>");
        EXPECT_EQ(build(c.key), "<HTML>" + c.page + "</HTML>");
        EXPECT_TRUE(boxTexts().empty());
    }
}

TEST_F(BuildHtmTest, LineBreaksAndTextAfterThePageNeverReachIt)
{
    writeTemplate("<HTML>a\r\nb<UL>\r\n<IF><DATA><[Data].[A]></DATA></IF>\r\n</UL></HTML>tail\r\n<LL><IF><DATA><[Data].[C]>"
                  "</DATA></IF></LL>\r\n");
    EXPECT_EQ(build(1), "<HTML>aba</HTML>");
}

TEST_F(BuildHtmTest, ReportsInOrderAndTheNextBuildWorks)
{
    struct Case {
        const char* name;
        const char* text; // the template; null: none
        std::vector<std::string> reports;
        std::string page;
        bool emptyCipher = false;
        const char* icon = "warning";
    };
    const std::string tmpl = dataPath + "dyntemplate.det";
    const Case cases[] = {
        { "template missing", nullptr, { "Error opening the template file: " + tmpl }, "" },
        { "no page end", "<HTML><UL><IF><DATA><[Data].[A]></DATA></IF></UL>",
          { "Template Error: Unable to Find HTML end tag" }, "" },
        { "section without closer", "<HTML>a<UL><IF><DATA><[Data].[A]></DATA></IF></HTML>",
          { "Template Error: Unable to Find Section end tag" }, "<HTML>a" },
        { "empty table name", "<HTML><UL><IF><DATA>t<[].[A]></DATA></IF></UL></HTML>",
          { "Error! TABLE tag does not contain a table name.\nt<[].[A]>" }, "<HTML>t<[].[A]></HTML>" },
        { "missing field name", "<HTML><UL><IF><DATA><[Data].[]></DATA>|<DATA><,[Data].[],></DATA></IF></UL></HTML>",
          { "Error! Tag does not contain a field name.\n<[Data].[]>", "Error! Tag does not contain a field name.\n<,[Data].[],>" },
          "<HTML><[Data].[]></HTML>" },
        { "no such table", "<HTML><UL><IF><DATA><[Nope].[A]></DATA></IF></UL></HTML>",
          { "Error! Details could not query the table named Nope" }, "<HTML><[Nope].[A]></HTML>" },
        { "no such field", "<HTML><UL><IF><DATA><[Data].[Nick]></DATA><DATA><,[List].[Nick],></DATA></IF></UL></HTML>",
          { "Error! Unable to read from the field named Nick in the table named Data",
            "Error! Unable to read from the field named Nick in the table named List" },
          "<HTML></HTML>" },
        { "a cipher answering empty", "<HTML><UL><IF><DATA>[<[Data].[A]>]</DATA></IF></UL></HTML>",
          { "Error! Unable to obtain text" }, "<HTML>[]</HTML>", true },
        { "a related table that cannot be opened",
          "<HTML><LL><IF>t<RELTABLE><DATA><[Nope].[P]></DATA></RELTABLE></IF><IF><DATA><[Data].[A]></DATA></IF></LL></HTML>",
          { "Couldn't open table!" }, "<HTML>a</HTML>", false, "none" },
        { "a table name that would run as SQL", "<HTML><UL><IF><DATA><[Data] WHERE 1=1 OR [Data].[A]></DATA></IF></UL></HTML>",
          { "Error! Details could not query the table named Data] WHERE 1=1 OR [Data" },
          "<HTML><[Data] WHERE 1=1 OR [Data].[A]></HTML>" },
    };
    EmptyCipher empty;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(tmpl);
        if (c.text)
            writeTemplate(c.text);
        boxes.clear();
        builder.SetInputs(dataPath.c_str(), mediaPath.c_str(), &directory, c.emptyCipher ? static_cast<CCipher*>(&empty) : &cipher);
        EXPECT_EQ(build(1), c.page);
        EXPECT_EQ(boxTexts(), c.reports);
        for (const MsgBoxEntry& e : boxes.entries())
            EXPECT_EQ(e.icon, c.icon);

        builder.SetInputs(dataPath.c_str(), mediaPath.c_str(), &directory, &cipher);
        boxes.clear();
        writeTemplate("<HTML><UL><IF><DATA><[Data].[A]></DATA></IF></UL></HTML>");
        EXPECT_EQ(build(1), "<HTML>a</HTML>");
        EXPECT_TRUE(boxTexts().empty());
    }
}

TEST_F(BuildHtmTest, EachPageHasItsOwnTitle)
{
    writeTemplate("<HTML><UL><IF><TITLEBAR><DATA><[Data].[First]></DATA><DATA> <[Data].[Last]></DATA></TITLEBAR></IF>"
                  "<IF><B><TITLEBAR><DATA><[Data].[Grade]></DATA></TITLEBAR></B></IF></UL></HTML>");
    std::string title;
    EXPECT_EQ(build(1, "CD-ROM", &title), "<HTML>Ann Lee<B>Grade &lt;5 &quot;A&quot;</B></HTML>");
    EXPECT_EQ(title, "Grade <5 \"A\"");
    EXPECT_EQ(build(2, "CD-ROM", &title), "<HTML></HTML>");
    EXPECT_EQ(title, "");
}

// Web mode over the tiny directory: a settings database of two schools, one whose database is
// missing; each build releases what it opened, so the next one opens it again.
TEST_F(BuildHtmTest, WebModeReleasesItsDatabasesOnEveryPath)
{
    const std::string plain = dataPath + "Plain.mdb";
    {
        CDaoDatabase db;
        db.Create(plain.c_str(), dbLangGeneral);
        writeTables(db, kTinyTables, nullptr);
        CDaoDatabase settings;
        settings.Create((dataPath + CBuildHtm::kSchoolSettingsFile).c_str(), dbLangGeneral);
        settings.Execute("CREATE TABLE Settings ([SchoolCode] TEXT(10), [SchoolName] TEXT(255), [DataPath] TEXT(255), "
                         "[DatabasePath] TEXT(255), [MediaPath] TEXT(255))");
        for (const auto& [code, name, database] : { std::tuple{ "T1", "Tiny School", plain },
                                                    std::tuple{ "BAD", "Bad School", dataPath + "missing.mdb" } })
            settings.Execute(("INSERT INTO Settings VALUES (" + jetQuote(code) + ", " + jetQuote(name) + ", " + jetQuote(dataPath) +
                              ", " + jetQuote(database) + ", " + jetQuote(mediaPath) + ")").c_str());
    }
    writeTemplate("<HTML><IMAGE>|<PHOTO>|<UL><IF><DATA><[Data].[First]></DATA></IF><IF><DATA><[Nope].[A]></DATA></IF>"
                  "<IF><RELTABLE><DATA><[Nope].[A]></DATA></RELTABLE></IF></UL></HTML>");
    const std::string web = "<HTML>/ParavelWeb/T1/||Ann<[Nope].[A]></HTML>";
    struct Step {
        const char* code;
        std::string page;
    };
    const Step steps[] = { { "BAD", "" }, { "T1", web }, { "T1\") OR (\"1\"=\"1", "" }, { "NONE", "" }, { "T1", web } };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.code);
        EXPECT_EQ(build(1, "Web", nullptr, s.code), s.page);
    }
    EXPECT_TRUE(boxTexts().empty()); // not even the plain box of a related table: a server waits for nobody
    // The builder is back on its own database and folders.
    EXPECT_EQ(build(1), "<HTML>" + mediaPath + "|" + mediaPath + "photos\\|Ann<[Nope].[A]></HTML>");
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{ "Error! Details could not query the table named Nope", "Couldn't open table!" }));
}

// ---- The sample installation ----

namespace {

class SampleBuildHtmTest : public ::testing::Test {
protected:
    static constexpr int kPeople = 60;
    static constexpr uint64_t kSeed = 5;

    static void SetUpTestSuite()
    {
        s_dir = new std::string(fs::temp_directory_path() / ("pv_buildhtm_sample_" + std::to_string(::getpid())));
        fs::remove_all(*s_dir);
        pvsample::SampleOptions options;
        options.dir = *s_dir;
        options.people = kPeople;
        options.seed = kSeed;
        s_paths = new pvsample::SamplePaths(pvsample::WriteSampleDirectory(options));
        s_school = new pvsample::School(pvsample::MakeSchool(kPeople, kSeed));
    }
    static void TearDownTestSuite()
    {
        fs::remove_all(*s_dir);
        delete s_school;
        delete s_paths;
        delete s_dir;
    }
    void SetUp() override
    {
        PvResetWindowSystem();
        cipher.SetKey(DeriveCipherKey("Last Name", "First Name"));
        directory.Open(s_paths->databasePath.c_str(), FALSE, TRUE, kDirectoryConnect);
        builder.SetInputs(s_paths->dataPath.c_str(), s_paths->mediaPath.c_str(), &directory, &cipher);
    }

    // The values of one person in one table, plain.
    static std::vector<std::vector<std::string>> rowsOf(const pvsample::TextTable& t, long key)
    {
        std::vector<std::vector<std::string>> out;
        for (size_t r = 0; r < t.rows.size(); ++r)
            if (t.keys[r] == key)
                out.push_back(t.rows[r]);
        return out;
    }
    static std::string value(const pvsample::TextTable& t, const std::vector<std::string>& row, const char* field)
    {
        return row[t.FieldIndex(field)];
    }

    // The sample template's page for one person, assembled from the plain values the
    // generator made.
    static std::string expectedPage(long key, const std::string& dataPath, const std::string& media, const std::string& photo)
    {
        const pvsample::School& s = *s_school;
        const std::vector<std::string> d = rowsOf(s.data, key).at(0);
        auto v = [&](const char* f) { return value(s.data, d, f); };
        // The comma rule: ", " only between two values.
        auto commas = [](std::initializer_list<std::string> values) {
            std::string out;
            for (const std::string& x : values)
                if (!x.empty())
                    out += (out.empty() ? "" : ", ") + x;
            return out;
        };
        std::string p = "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">"
                        "<TITLE>Directory Details</TITLE><LINK REL=\"stylesheet\" TYPE=\"text/css\" HREF=\"" + dataPath +
            "details.css\"></HEAD><BODY BACKGROUND=\"" + media + "paper.bmp\"><IMG SRC=\"" + media +
            "crest.bmp\" ALT=\"Westbrook Academy\" ALIGN=\"right\">";
        p += "<A NAME=\"top\"></A><H1>" + v("First Name") + " " + v("Last Name") + "</H1>";
        for (const auto& row : rowsOf(s.photos, key))
            p += "<P CLASS=\"photo\"><IMG SRC=\"" + photo + row[0] + "\" WIDTH=\"48\" HEIGHT=\"60\" ALT=\"Photo\"></P>";
        p += "<P CLASS=\"role\">" +
            commas({ v("Title"), v("Section"), v("Class").empty() ? "" : "Class of " + v("Class"), v("Homeroom") }) + "</P>";
        p += "<P><A HREF=\"fjc://" + v("Last Name") + "/\">Everyone with this last name</A></P>";

        std::string contact;
        if (!v("E-Mail").empty())
            contact += "<P><A HREF=\"mailto:" + v("E-Mail") + "\">Send e-mail</A></P>";
        if (!v("Telephone").empty())
            contact += "<P>Telephone: " + v("Telephone") + "</P>";
        std::string address = v("Address");
        if (!v("City").empty())
            address += "<BR>" + v("City");
        if (!v("Zip").empty())
            address += " " + v("Zip");
        if (!address.empty())
            contact += "<P>" + address + "</P>";
        if (!contact.empty())
            p += "<H2>Contact</H2>" + contact;

        std::string activities, list, rows;
        for (const auto& row : rowsOf(s.activities, key)) {
            list += (list.empty() ? "" : ", ") + row[0];
            rows += "<li>" + commas({ row[0], row[1] }) + "</li>";
        }
        if (!list.empty())
            activities += "<P>In short: " + list + ".</P><ul>" + rows + "</ul>";
        list.clear();
        rows.clear();
        for (const auto& row : rowsOf(s.awards, key)) {
            list += (list.empty() ? "" : ", ") + row[0];
            rows += "<TR><TD>" + commas({ row[0], row[1] }) + "</TD></TR>";
        }
        if (!list.empty())
            activities += "<P>Honors: " + list + "</P><TABLE CLASS=\"awards\">" + rows + "</TABLE>";
        if (!activities.empty())
            p += "<H2>Activities</H2>" + activities;

        rows.clear();
        for (const auto& row : rowsOf(s.family, key))
            rows += "<TR><TD>" + row[0] + ": " + row[1] + (row[2].empty() ? "" : ", " + row[2]) + "</TD></TR>";
        if (!rows.empty())
            p += "<H2>Family</H2><TABLE CLASS=\"family\">" + rows + "</TABLE>";

        return p + "<P CLASS=\"links\"><A HREF=\"ext://handbook/\">Student handbook</A> | <A HREF=\"ext://lunch/\">Lunch "
                   "menu</A> | <A HREF=\"" + media + "calendar.htm\">Calendar</A> | <A HREF=\"#OUT:BLANK\">Back to top</A></P>"
                   "</BODY></HTML>";
    }

    // A student with a photo, two activities, an award and family: most of the template shows.
    static long fullPerson()
    {
        const pvsample::School& s = *s_school;
        for (long key = 1; key <= kPeople; ++key)
            if (rowsOf(s.photos, key).size() == 1 && rowsOf(s.activities, key).size() >= 2 && !rowsOf(s.awards, key).empty() &&
                !rowsOf(s.family, key).empty())
                return key;
        return 0;
    }

    static std::string fullName(long key)
    {
        const auto d = rowsOf(s_school->data, key).at(0);
        return value(s_school->data, d, "First Name") + " " + value(s_school->data, d, "Last Name");
    }

    static std::string* s_dir;
    static pvsample::SamplePaths* s_paths;
    static pvsample::School* s_school;

    CBlowfishCipher cipher;
    CDaoDatabase directory;
    CBuildHtm builder;
    MsgBoxLog boxes;
};
std::string* SampleBuildHtmTest::s_dir = nullptr;
pvsample::SamplePaths* SampleBuildHtmTest::s_paths = nullptr;
pvsample::School* SampleBuildHtmTest::s_school = nullptr;

bool noTemplateTagLeft(const std::string& page)
{
    for (const char* tag : { "<UL>", "<UR>", "<LL>", "<LR>", "</UL>", "</UR>", "</LL>", "</LR>", "<IF>", "</IF>", "<DATA>",
                             "<TITLEBAR>", "<RELTABLE>", "<[", "<,[", "<MEDIA>", "<PHOTO>", "<IMAGE>", "<GRAPHIC>", "<DATAPATH>" })
        if (page.find(tag) != std::string::npos)
            return false;
    return true;
}

} // namespace

TEST_F(SampleBuildHtmTest, OnePersonsPage)
{
    const long key = fullPerson();
    ASSERT_NE(key, 0);
    std::string title;
    CString t;
    const std::string page = builder.GetHtml("", key, "CD-ROM", t).str();
    EXPECT_EQ(page, expectedPage(key, s_paths->dataPath, s_paths->mediaPath, s_paths->mediaPath + "photos\\"));
    EXPECT_EQ(t.str(), fullName(key));
    EXPECT_TRUE(noTemplateTagLeft(page));
    EXPECT_TRUE(boxes.entries().empty());
    // Everyone's page, built one after the other by one builder.
    for (long k = 1; k <= kPeople; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(builder.GetHtml("", k, "CD-ROM", t).str(), expectedPage(k, s_paths->dataPath, s_paths->mediaPath,
                                                                          s_paths->mediaPath + "photos\\"));
        EXPECT_EQ(t.str(), fullName(k));
    }
    EXPECT_TRUE(boxes.entries().empty());
}

TEST_F(SampleBuildHtmTest, WebMode)
{
    const long key = fullPerson();
    const std::string local = expectedPage(key, s_paths->dataPath, s_paths->mediaPath, s_paths->mediaPath + "photos\\");
    // The settings name the school's folders below the installation.
    const std::string web = expectedPage(key, s_paths->root + "/Data\\", "/ParavelWeb/WBA/", "");
    struct Step {
        const char* name;
        const char* code;
        const char* mode;
        std::string page;
    };
    const Step steps[] = {
        { "web", "WBA", "Web", web },
        { "local right after web", "", "CD-ROM", local },
        { "lower-case web is local mode", "WBA", "web", local },
        { "unknown code", "XYZ", "Web", "" },
        { "a code that would select every school", "X\") OR (\"1\"=\"1", "Web", "" },
        { "web after a failed build", "WBA", "Web", web },
    };
    CString title;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(builder.GetHtml(s.code, key, s.mode, title).str(), s.page);
        EXPECT_EQ(title.str(), s.page.empty() ? "" : fullName(key));
    }
    EXPECT_TRUE(boxes.entries().empty());

    // No settings database beside the data folder: an empty page, silently.
    CBuildHtm elsewhere;
    elsewhere.SetInputs((s_paths->root + "/Media/").c_str(), s_paths->mediaPath.c_str(), &directory, &cipher);
    EXPECT_EQ(elsewhere.GetHtml("WBA", key, "Web", title).str(), "");
    EXPECT_TRUE(boxes.entries().empty());
}
