#pragma once
// Files that hold one archived object, such as the grid layout in "GridSettings.dat".
// A file is outside input: the readers name the class they expect, so a file that names
// another class is refused before anything of it is constructed.

#include "platform/base/CFile.h"
#include "platform/base/CObject.h"

class CGXGridParam;

// One object of pClass (or derived) from an open file; null on any damage or another class.
// A null pClass is refused: the file alone must not choose what gets constructed.
CObject* ReadObjectFromArchive(CFile& file, const CRuntimeClass* pClass);
// As above from a file path; null when the file cannot be opened.
CObject* ReadObjectFromFile(LPCTSTR pszPath, const CRuntimeClass* pClass);
CGXGridParam* ReadGridParamFromFile(LPCTSTR pszPath);
// Replaces the file with the archived object. The bytes are made in memory first and the file
// is swapped in whole, so a failure (disk full, an exception while storing) keeps the old file
// untouched and answers FALSE.
BOOL WriteObjectToFile(const CObject* pObject, LPCTSTR pszPath);
