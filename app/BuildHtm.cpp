#include "app/BuildHtm.h"

#include "app/AppTable.h"
#include "app/Cipher.h"
#include "app/DetailsTemplate.h"
#include "platform/base/CFile.h"
#include "platform/dao/dao.h"
#include "platform/win/win.h"

const char CBuildHtm::kSchoolSettingsFile[] = "SchoolSettings.mdb";

namespace {

const char kTemplateFile[] = "dyntemplate.det";
const char kWebRoot[] = "/ParavelWeb/";
const char kPhotoFolder[] = "photos\\";

// One per-record query, open as a dynaset until it is destroyed.
class DaoRows : public DetailsRows {
public:
    explicit DaoRows(CDaoDatabase* pDatabase) : m_rs(pDatabase) {}

    bool Open(const CString& strSQL)
    {
        try {
            m_rs.Open(dbOpenDynaset, strSQL);
            m_bEOF = m_rs.IsEOF();
            return true;
        } catch (const CException&) {
            return false;
        }
    }
    bool IsEOF() override { return m_bEOF; }
    void MoveNext() override
    {
        try {
            m_rs.MoveNext();
            m_bEOF = m_rs.IsEOF();
        } catch (const CException&) {
            m_bEOF = true; // rows that cannot be read end the list
        }
    }
    bool Read(const std::string& field, std::string& stored) override
    {
        try {
            COleVariant value;
            m_rs.GetFieldValue(field.c_str(), value);
            stored = VariantText(value).str();
            return true;
        } catch (const CException&) {
            return false;
        }
    }

private:
    CDaoRecordset m_rs;
    bool m_bEOF = true;
};

// A text inside a Jet string literal in double quotes: each quote doubled, so that the text
// can never end the literal.
CString quotedLiteral(const CString& text)
{
    std::string q = "\"";
    for (char c : text.str()) {
        q += c;
        if (c == '"')
            q += '"';
    }
    return CString(q + "\"");
}

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// The settings database may name a school's folders relative to the installation, the folder
// above the data folder that holds it, so that a copied installation still finds them.
CString resolveSettingsPath(const CString& strDataPath, const CString& strStored)
{
    const std::string& stored = strStored.str();
    const bool absolute = !stored.empty() && (isSeparator(stored[0]) || (stored.size() > 1 && stored[1] == ':'));
    if (stored.empty() || absolute)
        return strStored;
    std::string root = strDataPath.str();
    while (!root.empty() && isSeparator(root.back()))
        root.pop_back();
    const size_t cut = root.find_last_of("/\\");
    root = cut == std::string::npos ? std::string() : root.substr(0, cut + 1);
    return CString(root + stored);
}

// The template's lines joined without separators (line ends never reach the page); false
// when the file cannot be opened or read.
bool readTemplate(const CString& path, std::string& text)
{
    CStdioFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone | CFile::typeText))
        return false;
    try {
        CString line;
        while (file.ReadString(line))
            text += line.str();
    } catch (const CException&) {
        return false;
    }
    return true;
}

void closeQuietly(CDaoDatabase& database)
{
    try {
        database.Close();
    } catch (const CException&) {
    }
}

} // namespace

// What the template expander reads and reports, in the builder's current mode.
class CBuildHtm::Source : public DetailsSource {
public:
    explicit Source(CBuildHtm& builder) : m_builder(builder) {}

    std::unique_ptr<DetailsRows> Query(const std::string& table) override
    {
        CDaoDatabase* db = m_builder.m_pQueryDatabase;
        // A ']' would end the bracketed name early and let the template's text run as SQL.
        if (db == nullptr || !db->IsOpen() || table.find(']') != std::string::npos)
            return nullptr;
        CString sql;
        sql.Format("SELECT * FROM [%s] WHERE ([%s].[_IKEY]=%ld)", table.c_str(), table.c_str(), m_builder.m_lKey);
        auto rows = std::make_unique<DaoRows>(db);
        if (!rows->Open(sql))
            return nullptr;
        return rows;
    }

    std::string Decode(const std::string& stored) override
    {
        if (!m_builder.IsLocalMode())
            return stored;
        if (m_builder.m_pCipher == nullptr)
            return std::string();
        CString plain;
        m_builder.m_pCipher->Decrypt(CString(stored), plain);
        return plain.str();
    }

    void Report(const std::string& text, bool plainBox) override
    {
        if (!plainBox)
            m_builder.ReportError(CString(text));
        else if (m_builder.IsLocalMode()) // a web server must never wait on a box
            ::MessageBox(nullptr, text.c_str(), nullptr, MB_OK); // no icon, the system's caption
    }

private:
    CBuildHtm& m_builder;
};

// A web build's scope: whatever way it ends, the school's databases are closed and released
// (they are opened exclusively, and the next build opens them again) and the builder is back
// on what SetInputs gave.
class CBuildHtm::WebBuild {
public:
    explicit WebBuild(CBuildHtm& builder) : m_builder(builder) {}
    ~WebBuild()
    {
        closeQuietly(m_builder.m_settingsDatabase);
        if (m_builder.m_pSchoolDatabase)
            closeQuietly(*m_builder.m_pSchoolDatabase);
        m_builder.m_pSchoolDatabase.reset();
        m_builder.m_pQueryDatabase = m_builder.m_pInputDatabase;
        m_builder.m_strDataPath = m_builder.m_strInputDataPath;
        m_builder.m_strMediaPath = m_builder.m_strInputMediaPath;
    }
    WebBuild(const WebBuild&) = delete;
    WebBuild& operator=(const WebBuild&) = delete;

private:
    CBuildHtm& m_builder;
};

CBuildHtm::CBuildHtm() = default;

CBuildHtm::~CBuildHtm()
{
    closeQuietly(m_settingsDatabase);
    if (m_pSchoolDatabase)
        closeQuietly(*m_pSchoolDatabase);
}

void CBuildHtm::SetInputs(const CString& strDataPath, const CString& strMediaPath, CDaoDatabase* pDatabase,
                          CCipher* pCipher)
{
    m_strDataPath = m_strInputDataPath = strDataPath;
    m_strMediaPath = m_strInputMediaPath = strMediaPath;
    m_pQueryDatabase = m_pInputDatabase = pDatabase;
    m_pCipher = pCipher;
}

CString CBuildHtm::GetHtml(const CString& strSchoolCode, long lKey, const CString& strMode, CString& strTitle)
{
    strTitle.Empty();
    // Each page has its own title: a person without a name must not get the one before.
    m_strTitle.Empty();
    m_lKey = lKey;
    m_strMode = strMode;
    CString page;
    if (IsLocalMode()) {
        SetLocalPlaceholders();
        page = ExpandTemplate();
    } else {
        WebBuild web(*this);
        if (LoadSchoolSettings(strSchoolCode) && OpenSchoolDatabase())
            page = ExpandTemplate();
    }
    strTitle = m_strTitle;
    return page;
}

void CBuildHtm::ReportError(const CString& strText)
{
    if (IsLocalMode())
        AfxMessageBox(strText, MB_OK | MB_ICONEXCLAMATION);
}

CString CBuildHtm::ExpandTemplate()
{
    const CString path = m_strDataPath + kTemplateFile;
    std::string text;
    if (!readTemplate(path, text)) {
        ReportError("Error opening the template file: " + path);
        return CString();
    }
    Source source(*this);
    std::string title;
    std::string page = ExpandDetailsTemplate(text, source, title);
    m_strTitle = CString(std::move(title));
    ReplaceDetailsPlaceholders(page, { .media = m_strMediaValue.str(),
                                       .dataPath = m_strDataPath.str(),
                                       .graphic = m_strGraphicValue.str(),
                                       .image = m_strImageValue.str(),
                                       .photo = m_strPhotoValue.str() });
    return CString(std::move(page));
}

void CBuildHtm::SetLocalPlaceholders()
{
    m_strMediaValue = m_strGraphicValue = m_strImageValue = m_strMediaPath;
    m_strPhotoValue = m_strMediaPath + kPhotoFolder;
}

BOOL CBuildHtm::LoadSchoolSettings(const CString& strSchoolCode)
{
    try {
        m_settingsDatabase.Open(m_strInputDataPath + kSchoolSettingsFile, TRUE, TRUE, _T(""));
    } catch (const CException&) {
        ReportError("Error! BuildHtm could not open SchoolSettings database.\n"
                    "Please make sure that you have the right path for this database!");
        return FALSE;
    }
    CDaoRecordset rs(&m_settingsDatabase);
    try {
        rs.Open(dbOpenDynaset, "SELECT * FROM Settings WHERE ([Settings].[SchoolCode]=" + quotedLiteral(strSchoolCode) + ")");
    } catch (const CException&) {
        ReportError("Error! BuildHtm could not query the table named Settings");
        return FALSE;
    }
    struct Read {
        const char* field;
        CString* target;
        const char* failure;
    };
    const Read reads[] = {
        { "SchoolName", &m_strSchoolName, "Error! Unable to read from the field named SchoolName  in the table named Settings" },
        { "DataPath", &m_strDataPath, "Error! Unable to read from the field named DataPath in the table named Settings" },
        { "DatabasePath", &m_strDatabasePath,
          "Error! Unable to read from the field named DatabasePath in the table named Settings" },
        { "MediaPath", &m_strMediaPath, "Error! Unable to read from the field named MediaPath in the table named Settings" },
    };
    for (const Read& read : reads) {
        bool ok = false;
        try {
            if (!rs.IsEOF()) { // else no school has this code
                *read.target = VariantText(rs.GetFieldValue(read.field));
                ok = true;
            }
        } catch (const CException&) {
        }
        if (!ok) {
            ReportError(read.failure);
            return FALSE;
        }
    }
    rs.Close();
    closeQuietly(m_settingsDatabase);
    m_strDataPath = resolveSettingsPath(m_strInputDataPath, m_strDataPath);
    m_strDatabasePath = resolveSettingsPath(m_strInputDataPath, m_strDatabasePath);
    m_strMediaPath = resolveSettingsPath(m_strInputDataPath, m_strMediaPath);

    m_strMediaValue = m_strGraphicValue = m_strImageValue = kWebRoot + strSchoolCode + "/";
    m_strPhotoValue.Empty();
    return TRUE;
}

BOOL CBuildHtm::OpenSchoolDatabase()
{
    m_pSchoolDatabase = std::make_unique<CDaoDatabase>();
    try {
        m_pSchoolDatabase->Open(m_strDatabasePath, TRUE, TRUE, _T(""));
    } catch (const CException&) {
        ReportError("Error! BuildHtm could not open " + m_strSchoolName + " database");
        return FALSE;
    }
    m_pQueryDatabase = m_pSchoolDatabase.get();
    return TRUE;
}
