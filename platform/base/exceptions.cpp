#include "platform/base/exceptions.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

PvExceptionReporter g_reporter = nullptr;

const char* FileCauseText(int cause)
{
    switch (cause) {
    case CFileException::none: return "No error occurred.";
    case CFileException::fileNotFound: return "The file could not be located.";
    case CFileException::badPath: return "All or part of the path is invalid.";
    case CFileException::tooManyOpenFiles: return "The permitted number of open files was exceeded.";
    case CFileException::accessDenied: return "The file could not be accessed.";
    case CFileException::invalidFile: return "There was an attempt to use an invalid file handle.";
    case CFileException::removeCurrentDir: return "The current working directory cannot be removed.";
    case CFileException::directoryFull: return "There are no more directory entries.";
    case CFileException::badSeek: return "There was an error trying to set the file pointer.";
    case CFileException::hardIO: return "There was a hardware error.";
    case CFileException::sharingViolation: return "The file is in use by another program.";
    case CFileException::lockViolation: return "There was an attempt to lock a region that was already locked.";
    case CFileException::diskFull: return "The disk is full.";
    case CFileException::endOfFile: return "The end of file was reached.";
    default: return "An unspecified error occurred.";
    }
}

const char* ArchiveCauseText(int cause)
{
    switch (cause) {
    case CArchiveException::none: return "No error occurred.";
    case CArchiveException::readOnly: return "Tried to write to an archive opened for loading.";
    case CArchiveException::endOfFile: return "Reached end of file while reading an object.";
    case CArchiveException::writeOnly: return "Tried to read from an archive opened for storing.";
    case CArchiveException::badIndex: return "Invalid file format.";
    case CArchiveException::badClass: return "Tried to read an object into an object of the wrong type.";
    case CArchiveException::badSchema: return "Tried to read an object with a different version of the class.";
    default: return "An unspecified error occurred.";
    }
}

} // namespace

BOOL CException::CopyMessage(const char* text, LPTSTR lpszError, UINT nMaxError)
{
    if (lpszError == nullptr || nMaxError == 0)
        return FALSE;
    size_t n = std::strlen(text);
    if (n > nMaxError - 1)
        n = nMaxError - 1;
    std::memcpy(lpszError, text, n);
    lpszError[n] = '\0';
    return TRUE;
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (lpszError && nMaxError > 0)
        *lpszError = '\0';
    return FALSE;
}

int CException::ReportError(UINT nType, UINT nMessageID) const
{
    char text[512];
    CString message;
    if (GetErrorMessage(text, sizeof text))
        message = text;
    else if (nMessageID == 0 || !message.LoadString(nMessageID))
        message = "No error message is available.";
    if (g_reporter)
        return g_reporter(message, nType);
    std::fprintf(stderr, "%s\n", (LPCTSTR)message);
    return 1;
}

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

void AfxSetExceptionReporter(PvExceptionReporter reporter)
{
    g_reporter = reporter;
}

BOOL CMemoryException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    return CopyMessage("Out of memory.", lpszError, nMaxError);
}

BOOL CNotSupportedException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    return CopyMessage("An unsupported operation was attempted.", lpszError, nMaxError);
}

BOOL CResourceException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    return CopyMessage("A required resource was unavailable.", lpszError, nMaxError);
}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    CString text;
    if (!m_strFileName.IsEmpty())
        text = "\"" + m_strFileName + "\": ";
    text += FileCauseText(m_cause);
    return CopyMessage(text, lpszError, nMaxError);
}

int CFileException::OsErrorToException(LONG lOsError)
{
    switch (lOsError) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST: return accessDenied;
    case EBADF: return invalidFile;
    case EBUSY:
    case ETXTBSY: return sharingViolation;
    case ESPIPE:
    case EINVAL: return badSeek;
    case EIO: return hardIO;
    case EAGAIN: return lockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return diskFull;
    default: return genericException;
    }
}

void CFileException::ThrowOsError(LONG lOsError, LPCTSTR lpszFileName)
{
    if (lOsError != 0)
        AfxThrowFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

BOOL CArchiveException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    CString text;
    if (!m_strFileName.IsEmpty())
        text = "\"" + m_strFileName + "\": ";
    text += ArchiveCauseText(m_cause);
    return CopyMessage(text, lpszError, nMaxError);
}

void AfxThrowMemoryException() { throw CMemoryException(); }
void AfxThrowNotSupportedException() { throw CNotSupportedException(); }
void AfxThrowResourceException() { throw CResourceException(); }
void AfxThrowUserException() { throw CUserException(); }
void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName) { throw CArchiveException(cause, lpszArchiveName); }
void AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName)
{
    throw CFileException(cause, lOsError, lpszFileName);
}
