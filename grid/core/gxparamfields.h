#pragma once
// The scalar members of the parameter record, in stored order, with their stored widths: one
// list that the archive and the parameter copy both walk. The four ownership flags (items 12
// to 15), the owned objects and the ranges, sizes and hidden bits between items 34 and 45 are
// not in it; the walkers handle them at their places.

#include "grid/core/gxparam.h"

enum class GXParamWidth { Flag, Word, WordOf32, DWord, Text };

// Items 2 to 11.
template <class F>
void GXForEachParamHeadScalar(F&& f)
{
    using P = CGXGridParam;
    using W = GXParamWidth;
    f(W::Flag, &P::m_bRefreshRowHeaders);   // A
    f(W::Flag, &P::m_bRefreshColHeaders);   // B
    f(W::Flag, &P::m_bSortRowsOnDblClk);    // C
    f(W::Flag, &P::m_bUndoEnabled);
    f(W::Flag, &P::m_bLockReadOnly);        // D
    f(W::Flag, &P::m_bNumberedHeaders);     // E
    f(W::Flag, &P::m_bSortRowsOnDblClk);    // C again
    f(W::Flag, &P::m_bRefreshColHeaders);   // B again
    f(W::Flag, &P::m_bDragCols);
    f(W::Flag, &P::m_bDragRows);
}

// Items 16 to 34.
template <class F>
void GXForEachParamMiddleScalar(F&& f)
{
    using P = CGXGridParam;
    using W = GXParamWidth;
    f(W::Flag, &P::m_bSortColsOnDblClk);    // F
    f(W::Flag, &P::m_bOldDrawing);          // G
    f(W::Flag, &P::m_bOptionH);             // H
    f(W::Flag, &P::m_bImmediateScrollUpdate);
    f(W::Word, &P::m_wAllowSelection);
    f(W::Word, &P::m_wAllowTrackRowHeight);
    f(W::Word, &P::m_wAllowTrackColWidth);
    f(W::DWord, &P::m_nMinRowHeight);       // I
    f(W::DWord, &P::m_nMinColWidth);        // J
    f(W::DWord, &P::m_nDefaultWidth);
    f(W::DWord, &P::m_nDefaultHeight);
    f(W::Text, &P::m_sText);
    f(W::Word, &P::m_wActivateFlags);       // K
    f(W::Word, &P::m_wOptionL);             // L
    f(W::WordOf32, &P::m_dwOptionMask);
    f(W::WordOf32, &P::m_nOptionM);         // M
    f(W::Word, &P::m_wDrawOrder);
    f(W::DWord, &P::m_nFrozenRows);         // N
    f(W::DWord, &P::m_nFrozenCols);         // O
}

// Items 45 to 72, each only when nVersion reaches its version; fObject(slot) stands for the
// pool objects of version 6.
template <class F, class FObject>
void GXForEachParamTailScalar(WORD nVersion, F&& f, FObject&& fObject)
{
    using P = CGXGridParam;
    using W = GXParamWidth;
    if (nVersion >= 2)
        f(W::Flag, &P::m_bOptionP);         // P
    if (nVersion >= 3) {
        f(W::Flag, &P::m_bOptionQ);         // Q
        f(W::Flag, &P::m_bOptionR);         // R
        f(W::DWord, &P::m_nHeaderRows);     // S
        f(W::DWord, &P::m_nHeaderCols);     // T
        f(W::DWord, &P::m_nFreezeOption);   // U
    }
    if (nVersion >= 4)
        f(W::Word, &P::m_wActivateCell);
    if (nVersion >= 5) {
        f(W::Flag, &P::m_bLockZoom);        // V
        f(W::WordOf32, &P::m_nOptionW);     // W
        f(W::DWord, &P::m_nMaxUndo);
    }
    if (nVersion >= 6) {
        f(W::Flag, &P::m_bOptionY1);
        f(W::Flag, &P::m_bSetupOption);
        f(W::Flag, &P::m_bOptionY3);
        f(W::Flag, &P::m_bExcelLikeFrame);
        f(W::Flag, &P::m_nGridLineStyle);
        f(W::Word, &P::m_wFloatCellsMode);
        fObject(P::nFloatDelayed);
        fObject(P::nFloatSpans);
        f(W::Word, &P::m_wMergeCellsMode);
        fObject(P::nMergeDelayed);
        fObject(P::nMergeSpans1);
        fObject(P::nMergeSpans2);
        f(W::WordOf32, &P::m_nGridLineDrawing);
    }
    if (nVersion >= 8) {
        f(W::Flag, &P::m_bDirectCopyPaste); // Z1
        f(W::Flag, &P::m_bDirectCutPaste);  // Z2
        f(W::Flag, &P::m_bDirectDragDrop);  // Z3
    }
    if (nVersion >= 9)
        f(W::Word, &P::m_wOptionAA);        // AA
    if (nVersion >= 10)
        f(W::Flag, &P::m_bKeepClickSelection); // AB
}
