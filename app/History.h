#pragma once
// The process-wide Back/Forward history of directory records shown in the HTML pane.
// Slot 0 is a sentinel that is never shown; every slot up to the upper bound always holds
// an entry (free ones with key 0).

#include "platform/base/CObject.h"
#include "platform/base/CString.h"

class CHistoryEntry : public CObject {
public:
    CHistoryEntry() = default;
    explicit CHistoryEntry(long key) : m_lKey(key) {}

    CString m_strText;       // empty for record entries
    long m_lKey = 0;         // 0 in a free slot
    CString m_strKind = "G"; // "G": a grid record
};

void HistoryInit();
void HistoryFree();
void HistoryPushRecord(long key);
CHistoryEntry* HistoryBack();
CHistoryEntry* HistoryForward();
CHistoryEntry* HistoryCurrent();
BOOL HistoryCanGoBack();
BOOL HistoryCanGoForward();

// Positions, for the frame's status and for tests.
int HistoryCurrentIndex();
int HistoryTopIndex();
int HistorySize();
