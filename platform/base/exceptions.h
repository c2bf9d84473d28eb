#pragma once
// The framework's exception family. Thrown by value and caught by reference:
//   try { ... } catch (CArchiveException& e) { ... }
// An exception thrown by pointer (created with new) is freed by its handler with Delete();
// never call Delete on one thrown by value.

#include "platform/base/CString.h"
#include "platform/base/pvdefs.h"

class CException {
public:
    explicit CException(BOOL bAutoDelete = TRUE) : m_bAutoDelete(bAutoDelete) {}
    CException(const CException&) = default;
    CException& operator=(const CException&) = default;
    virtual ~CException() = default;

    // Copies a description of the error (at most nMaxError - 1 bytes plus a zero) into
    // lpszError; FALSE when the exception has no description.
    virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const;
    // Shows the description to the user through the installed reporter; returns its answer.
    virtual int ReportError(UINT nType = 0, UINT nMessageID = 0) const;
    // For exceptions thrown by pointer: frees the object when it owns itself.
    void Delete();

    BOOL m_bAutoDelete;

protected:
    // Copies text into the caller's buffer with the usual truncation.
    static BOOL CopyMessage(const char* text, LPTSTR lpszError, UINT nMaxError);
};

// The user interface installs the function that shows ReportError's message box; without one
// the message goes to standard error and the answer is IDOK (1).
typedef int (*PvExceptionReporter)(LPCTSTR text, UINT nType);
void AfxSetExceptionReporter(PvExceptionReporter reporter);

class CMemoryException : public CException {
public:
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
};

class CNotSupportedException : public CException {
public:
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
};

class CResourceException : public CException {
public:
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
};

// Raised after the user has already been told; handlers just stop the operation quietly.
class CUserException : public CException {
};

class CFileException : public CException {
public:
    // The framework's cause numbers.
    enum {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14,
    };

    explicit CFileException(int cause = none, LONG lOsError = -1, LPCTSTR lpszFileName = nullptr)
        : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName) {}

    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;

    // Maps an errno value to a cause.
    static int OsErrorToException(LONG lOsError);
    static void ThrowOsError(LONG lOsError, LPCTSTR lpszFileName = nullptr);

    int m_cause;
    LONG m_lOsError;
    CString m_strFileName;
};

class CArchiveException : public CException {
public:
    // The framework's cause numbers.
    enum {
        none = 0,
        genericException = 1,
        readOnly = 2,
        endOfFile = 3,
        writeOnly = 4,
        badIndex = 5,
        badClass = 6,
        badSchema = 7,
    };

    explicit CArchiveException(int cause = none, LPCTSTR lpszArchiveName = nullptr)
        : m_cause(cause), m_strFileName(lpszArchiveName) {}

    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;

    int m_cause;
    CString m_strFileName;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowResourceException();
[[noreturn]] void AfxThrowUserException();
[[noreturn]] void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName = nullptr);
[[noreturn]] void AfxThrowFileException(int cause, LONG lOsError = -1, LPCTSTR lpszFileName = nullptr);
