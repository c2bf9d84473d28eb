// The sample-directory generator: its data, and an installation as the viewer's readers see it.
#include "tools/pvsample/SampleData.h"
#include "tools/pvsample/SampleFiles.h"
#include "tools/pvsample/SampleWriter.h"

#include "app/BlowfishCipher.h"
#include "app/CipherKey.h"
#include "platform/base/CArchive.h"
#include "platform/base/CFile.h"
#include "platform/base/textcase.h"
#include "platform/controls/imagelist.h"
#include "platform/dao/daodatabase.h"
#include "platform/dao/daorecordset.h"
#include "platform/dao/daotabledef.h"
#include "platform/sys/ole.h"
#include "platform/sys/profile.h"
#include "platform/sys/registry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;
using namespace pvsample;

namespace {

std::string text(const COleVariant& v)
{
    if (v.vt != VT_BSTR)
        return std::string();
    return std::string(v.bstrVal, SysStringLen(v.bstrVal));
}

long number(const COleVariant& v)
{
    COleVariant copy(v);
    copy.ChangeType(VT_I4);
    return copy.lVal;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// One installation of 120 people, written once for the tests that only read it.
class SampleInstallation : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new std::string(fs::temp_directory_path() / ("pvsample_test_" + std::to_string(getpid())));
        fs::remove_all(*s_dir);
        SampleOptions options;
        options.dir = *s_dir + "/install";
        options.people = 120;
        options.seed = 42;
        s_paths = new SamplePaths(WriteSampleDirectory(options));
    }
    static void TearDownTestSuite()
    {
        fs::remove_all(*s_dir);
        delete s_paths;
        delete s_dir;
    }
    static std::string* s_dir;
    static SamplePaths* s_paths;
};
std::string* SampleInstallation::s_dir = nullptr;
SamplePaths* SampleInstallation::s_paths = nullptr;

} // namespace

TEST(SampleData, RanksFollowUpperCasedValuesAndShareEqualOnes)
{
    TextTable t;
    t.fields = { { "F", true } };
    const char* values[] = { "b", "A", "", "a", "B", "c", "\xC3\xA9", "Z", "\xC3\x89" };
    for (const char* v : values)
        t.AddRow(1, { v });
    const std::vector<int32_t> ranks = RankColumn(t, 0);
    const std::vector<int32_t> expected = { 3, 2, 1, 2, 3, 4, 6, 5, 6 };
    EXPECT_EQ(ranks, expected);
}

TEST(SampleData, SameSeedSameSchoolAndNamesThatExerciseSorting)
{
    const School a = MakeSchool(300, 5), b = MakeSchool(300, 5), c = MakeSchool(300, 6);
    EXPECT_EQ(a.data.rows, b.data.rows);
    EXPECT_EQ(a.family.rows, b.family.rows);
    EXPECT_NE(a.data.rows, c.data.rows);
    ASSERT_EQ(a.data.rows.size(), 300u);

    bool apostrophe = false, hyphen = false, nonAscii = false, emptyMail = false, duplicate = false;
    std::set<std::string> names;
    const size_t last = a.data.FieldIndex("Last Name"), first = a.data.FieldIndex("First Name");
    for (const auto& row : a.data.rows) {
        apostrophe |= row[last].find('\'') != std::string::npos;
        hyphen |= row[last].find('-') != std::string::npos;
        for (char ch : row[last] + row[first])
            nonAscii |= (unsigned char)ch >= 0x80;
        emptyMail |= row[a.data.FieldIndex("E-Mail")].empty();
        duplicate |= !names.insert(row[last] + "," + row[first]).second;
    }
    EXPECT_TRUE(apostrophe && hyphen && nonAscii && emptyMail && duplicate);
    // Related tables have several rows for some people and none for others.
    std::map<int32_t, int> perPerson;
    for (int32_t k : a.activities.keys)
        ++perPerson[k];
    EXPECT_GT(std::count_if(perPerson.begin(), perPerson.end(), [](auto& p) { return p.second > 1; }), 0);
    EXPECT_LT(perPerson.size(), 300u);
}

TEST(SampleData, AddressesPhonesAndFamiliesLookReal)
{
    const School s = MakeSchool(5000, 7);
    std::set<std::string> mails, phones;
    size_t withMail = 0, withPhone = 0;
    const size_t mail = s.data.FieldIndex("E-Mail"), phone = s.data.FieldIndex("Telephone");
    for (const auto& row : s.data.rows) {
        if (!row[mail].empty()) {
            ++withMail;
            EXPECT_TRUE(mails.insert(row[mail]).second) << "shared address " << row[mail];
        }
        if (!row[phone].empty()) {
            ++withPhone;
            phones.insert(row[phone]);
            EXPECT_EQ(row[phone].size(), 14u) << row[phone];
        }
    }
    EXPECT_GT(withMail, 4000u);
    EXPECT_GT(phones.size(), withPhone * 99 / 100) << "few people share a number";

    // A first name that fits the relation, checked against names only one sex carries here.
    struct Fit {
        const char* relation;
        const char* never;  // a first name this relation never has
    };
    const Fit fits[] = {
        {"Mother", "John "}, {"Grandmother", "Liam "}, {"Father", "Mary "}, {"Stepfather", "Emma "},
    };
    const size_t relation = s.family.FieldIndex("Relation"), name = s.family.FieldIndex("Family Name");
    std::map<std::string, int> seen;
    for (const auto& row : s.family.rows) {
        ++seen[row[relation]];
        for (const Fit& f : fits) {
            SCOPED_TRACE(f.relation);
            if (row[relation] == f.relation) {
                EXPECT_NE(row[name].rfind(f.never, 0), 0u) << row[name];
            }
        }
    }
    for (const Fit& f : fits)
        EXPECT_GT(seen[f.relation], 50) << f.relation;
}

TEST_F(SampleInstallation, LinksInsideTheDatabasesSurviveAMove)
{
    // A copy somewhere else, as an installation copied from the CD or moved by the user.
    const std::string moved = *s_dir + "/moved";
    fs::copy(s_paths->root, moved, fs::copy_options::recursive);
    auto resolve = [&](std::string rel) {
        EXPECT_FALSE(rel.empty());
        EXPECT_NE(rel[0], '\\') << rel;
        EXPECT_EQ(rel.find(s_paths->root), std::string::npos) << "no trace of the first place: " << rel;
        for (char& c : rel)
            if (c == '\\')
                c = '/';
        return moved + "/" + rel;
    };

    CDaoDatabase custom;
    custom.Open((moved + "/User/Custom.mdb").c_str(), FALSE, TRUE, "");
    CDaoRecordset tree(&custom);
    tree.Open(dbOpenSnapshot, "SELECT * FROM Tree WHERE [Type] = 'EmbedWeb'");
    int embedded = 0;
    for (; !tree.IsEOF(); tree.MoveNext(), ++embedded)
        EXPECT_TRUE(fs::is_regular_file(resolve(text(tree.GetFieldValue("Link")))));
    EXPECT_EQ(embedded, 1);
    tree.Close();
    custom.Close();

    CDaoDatabase settings;
    settings.Open((moved + "/Data/SchoolSettings.mdb").c_str(), FALSE, TRUE, "");
    CDaoRecordset row(&settings);
    row.Open(dbOpenDynaset, "SELECT * FROM Settings WHERE ([Settings].[SchoolCode]=\"WBA\")");
    ASSERT_FALSE(row.IsEOF());
    EXPECT_TRUE(fs::is_regular_file(resolve(text(row.GetFieldValue("DataPath"))) + "dyntemplate.det"));
    EXPECT_TRUE(fs::is_regular_file(resolve(text(row.GetFieldValue("DatabasePath")))));
    EXPECT_TRUE(fs::is_regular_file(resolve(text(row.GetFieldValue("MediaPath"))) + "athletics.htm"));
    EXPECT_EQ(text(row.GetFieldValue("DataPath")).back(), '\\');
}

TEST_F(SampleInstallation, FilesTheReadersLookFor)
{
    const SamplePaths& p = *s_paths;
    for (const std::string& f : { p.databasePath, p.customPath, p.schoolSettingsPath, p.webDatabasePath,
             p.dataPath + "dyntemplate.det", p.dataPath + "cpyright.rtf", p.dataPath + "Settings.ini",
             p.mediaPath + "home.htm", p.mediaPath + "external/e_handbook.htm", p.mediaPath + "external/e_lunch.htm",
             p.mediaPath + "calendar.htm", p.mediaPath + "photos/p1.bmp" })
        EXPECT_TRUE(fs::is_regular_file(f)) << f;
    EXPECT_EQ(p.dataPath.back(), '/');
    EXPECT_EQ(p.mediaPath.back(), '/');

    // The outline's image list, under both spellings the program uses, read back by the
    // platform's own reader: pictures 0 to 18, 16 pixels square.
    for (const char* name : { "treelist.bma", "TreeList.bma" }) {
        CFile file;
        ASSERT_TRUE(file.Open((p.dataPath + name).c_str(), CFile::modeRead | CFile::shareDenyWrite)) << name;
        CArchive ar(&file, CArchive::load);
        CImageList images;
        EXPECT_TRUE(images.Read(&ar));
        EXPECT_EQ(images.GetImageCount(), 19);
        int cx = 0, cy = 0;
        images.GetIconSize(&cx, &cy);
        EXPECT_EQ(cx, 16);
        EXPECT_EQ(cy, 16);
    }
    EXPECT_FALSE(fs::exists(p.dataPath + ".treelist-strip.bmp"));

    char hint[2] = {};
    GetPrivateProfileString("Section1", "GridHint", "0", hint, 2, (p.dataPath + "Settings.ini").c_str());
    EXPECT_STREQ(hint, "1");

    const std::string photo = readFile(p.mediaPath + "photos/p1.bmp");
    ASSERT_GE(photo.size(), 54u);
    EXPECT_EQ(photo.substr(0, 2), "BM");
    EXPECT_EQ(photo.size(), 54u + 60u * 144u);

    // Lines are joined without separators, so no tag may be split across two lines.
    const std::string det = readFile(p.dataPath + "dyntemplate.det");
    std::istringstream lines(det);
    for (std::string line; std::getline(lines, line);)
        EXPECT_EQ(std::count(line.begin(), line.end(), '<'), std::count(line.begin(), line.end(), '>')) << line;
    for (const char* tag : { "<UL>", "<UR>", "<LL>", "<LR>", "<IF>", "<TITLEBAR>", "<RELTABLE>", "<DATA>", "<,[",
             "<MEDIA>", "<DATAPATH>", "<GRAPHIC>", "<IMAGE>", "<PHOTO>", "ext://", "fjc://", "OUT:BLANK", "</HTML>" })
        EXPECT_NE(det.find(tag), std::string::npos) << tag;
    // Section tags are found by priority, not position: an HTML list written "<UL>" would be
    // taken for a section.
    auto count = [&](const std::string& tag) {
        size_t n = 0;
        for (size_t at = det.find(tag); at != std::string::npos; at = det.find(tag, at + 1))
            ++n;
        return n;
    };
    for (const char* tag : { "<UL>", "</UL>", "<UR>", "</UR>", "</LL>", "<LR>", "</LR>" })
        EXPECT_EQ(count(tag), 1u) << tag;
}

TEST_F(SampleInstallation, DirectoryOpensOnlyWithItsPassword)
{
    struct Case {
        const char* connect;
        long error;
    };
    const Case cases[] = { { ";PWD=KvRtWmPnoQaz", 0 }, { "", JET_ERR_BAD_PASSWORD }, { ";PWD=kvrtwmpnoqaz", JET_ERR_BAD_PASSWORD } };
    for (const Case& c : cases) {
        CDaoDatabase db;
        long error = 0;
        try {
            db.Open(s_paths->databasePath.c_str(), FALSE, TRUE, c.connect);
        } catch (const CDaoException& e) {
            error = e.m_pErrorInfo->m_lErrorCode;
        }
        EXPECT_EQ(error, c.error) << c.connect;
        db.Close();
    }
}

TEST_F(SampleInstallation, DecipheredColumnsInRankOrderAreInUpperCasedByteOrder)
{
    CDaoDatabase db;
    db.Open(s_paths->databasePath.c_str(), FALSE, TRUE, ";PWD=KvRtWmPnoQaz");

    CString first, second;
    {
        CDaoRecordset app(&db);
        app.Open(dbOpenDynaset, "SELECT * FROM Application");
        std::vector<std::pair<std::string, std::string>> rows;
        for (; !app.IsEOF(); app.MoveNext())
            rows.push_back({ text(app.GetFieldValue("Key")), text(app.GetFieldValue("Value")) });
        ASSERT_EQ(rows.size(), 4u);
        EXPECT_EQ(rows[1], (std::pair<std::string, std::string> { "DefaultSort1", "Last Name" }));
        EXPECT_EQ(rows[2], (std::pair<std::string, std::string> { "DefaultSort2", "First Name" }));
        first = rows[1].second.c_str();
        second = rows[2].second.c_str();
    }
    CBlowfishCipher cipher;
    cipher.SetKey(DeriveCipherKey(first, second));

    struct Column {
        const char *table, *field;
    };
    const Column columns[] = { { "Data", "Last Name" }, { "Data", "First Name" }, { "Data", "E-Mail" },
        { "Data", "Class" }, { "Activities", "Activity" }, { "Family", "Family Name" } };
    for (const Column& c : columns) {
        SCOPED_TRACE(c.field);
        CDaoRecordset rs(&db);
        rs.Open(dbOpenSnapshot, (std::string("SELECT * FROM [") + c.table + "] ORDER BY [_I" + c.field + "]").c_str());
        std::string previous;
        long previousRank = 1; // as if an empty value came first
        int rows = 0, empty = 0;
        for (; !rs.IsEOF(); rs.MoveNext(), ++rows) {
            CString plain;
            cipher.Decrypt(CString(text(rs.GetFieldValue(c.field))), plain);
            const std::string upper = PvUpperCase(plain.view());
            const long rank = number(rs.GetFieldValue((std::string("_I") + c.field).c_str()));
            if (upper.empty()) {
                ++empty;
                EXPECT_EQ(rank, 1);
            } else {
                EXPECT_GE(rank, 2);
                EXPECT_LE(rank, 9999999);
            }
            EXPECT_LE(previous, upper);
            EXPECT_EQ(rank == previousRank, upper == previous) << upper;
            previous = upper;
            previousRank = rank;
        }
        EXPECT_GT(rows, 0);
        if (std::string(c.field) == "E-Mail") {
            EXPECT_GT(empty, 0);
        }
    }

    // Every criterion names a rank column of its table, and COMBO criteria a lookup table.
    CDaoRecordset q(&db);
    q.Open(dbOpenDynaset, "SELECT * FROM qsearch ORDER BY Sequence");
    int criteria = 0;
    std::set<std::string> controls;
    for (; !q.IsEOF(); q.MoveNext(), ++criteria) {
        const std::string table = text(q.GetFieldValue("Table")), field = text(q.GetFieldValue("Field"));
        controls.insert(text(q.GetFieldValue("Control")));
        // The key-range search opens the criterion's table by its upper-cased name and walks
        // it in the order of the index named like the rank column.
        CDaoTableDef def(&db);
        CDaoRecordset probe(&db);
        EXPECT_NO_THROW({
            def.Open(PvUpperCase(table).c_str());
            probe.Open(&def);
            probe.SetCurrentIndex(("_I" + field).c_str());
            probe.MoveFirst();
        }) << table << "." << field;
        EXPECT_GT(def.GetRecordCount(), 0);
        const std::string helper = text(q.GetFieldValue("Helper"));
        if (!helper.empty()) {
            CDaoRecordset lookup(&db);
            EXPECT_NO_THROW(lookup.Open(dbOpenSnapshot, ("SELECT [Display], [Actual] FROM [" + helper + "]").c_str()));
        }
    }
    EXPECT_GE(criteria, 8);
    EXPECT_EQ(controls, (std::set<std::string> { "COMBO", "EDIT" }));

    CDaoRecordset blank(&db);
    blank.Open(dbOpenSnapshot, "SELECT * FROM Blank");
    CDaoFieldInfo info;
    blank.GetFieldInfo(0, info);
    EXPECT_EQ(info.m_strName, CString("No Records Found"));
}

TEST_F(SampleInstallation, OutlineAndNotes)
{
    CDaoDatabase db;
    db.Open(s_paths->customPath.c_str(), FALSE, FALSE, "");
    CDaoRecordset tree(&db);
    tree.Open(dbOpenSnapshot, "SELECT * FROM Tree ORDER BY [Order]");
    std::map<std::string, std::string> parentOf;
    int queries = 0, details = 0, folders = 0, withNote = 0;
    std::set<long> noted;
    for (; !tree.IsEOF(); tree.MoveNext()) {
        const std::string key = text(tree.GetFieldValue("Key")), parent = text(tree.GetFieldValue("Parent"));
        const std::string type = text(tree.GetFieldValue("Type"));
        EXPECT_TRUE(parent.empty() || parentOf.count(parent)) << "parent before child: " << key;
        EXPECT_FALSE(parentOf.count(key)) << "keys are unique: " << key;
        parentOf[key] = parent;
        queries += type == "Query" && parent == "Views";
        folders += type.empty() && parent == "Favorites";
        if (type == "Details") {
            ++details;
            if (number(tree.GetFieldValue("Image")) == 3) {
                ++withNote;
                noted.insert(std::stol(text(tree.GetFieldValue("Link"))));
            }
        }
    }
    EXPECT_EQ(parentOf["Views"], "");
    EXPECT_EQ(parentOf["Favorites"], "");
    EXPECT_GE(queries, 3); // two saved lists and "People with E-Mail Addresses"
    EXPECT_EQ(folders, 2);
    EXPECT_GE(details, 3);
    EXPECT_EQ(withNote, 1);

    CDaoRecordset notes(&db);
    notes.Open(dbOpenSnapshot, "SELECT * FROM Annotations");
    int count = 0, ofFavorite = 0;
    for (; !notes.IsEOF(); notes.MoveNext(), ++count) {
        ofFavorite += noted.count(number(notes.GetFieldValue("_IKEY")));
        EXPECT_LE(text(notes.GetFieldValue("MEMO")).size(), 255u);
    }
    EXPECT_EQ(count, 2);
    EXPECT_EQ(ofFavorite, 1);
}

TEST_F(SampleInstallation, ExistingInstallationIsNeverOverwritten)
{
    SampleOptions again;
    again.dir = s_paths->root;
    EXPECT_THROW(WriteSampleDirectory(again), SampleError);
    EXPECT_TRUE(fs::is_regular_file(s_paths->customPath));
}

TEST_F(SampleInstallation, RegisterWritesTheProgramsValues)
{
    const std::string registry = *s_dir + "/registry";
    fs::create_directories(registry);
    setenv("PV_REGISTRY_DIR", registry.c_str(), 1);
    RegisterSampleDirectory(*s_paths);

    struct Case {
        HKEY root;
        const char *key, *name;
        std::string expected;
    };
    const Case cases[] = {
        { HKEY_CURRENT_USER, kProgramKey, "DatabasePath", s_paths->databasePath },
        { HKEY_CURRENT_USER, kProgramKey, "DataPath", s_paths->dataPath },
        { HKEY_CURRENT_USER, kProgramKey, "MediaPath", s_paths->mediaPath },
        { HKEY_CURRENT_USER, kProgramKey, "CustomPath", s_paths->customPath },
        { HKEY_LOCAL_MACHINE, kBrowserKey, "Version", kBrowserVersion },
    };
    for (const Case& c : cases) {
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyEx(c.root, c.key, 0, KEY_READ, &key), ERROR_SUCCESS) << c.key;
        char value[256] = {};
        DWORD size = sizeof value, type = 0;
        EXPECT_EQ(RegQueryValueEx(key, c.name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size), ERROR_SUCCESS);
        EXPECT_EQ(type, DWORD(REG_SZ));
        EXPECT_EQ(std::string(value), c.expected);
        RegCloseKey(key);
    }
    unsetenv("PV_REGISTRY_DIR");
}
