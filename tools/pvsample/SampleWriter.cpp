#include "tools/pvsample/SampleWriter.h"

#include "tools/pvsample/SampleData.h"
#include "tools/pvsample/SampleFiles.h"

#include "app/BlowfishCipher.h"
#include "app/CipherKey.h"
#include "app/DirectoryKey.h"
#include "platform/dao/daodatabase.h"
#include "platform/base/utf8.h"
#include "platform/sys/registry.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace pvsample {

const char kProgramKey[] = "SOFTWARE\\Morlow Systems, Inc.\\Paravel\\3.0\\main";
const char kBrowserKey[] = "Software\\Microsoft\\Internet Explorer";
const char kBrowserVersion[] = "6.0.2900.2180";
const char kSchoolCode[] = "WBA";

namespace {

const char kDefaultSort1[] = "Last Name";
const char kDefaultSort2[] = "First Name";

std::string quote(const std::string& text)
{
    std::string q = "'";
    for (char c : text) {
        q += c;
        if (c == '\'')
            q += '\'';
    }
    return q + "'";
}

std::string bracket(const std::string& name) { return "[" + name + "]"; }

// A path stored inside the databases: below the installation's folder, with Windows separators
// ("Media\\athletics.htm"), so that a copied or moved installation still finds its files.
std::string belowRoot(const SamplePaths& p, const std::string& path)
{
    std::string rel = path.substr(std::min(path.size(), p.root.size() + 1));
    for (char& c : rel)
        if (c == '/')
            c = '\\';
    return rel;
}

// One database being written: every statement inside one transaction, for speed.
class Writer
{
public:
    Writer(const std::string& path, const std::string& password)
    {
        std::string locale = dbLangGeneral;
        if (!password.empty())
            locale += ";pwd=" + password;
        m_db.Create(path.c_str(), locale.c_str());
        m_db.m_pWorkspace->BeginTrans();
    }
    ~Writer()
    {
        if (m_db.IsOpen()) {
            try {
                m_db.m_pWorkspace->Rollback();
            } catch (const CDaoException&) {
            }
            m_db.Close();
        }
    }
    void Run(const std::string& sql) { m_db.Execute(sql.c_str()); }
    void Finish()
    {
        m_db.m_pWorkspace->CommitTrans();
        m_db.Close();
    }

private:
    CDaoDatabase m_db;
};

// Text fields are declared as a directory's designer would size them: 50 characters where every
// stored value fits, else 255. The grid sizes its columns from this, so 255 everywhere would give
// columns a screen wide. Enciphered values take 10 characters per 8 bytes.
long storedFieldSize(const TextTable& t, size_t f, bool enciphered)
{
    size_t longest = 0;
    for (const auto& row : t.rows) {
        const size_t n = row[f].size();
        longest = std::max(longest, enciphered ? 10 * ((n + 7) / 8) : size_t(PvUtf8CharCount(row[f].data(), n)));
    }
    return longest <= 50 ? 50 : 255;
}

// A keyed text table: _IKEY, then each field (enciphered unless plain) with its rank column;
// an index named like each rank column.
void writeTextTable(Writer& w, const TextTable& t, CBlowfishCipher* cipher)
{
    std::string create = "CREATE TABLE " + bracket(t.name) + " ([_IKEY] LONG";
    for (size_t i = 0; i < t.fields.size(); ++i) {
        const Field& f = t.fields[i];
        create += ", " + bracket(f.name) + " TEXT(" + std::to_string(storedFieldSize(t, i, cipher != nullptr)) + ")";
        if (f.ranked)
            create += ", " + bracket("_I" + f.name) + " LONG";
    }
    w.Run(create + ")");

    std::vector<std::vector<int32_t>> ranks(t.fields.size());
    for (size_t f = 0; f < t.fields.size(); ++f)
        if (t.fields[f].ranked)
            ranks[f] = RankColumn(t, f);

    std::string head = "INSERT INTO " + bracket(t.name) + " ([_IKEY]";
    for (const Field& f : t.fields) {
        head += ", " + bracket(f.name);
        if (f.ranked)
            head += ", " + bracket("_I" + f.name);
    }
    head += ") VALUES (";
    CString stored;
    std::string sql;
    for (size_t r = 0; r < t.rows.size(); ++r) {
        sql = head + std::to_string(t.keys[r]);
        for (size_t f = 0; f < t.fields.size(); ++f) {
            const std::string& value = t.rows[r][f];
            if (cipher && !value.empty()) {
                cipher->Encrypt(CString(value), stored);
                sql += ", " + quote(stored.str());
            } else {
                sql += ", " + quote(value);
            }
            if (t.fields[f].ranked)
                sql += ", " + std::to_string(ranks[f][r]);
        }
        w.Run(sql + ")");
    }
    for (const Field& f : t.fields)
        if (f.ranked)
            w.Run("CREATE INDEX " + bracket("_I" + f.name) + " ON " + bracket(t.name) + " (" + bracket("_I" + f.name) + ")");
    // The record key is unique in Data; related tables have several rows per key.
    w.Run(std::string(t.name == "Data" ? "CREATE UNIQUE INDEX" : "CREATE INDEX") + " [_IKEY] ON " + bracket(t.name) + " ([_IKEY])");
}

// Lookup table: Display and Actual; with _ISortOrder, or else ordered by its index "Default".
void writeLookup(Writer& w, const std::string& name, const std::vector<std::string>& items, bool sortOrder)
{
    w.Run("CREATE TABLE " + bracket(name) + " ([Display] TEXT(255), [Actual] TEXT(255)"
        + (sortOrder ? ", [_ISortOrder] LONG)" : ")"));
    // Rows go in backwards, so that only the sort order column or the index puts them right.
    for (size_t i = items.size(); i-- > 0;) {
        std::string sql = "INSERT INTO " + bracket(name) + " ([Display], [Actual]"
            + (sortOrder ? ", [_ISortOrder]) VALUES (" : ") VALUES (") + quote(items[i]) + ", "
            + quote(std::to_string(i + 1));
        if (sortOrder)
            sql += ", " + std::to_string(i + 1);
        w.Run(sql + ")");
    }
    w.Run("CREATE INDEX [Default] ON " + bracket(name) + " ([Display])");
}

// The rank of a value in one column, for saved queries.
int32_t rankOf(const TextTable& t, const std::string& field, const std::string& value)
{
    const size_t f = t.FieldIndex(field);
    const std::vector<int32_t> ranks = RankColumn(t, f);
    for (size_t r = 0; r < t.rows.size(); ++r)
        if (t.rows[r][f] == value)
            return ranks[r];
    return 0;
}

std::string defaultOrder() { return " ORDER BY Data.[_ILast Name], Data.[_IFirst Name]"; }

void writeDirectory(const std::string& path, const School& s, bool enciphered, size_t people)
{
    CBlowfishCipher cipher;
    cipher.SetKey(DeriveCipherKey(kDefaultSort1, kDefaultSort2));
    Writer w(path, enciphered ? kDirectoryPassword : "");
    CBlowfishCipher* c = enciphered ? &cipher : nullptr;

    auto firstPeople = [&](const TextTable& t) {
        if (people >= size_t(s.data.rows.size()))
            return t;
        TextTable part = t;
        part.keys.clear();
        part.rows.clear();
        for (size_t r = 0; r < t.rows.size(); ++r)
            if (size_t(t.keys[r]) <= people)
                part.AddRow(t.keys[r], t.rows[r]);
        return part;
    };
    writeTextTable(w, firstPeople(s.data), c);
    writeTextTable(w, firstPeople(s.activities), c);
    writeTextTable(w, firstPeople(s.awards), c);
    writeTextTable(w, firstPeople(s.family), c);
    writeTextTable(w, firstPeople(s.photos), c);

    writeLookup(w, "SectionList", s.sections, true);
    writeLookup(w, "ClassList", s.classes, false);
    writeLookup(w, "ActivityList", s.activityNames, true);

    w.Run("CREATE TABLE [qsearch] ([Display] TEXT(50), [Control] TEXT(10), [Table] TEXT(50), [Field] TEXT(50), "
          "[Helper] TEXT(50), [Sequence] LONG)");
    struct Criterion {
        const char *display, *control, *table, *field, *helper;
    };
    // Listed out of order: the dialog orders them by Sequence. Trailing blanks are ignored.
    const Criterion criteria[] = {
        { "First Name", "EDIT", "Data", "First Name", "" },
        { "Last Name  ", "EDIT", "Data", "Last Name", "" },
        { "Section", "COMBO", "Data", "Section", "SectionList" },
        { "Class", "COMBO", "Data", "Class", "ClassList" },
        { "Title", "EDIT", "Data", "Title", "" },
        { "City", "EDIT", "Data", "City", "" },
        { "E-Mail", "EDIT", "Data", "E-Mail", "" },
        { "Activity", "COMBO", "activities", "Activity", "ActivityList" },
        { "Award", "EDIT", "Awards", "Award", "" },
        { "Family Member", "EDIT", "Family", "Family Name", "" },
    };
    const int sequence[] = { 2, 1, 3, 4, 5, 6, 7, 8, 9, 10 };
    for (size_t i = 0; i < std::size(criteria); ++i) {
        const Criterion& k = criteria[i];
        w.Run(std::string("INSERT INTO [qsearch] ([Display], [Control], [Table], [Field], [Helper], [Sequence]) VALUES (")
            + quote(k.display) + ", " + quote(k.control) + ", " + quote(k.table) + ", " + quote(k.field) + ", "
            + quote(k.helper) + ", " + std::to_string(sequence[i]) + ")");
    }

    w.Run("CREATE TABLE [Blank] ([No Records Found] TEXT(50))");

    w.Run("CREATE TABLE [Application] ([Key] TEXT(50), [Value] TEXT(255))");
    const std::pair<const char*, std::string> settings[] = {
        { "AppTitle", "Paravel - " + s.name + " Directory" },
        { "DefaultSort1", kDefaultSort1 },
        { "DefaultSort2", kDefaultSort2 },
        { "Footnote", s.name + " Directory, school year 2026-2027" },
    };
    for (const auto& [key, value] : settings)
        w.Run("INSERT INTO [Application] ([Key], [Value]) VALUES (" + quote(key) + ", " + quote(value) + ")");
    w.Finish();
}

void writeCustom(const SamplePaths& p, const School& s)
{
    Writer w(p.customPath, "");
    w.Run("CREATE TABLE [Tree] ([Key] TEXT(50), [Order] LONG, [Parent] TEXT(50), [Text] TEXT(255), [Image] LONG, "
          "[Selected Image] LONG, [Type] TEXT(50), [Link] MEMO, [Expanded] LONG)");
    w.Run("CREATE INDEX [Order] ON [Tree] ([Order])");
    w.Run("CREATE TABLE [Annotations] ([_IKEY] LONG, [MEMO] TEXT(255))");
    w.Run("CREATE INDEX [_IKEY] ON [Annotations] ([_IKEY])");

    const TextTable& d = s.data;
    const size_t people = d.rows.size();
    auto entry = [&](size_t key) { return d.rows[key - 1][d.FieldIndex("First Name")] + " " + d.rows[key - 1][d.FieldIndex("Last Name")]; };
    // Favorites: the first faculty members, a student, and a person with a note.
    std::vector<size_t> faculty, students;
    for (size_t r = 0; r < people; ++r)
        (d.rows[r][d.FieldIndex("Section")] == "Faculty" ? faculty : students).push_back(r + 1);

    struct Row {
        std::string key, parent, text;
        int image, selected;
        std::string type, link;
        int expanded;
    };
    std::vector<Row> rows = {
        { "Views", "", "Directory Lists", 0, 0, "", "", 0 },
        { "Favorites", "", "Favorites", 1, 1, "", "", 0 },
        { "People with E-Mail Addresses", "Views", "People with E-Mail Addresses", 18, 18, "Query",
            "SELECT DATA.*  FROM DATA  WHERE ([DATA].[_IE-Mail] BETWEEN 2 AND 9999999)" + defaultOrder(), 0 },
        { "Class of 2027", "Views", "Class of 2027", 18, 18, "Query",
            "SELECT DATA.*  FROM DATA  WHERE ([DATA].[_IClass] BETWEEN " + std::to_string(rankOf(d, "Class", "2027"))
                + " AND " + std::to_string(rankOf(d, "Class", "2027")) + ")" + defaultOrder(), 1 },
        { "Faculty", "Views", "Faculty", 18, 18, "Query",
            "SELECT DATA.*  FROM DATA  WHERE ([DATA].[_ISection] BETWEEN " + std::to_string(rankOf(d, "Section", "Faculty"))
                + " AND " + std::to_string(rankOf(d, "Section", "Faculty")) + ")" + defaultOrder(), 0 },
        { "Teachers", "Favorites", "Teachers", 2, 1, "", "", 1 },
        { "Classmates", "Favorites", "Classmates", 2, 1, "", "", 0 },
        { "School Calendar", "Favorites", "School Calendar", 0, 0, "Media", "calendar.htm", 1 },
        { "Athletics", "Favorites", "Athletics", 0, 0, "EmbedWeb", belowRoot(p, p.mediaPath + "athletics.htm"), 0 },
        { "School Website", "Favorites", "School Website", 0, 0, "Web", "https://www.westbrook.example.org/", 0 },
    };
    std::vector<std::pair<int32_t, std::string>> notes;
    // A favorite's key is its name, and keys are unique: people who share a name with an
    // earlier favorite are passed over.
    auto favorite = [&](const std::string& parent, size_t key, bool note, int expanded) {
        const std::string name = entry(key);
        for (const Row& r : rows)
            if (r.key == name)
                return false;
        rows.push_back({ name, parent, name, note ? 3 : 0, note ? 3 : 0, "Details", std::to_string(key), expanded });
        if (note)
            notes.push_back({ int32_t(key), "Met at the open house; ask about the volunteer list." });
        return true;
    };
    size_t added = 0;
    for (size_t i = 0; i < faculty.size() && added < 2; ++i)
        added += favorite("Teachers", faculty[i], added == 0, added == 0 ? 1 : 0);
    size_t next = 0;
    for (added = 0; next < students.size() && added < 2; ++next)
        added += favorite("Classmates", students[next], false, 0);
    for (added = 0; next < students.size() && added < 1; ++next)
        added += favorite("Favorites", students[next], false, 0);
    // A note for someone who is not a favorite.
    if (next < students.size())
        notes.push_back({ int32_t(students[next]), "Carpool on Tuesdays; call after 5 o'clock." });

    int order = 0;
    for (const Row& r : rows) {
        w.Run("INSERT INTO [Tree] ([Key], [Order], [Parent], [Text], [Image], [Selected Image], [Type], [Link], [Expanded]) VALUES ("
            + quote(r.key) + ", " + std::to_string(++order) + ", " + quote(r.parent) + ", " + quote(r.text) + ", "
            + std::to_string(r.image) + ", " + std::to_string(r.selected) + ", " + quote(r.type) + ", "
            + quote(r.link) + ", " + std::to_string(r.expanded) + ")");
    }
    for (const auto& [key, memo] : notes)
        w.Run("INSERT INTO [Annotations] ([_IKEY], [MEMO]) VALUES (" + std::to_string(key) + ", " + quote(memo) + ")");
    w.Finish();
}

void writeSchoolSettings(const SamplePaths& p, const School& s)
{
    Writer w(p.schoolSettingsPath, "");
    w.Run("CREATE TABLE [Settings] ([SchoolCode] TEXT(10), [SchoolName] TEXT(255), [DataPath] TEXT(255), "
          "[DatabasePath] TEXT(255), [MediaPath] TEXT(255))");
    w.Run("INSERT INTO [Settings] ([SchoolCode], [SchoolName], [DataPath], [DatabasePath], [MediaPath]) VALUES ("
        + quote(kSchoolCode) + ", " + quote(s.name) + ", " + quote(belowRoot(p, p.dataPath)) + ", "
        + quote(belowRoot(p, p.webDatabasePath)) + ", " + quote(belowRoot(p, p.mediaPath)) + ")");
    w.Finish();
}

void createFolder(const fs::path& path)
{
    std::error_code ec;
    fs::create_directories(path, ec);
    if (ec)
        throw SampleError("cannot create folder " + path.string() + ": " + ec.message());
}

} // namespace

SamplePaths SamplePathsFor(const std::string& dir)
{
    std::error_code ec;
    fs::path root = fs::absolute(fs::path(dir), ec).lexically_normal();
    std::string r = root.string();
    if (r.size() > 1 && r.back() == '/')
        r.pop_back();
    SamplePaths p;
    p.root = r;
    p.dataPath = r + "/Data/";
    p.mediaPath = r + "/Media/";
    p.databasePath = p.dataPath + "Directory.mdb";
    p.customPath = r + "/User/Custom.mdb";
    p.schoolSettingsPath = p.dataPath + "SchoolSettings.mdb";
    p.webDatabasePath = p.dataPath + "WebDirectory.mdb";
    return p;
}

SamplePaths WriteSampleDirectory(const SampleOptions& options)
{
    if (options.people < 1)
        throw SampleError("the number of people must be at least 1");
    const SamplePaths p = SamplePathsFor(options.dir);
    std::error_code ec;
    const bool existed = fs::exists(p.root, ec);
    if (existed && !(fs::is_directory(p.root, ec) && fs::is_empty(p.root, ec)))
        throw SampleError(p.root + " already exists and is not an empty folder");

    // A run that fails leaves no half-written installation behind, so that running it again
    // (as the demo does when the sample is incomplete) starts from an empty folder.
    try {
        createFolder(p.dataPath);
        createFolder(p.mediaPath + "photos");
        createFolder(p.mediaPath + "external");
        createFolder(fs::path(p.customPath).parent_path());

        const School school = MakeSchool(options.people, options.seed);
        try {
            writeDirectory(p.databasePath, school, true, school.data.rows.size());
            // The web-mode school database holds plain values; a few hundred people are enough.
            writeDirectory(p.webDatabasePath, school, false, 200);
            writeCustom(p, school);
            writeSchoolSettings(p, school);
        } catch (const CDaoException& e) {
            throw SampleError("database error " + std::to_string(e.m_pErrorInfo->m_lErrorCode) + ": "
                + e.m_pErrorInfo->m_strDescription.str());
        }
        WriteSampleFiles(p, school);
    } catch (...) {
        if (existed) {
            for (const fs::directory_entry& entry : fs::directory_iterator(p.root, ec))
                fs::remove_all(entry.path(), ec);
        } else {
            fs::remove_all(p.root, ec);
        }
        throw;
    }
    return p;
}

void RegisterSampleDirectory(const SamplePaths& p)
{
    auto setValues = [](HKEY root, const char* path, std::initializer_list<std::pair<const char*, std::string>> values) {
        HKEY key = nullptr;
        LONG rc = RegCreateKeyEx(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr);
        if (rc != ERROR_SUCCESS)
            throw SampleError(std::string("cannot create registry key ") + path + " (error " + std::to_string(rc) + ")"
                + (PvRegLastProblem().empty() ? "" : ": " + PvRegLastProblem()));
        for (const auto& [name, value] : values) {
            rc = RegSetValueEx(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.size() + 1));
            if (rc != ERROR_SUCCESS) {
                RegCloseKey(key);
                throw SampleError(std::string("cannot write registry value ") + path + "\\" + name + " (error "
                    + std::to_string(rc) + ")");
            }
        }
        RegCloseKey(key);
    };
    setValues(HKEY_CURRENT_USER, kProgramKey,
        { { "DatabasePath", p.databasePath }, { "DataPath", p.dataPath }, { "MediaPath", p.mediaPath },
            { "CustomPath", p.customPath } });
    setValues(HKEY_LOCAL_MACHINE, kBrowserKey, { { "Version", kBrowserVersion } });
}

} // namespace pvsample
