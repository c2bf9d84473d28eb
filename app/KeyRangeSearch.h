#pragma once
// CKeyRangeSearch: turns a typed value into the sort rank of a field. The directory's texts are
// stored enciphered, so the database cannot compare them with what the user typed; every
// searchable field has a rank column ("_I" + field, indexed under that name) whose order is the
// byte order of the upper-cased values. A search halves over the ranks of one table, reading and
// deciphering one record per step through the rank index.

#include "platform/base/CString.h"

#include <functional>
#include <memory>
#include <string>

class CCipher;
class CDaoDatabase;
class CDaoRecordset;
class CDaoTableDef;

class CKeyRangeSearch {
public:
    CKeyRangeSearch();
    ~CKeyRangeSearch();
    CKeyRangeSearch(const CKeyRangeSearch&) = delete;
    CKeyRangeSearch& operator=(const CKeyRangeSearch&) = delete;

    // Opens the table the searches run on (one recordset, kept for every field and value of
    // it). FALSE, after the message, when it cannot be opened.
    BOOL Open(const CString& strTable);
    void Close();

    // Each answers the rank found, also stored in nRank; 0 for an empty table. A negative
    // answer is the rank of a record that does not match the text in the search's sense.
    // The rank of the least value at or above the text; negative unless equal to it (the
    // greatest value, negative, when the text lies above every value).
    long FindLowerBound(const CString& strField, const CString& strText, long& nRank);
    // The same record: among equal values all share one rank.
    long FindUpperBound(const CString& strField, const CString& strText, long& nRank);
    // The rank of the last value whose prefix of the text's length is at or below the text;
    // 0 when none is.
    long FindPrefixUpperBound(const CString& strField, const CString& strText, long& nRank);
    // The rank of the first value that starts with the text; negative when none does.
    long FindPrefixLowerBound(const CString& strField, const CString& strText, long& nRank);
    // The rank of the first value at or above the text; 0 when none is.
    long FindFirstAtOrAbove(const CString& strField, const CString& strText, long& nRank);
    // The rank of the last value at or below the text; 0 when none is.
    long FindLastAtOrBelow(const CString& strField, const CString& strText, long& nRank);

    // Whether a search failed since the table was opened (its message has been shown).
    BOOL Failed() const { return m_bFailed; }

    CCipher* m_pCipher = nullptr;      // the document's; not owned
    CDaoDatabase* m_pDatabase = nullptr; // the directory database; not owned

private:
    struct Probe {
        long rank = 0;
        std::string upper;  // the deciphered value, upper-cased
    };
    struct Boundary {
        bool hasTrue = false, hasFalse = false;
        Probe lastTrue, firstFalse;
    };
    // Halves over the ranks of the field for the place where pred turns false (pred holds for
    // a leading part of the rank order). FALSE when the search failed.
    BOOL FindBoundary(const CString& strField, const std::function<bool(const std::string&)>& pred, Boundary& b);
    // FindBoundary with its failure reported; FALSE when it failed.
    BOOL Search(const CString& strField, const std::function<bool(const std::string&)>& pred, bool bUpperBoundText, Boundary& b);
    void UseIndex(const CString& strField);
    // The record with the least rank >= nRank ("> =") or the greatest <= nRank; FALSE when none.
    BOOL SeekRank(const char* pszComparison, long nRank, long& nFound);
    std::string ReadUpper(const CString& strField);
    void ReportFailure(long nError, bool bUpperBoundText);

    std::unique_ptr<CDaoTableDef> m_pTableDef;
    std::unique_ptr<CDaoRecordset> m_pSet;
    CString m_strIndex;
    BOOL m_bFailed = FALSE;
};
