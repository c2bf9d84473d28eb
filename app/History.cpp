#include "app/History.h"

#include "platform/base/collections.h"

namespace {

CObArray g_history;
int g_current = 0;
int g_top = 0;

CHistoryEntry* slot(int index)
{
    if (index < 0 || index > g_history.GetUpperBound())
        return nullptr;
    return static_cast<CHistoryEntry*>(g_history.GetAt(index));
}

// Makes sure the slot exists and holds an entry, creating it empty if needed.
CHistoryEntry* ensureSlot(int index)
{
    CHistoryEntry* entry = slot(index);
    if (!entry) {
        entry = new CHistoryEntry;
        g_history.SetAtGrow(index, entry);
    }
    return entry;
}

} // namespace

void HistoryInit()
{
    HistoryFree();
    g_history.SetSize(50, 10);
    for (int i = 0; i < g_history.GetSize(); ++i)
        g_history.SetAt(i, new CHistoryEntry);
    g_current = 0;
    g_top = 0;
}

void HistoryFree()
{
    for (int i = 0; i < g_history.GetSize(); ++i)
        delete static_cast<CHistoryEntry*>(g_history.GetAt(i));
    g_history.RemoveAll();
    g_current = 0;
    g_top = 0;
}

CHistoryEntry* HistoryCurrent()
{
    if (g_current > 0)
        return slot(g_current);
    g_current = 0;
    return slot(0);
}

void HistoryPushRecord(long key)
{
    CHistoryEntry* current = HistoryCurrent();
    if (!current || current->m_lKey == key)
        return;

    ++g_current;
    CHistoryEntry* entry = ensureSlot(g_current);
    entry->m_strKind = "G";
    entry->m_lKey = key;

    // A push after going back discards the forward part.
    for (int i = g_current + 1; i <= g_history.GetUpperBound(); ++i) {
        CHistoryEntry* rest = ensureSlot(i);
        rest->m_strKind = "G";
        rest->m_lKey = 0;
    }
    g_top = g_current;
}

CHistoryEntry* HistoryBack()
{
    if (g_history.GetSize() == 0)
        return nullptr; // never initialised: nothing to search, and no endless loop
    --g_current;
    CHistoryEntry* entry;
    while (!(entry = HistoryCurrent()))
        --g_current;
    return entry;
}

CHistoryEntry* HistoryForward()
{
    if (g_history.GetSize() == 0)
        return nullptr;
    ++g_current;
    CHistoryEntry* entry;
    while (!(entry = HistoryCurrent()))
        --g_current;
    return entry;
}

BOOL HistoryCanGoBack()
{
    return g_current > 1;
}

BOOL HistoryCanGoForward()
{
    return g_current < g_top;
}

int HistoryCurrentIndex()
{
    return g_current;
}

int HistoryTopIndex()
{
    return g_top;
}

int HistorySize()
{
    return int(g_history.GetSize());
}
