#pragma once
// The string table: texts by resource id. Modules register their tables at start-up (usually
// through a static PvStringTableRegistrar); CString::LoadString and LoadString read them.

#include <cstddef>

#include "platform/base/CString.h"
#include "platform/base/pvdefs.h"

struct PvStringResource {
    UINT nID;
    LPCTSTR lpszText;
};

// Adds a table whose entries must live for the whole run. An id registered again takes the
// newer text.
void PvRegisterStringTable(const PvStringResource* pTable, size_t nCount);

template <size_t N>
void PvRegisterStringTable(const PvStringResource (&table)[N])
{
    PvRegisterStringTable(table, N);
}

struct PvStringTableRegistrar {
    template <size_t N>
    explicit PvStringTableRegistrar(const PvStringResource (&table)[N])
    {
        PvRegisterStringTable(table, N);
    }
};

// The text of string nID; FALSE (and out unchanged) when no table has it.
BOOL AfxLoadStringResource(UINT nID, CString& out);

// Copies string uID into lpBuffer (at most cchBufferMax - 1 bytes, never splitting a UTF-8
// character, then a zero); the number of bytes copied, 0 when there is no such string.
int LoadString(HINSTANCE hInstance, UINT uID, LPTSTR lpBuffer, int cchBufferMax);
