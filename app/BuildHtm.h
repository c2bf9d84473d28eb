#pragma once
// The details-page builder: one person's page from the data folder's "dyntemplate.det", with
// values read for the record key from the directory database and deciphered (local mode), or,
// in web mode, read as stored from the database of the school that "SchoolSettings.mdb" names.
// The HTML pane owns one builder.

#include "platform/base/CString.h"
#include "platform/dao/daodatabase.h"

#include <memory>
#include <string>

class CCipher;

class CBuildHtm {
public:
    CBuildHtm();
    ~CBuildHtm();
    CBuildHtm(const CBuildHtm&) = delete;
    CBuildHtm& operator=(const CBuildHtm&) = delete;

    // The data and media folders (each ending in a separator), the open directory database
    // and the record cipher; the database and the cipher stay the caller's.
    void SetInputs(const CString& strDataPath, const CString& strMediaPath, CDaoDatabase* pDatabase, CCipher* pCipher);

    // The page of record lKey; strTitle receives the page's title (empty when its title bar is
    // empty). Mode "Web" builds for the school strSchoolCode; any other mode is local. A web
    // build that cannot find its school returns an empty page.
    CString GetHtml(const CString& strSchoolCode, long lKey, const CString& strMode, CString& strTitle);

    BOOL IsLocalMode() const { return m_strMode != "Web"; }
    // In local mode an exclamation box with the text; in web mode nothing.
    void ReportError(const CString& strText);

    // The settings database's file name in the data folder.
    static const char kSchoolSettingsFile[];

protected:
    // Reads the template, expands it and replaces the placeholders.
    CString ExpandTemplate();
    // Web mode: the school's row of the settings database into the builder's fields, and the
    // web placeholders. FALSE (reported) when the school cannot be found.
    BOOL LoadSchoolSettings(const CString& strSchoolCode);

private:
    class Source;
    class WebBuild;

    BOOL OpenSchoolDatabase();
    void SetLocalPlaceholders();

    CDaoDatabase m_settingsDatabase;               // web mode only, open within one build
    CDaoDatabase* m_pQueryDatabase = nullptr;       // not owned
    CCipher* m_pCipher = nullptr;                   // not owned
    long m_lKey = 0;
    CString m_strMode;
    CString m_strTitle;
    CString m_strSchoolName;
    CString m_strMediaPath;
    CString m_strDatabasePath;
    CString m_strDataPath;

    // What SetInputs gave: a web build borrows the fields above and puts these back.
    CString m_strInputDataPath;
    CString m_strInputMediaPath;
    CDaoDatabase* m_pInputDatabase = nullptr;

    std::unique_ptr<CDaoDatabase> m_pSchoolDatabase; // web mode only, open within one build
    // The values of "<MEDIA>", "<DATAPATH>", "<GRAPHIC>", "<IMAGE>" and "<PHOTO>".
    CString m_strMediaValue, m_strGraphicValue, m_strImageValue, m_strPhotoValue;
};
