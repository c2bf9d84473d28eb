// Key-range searches over the rank index of one directory table.

#include "app/KeyRangeSearch.h"

#include "app/AppTable.h"
#include "app/Cipher.h"
#include "platform/base/textcase.h"
#include "platform/dao/dao.h"
#include "platform/ui/winapp.h"

#include <cstdint>

namespace {

const char kCdHint[] = "Make sure the Paravel CD is in the CD-Rom Drive.";
const char kPersists[] = "If the problem persists, re-install the Paravel program, or read Help for information on technical support.";
// Ranks are 32-bit: these lie below and above every one.
constexpr long kBelowAllRanks = INT32_MIN;
constexpr long kAboveAllRanks = INT32_MAX;

} // namespace

CKeyRangeSearch::CKeyRangeSearch() = default;
CKeyRangeSearch::~CKeyRangeSearch() { Close(); }

void CKeyRangeSearch::Close()
{
    m_pSet.reset();
    m_pTableDef.reset();
    m_strIndex.Empty();
}

BOOL CKeyRangeSearch::Open(const CString& strTable)
{
    Close();
    m_bFailed = FALSE;
    try {
        auto pTableDef = std::make_unique<CDaoTableDef>(m_pDatabase);
        pTableDef->Open(strTable);
        auto pSet = std::make_unique<CDaoRecordset>(m_pDatabase);
        pSet->Open(pTableDef.get(), dbOpenTable);
        m_pTableDef = std::move(pTableDef);
        m_pSet = std::move(pSet);
        return TRUE;
    } catch (const CDaoException& e) {
        AfxMessageBox("Database error while beginning a search of the directory! Cannot open table " + strTable + ".\n" +
                          kCdHint + "  " + kPersists + JetErrorSuffix(e.m_pErrorInfo ? e.m_pErrorInfo->m_lErrorCode : 0),
                      MB_ICONEXCLAMATION);
        m_bFailed = TRUE;
        return FALSE;
    }
}

void CKeyRangeSearch::ReportFailure(long nError, bool bUpperBoundText)
{
    // The two texts differ by one letter, as they always have.
    const CString head = bUpperBoundText ? "Database error while beginning a search of the directory!  "
                                         : "Database error while begining a search of the directory!  ";
    AfxMessageBox(head + kCdHint + "\n " + kPersists + JetErrorSuffix(nError), MB_ICONEXCLAMATION);
    m_bFailed = TRUE;
}

void CKeyRangeSearch::UseIndex(const CString& strField)
{
    const CString index = "_I" + strField;
    if (m_strIndex != index) {
        m_strIndex.Empty();
        m_pSet->SetCurrentIndex(index);
        m_strIndex = index;
    }
}

BOOL CKeyRangeSearch::SeekRank(const char* pszComparison, long nRank, long& nFound)
{
    COleVariant key(static_cast<LONG>(nRank));
    if (!m_pSet->Seek(pszComparison, &key))
        return FALSE;
    COleVariant rank = m_pSet->GetFieldValue(m_strIndex);
    nFound = rank.vt == VT_NULL || rank.vt == VT_EMPTY ? 0 : (rank.ChangeType(VT_I4), long(rank.lVal));
    return TRUE;
}

std::string CKeyRangeSearch::ReadUpper(const CString& strField)
{
    CString stored;
    try {
        stored = VariantText(m_pSet->GetFieldValue(strField));
    } catch (const COleException&) {
        return std::string(); // a value without a text form orders first, as an empty one
    }
    CString plain;
    if (m_pCipher)
        m_pCipher->Decrypt(stored, plain);
    else
        plain = stored;
    return PvUpperCase(plain.str());
}

// Ranks stand for values one to one, so halving over rank values finds a place in the value
// order with one indexed read per step, however many records share a rank.
BOOL CKeyRangeSearch::FindBoundary(const CString& strField, const std::function<bool(const std::string&)>& pred, Boundary& b)
{
    b = Boundary();
    if (!m_pSet)
        return FALSE;
    UseIndex(strField);
    long lowest = 0, highest = 0;
    if (!SeekRank(">=", kBelowAllRanks, lowest))
        return TRUE; // an empty table
    SeekRank("<=", kAboveAllRanks, highest);
    // Every rank below lo holds where pred is true; the first rank where it is false is below hi.
    long long lo = lowest, hi = (long long)highest + 1;
    while (lo < hi) {
        const long long mid = lo + (hi - lo) / 2;
        long found = 0;
        if (!SeekRank(">=", long(mid), found) || found >= hi) {
            hi = mid; // no rank between mid and hi
            continue;
        }
        Probe p{found, ReadUpper(strField)};
        if (pred(p.upper)) {
            lo = (long long)found + 1;
            b.lastTrue = std::move(p);
            b.hasTrue = true;
        } else {
            hi = found;
            b.firstFalse = std::move(p);
            b.hasFalse = true;
        }
    }
    return TRUE;
}

BOOL CKeyRangeSearch::Search(const CString& strField, const std::function<bool(const std::string&)>& pred, bool bUpperBoundText, Boundary& b)
{
    try {
        return FindBoundary(strField, pred, b);
    } catch (const CDaoException& e) {
        ReportFailure(e.m_pErrorInfo ? e.m_pErrorInfo->m_lErrorCode : 0, bUpperBoundText);
        return FALSE;
    }
}

namespace {

bool StartsWith(const std::string& value, const std::string& prefix) { return value.compare(0, prefix.size(), prefix) == 0; }

// The first record at or above the text, signed by whether it matches; past every value the
// greatest, negative; 0 for no records.
long SignedFirstAtOrAbove(bool hasFalse, long falseRank, bool matches, bool hasTrue, long trueRank)
{
    if (hasFalse)
        return matches ? falseRank : -falseRank;
    return hasTrue ? -trueRank : 0;
}

} // namespace

long CKeyRangeSearch::FindLowerBound(const CString& strField, const CString& strText, long& nRank)
{
    const std::string text = PvUpperCase(strText.str());
    Boundary b;
    if (Search(strField, [&](const std::string& v) { return v < text; }, false, b))
        nRank = SignedFirstAtOrAbove(b.hasFalse, b.firstFalse.rank, b.firstFalse.upper == text, b.hasTrue, b.lastTrue.rank);
    return nRank;
}

long CKeyRangeSearch::FindUpperBound(const CString& strField, const CString& strText, long& nRank)
{
    const std::string text = PvUpperCase(strText.str());
    Boundary b;
    if (Search(strField, [&](const std::string& v) { return v < text; }, true, b))
        nRank = SignedFirstAtOrAbove(b.hasFalse, b.firstFalse.rank, b.firstFalse.upper == text, b.hasTrue, b.lastTrue.rank);
    return nRank;
}

long CKeyRangeSearch::FindPrefixLowerBound(const CString& strField, const CString& strText, long& nRank)
{
    const std::string text = PvUpperCase(strText.str());
    Boundary b;
    if (Search(strField, [&](const std::string& v) { return v < text; }, false, b))
        nRank = SignedFirstAtOrAbove(b.hasFalse, b.firstFalse.rank, StartsWith(b.firstFalse.upper, text), b.hasTrue, b.lastTrue.rank);
    return nRank;
}

long CKeyRangeSearch::FindPrefixUpperBound(const CString& strField, const CString& strText, long& nRank)
{
    const std::string text = PvUpperCase(strText.str());
    Boundary b;
    if (Search(strField, [&](const std::string& v) { return v.compare(0, text.size(), text) <= 0; }, false, b))
        nRank = b.hasTrue ? b.lastTrue.rank : 0;
    return nRank;
}

long CKeyRangeSearch::FindLastAtOrBelow(const CString& strField, const CString& strText, long& nRank)
{
    const std::string text = PvUpperCase(strText.str());
    Boundary b;
    if (Search(strField, [&](const std::string& v) { return v <= text; }, true, b))
        nRank = b.hasTrue ? b.lastTrue.rank : 0;
    return nRank;
}

long CKeyRangeSearch::FindFirstAtOrAbove(const CString& strField, const CString& strText, long& nRank)
{
    const std::string text = PvUpperCase(strText.str());
    Boundary b;
    if (Search(strField, [&](const std::string& v) { return v < text; }, false, b))
        nRank = b.hasFalse ? b.firstFalse.rank : 0;
    return nRank;
}
