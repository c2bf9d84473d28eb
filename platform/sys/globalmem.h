#pragma once
// Global memory blocks: the handles that printer set-ups and clipboard data travel in.
// Every handle is checked, so a stale or foreign one fails instead of corrupting memory.

#include "platform/sys/system.h"

typedef size_t SIZE_T;

#define GMEM_FIXED 0x0000
#define GMEM_MOVEABLE 0x0002
#define GMEM_NOCOMPACT 0x0010
#define GMEM_NODISCARD 0x0020
#define GMEM_ZEROINIT 0x0040
#define GMEM_MODIFY 0x0080
#define GMEM_DISCARDABLE 0x0100
#define GMEM_SHARE 0x2000
#define GMEM_DDESHARE GMEM_SHARE
#define GHND (GMEM_MOVEABLE | GMEM_ZEROINIT)
#define GPTR (GMEM_FIXED | GMEM_ZEROINIT)

// Null (ERROR_NOT_ENOUGH_MEMORY) when the size is beyond what any block here needs (1 GiB).
// With GMEM_FIXED the handle is the block's address, as on the original system.
HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
// Keeps the contents up to the smaller size; new bytes are zero with GMEM_ZEROINIT.
HGLOBAL GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags);
LPVOID GlobalLock(HGLOBAL hMem);
// TRUE while the block is still locked.
BOOL GlobalUnlock(HGLOBAL hMem);
SIZE_T GlobalSize(HGLOBAL hMem);
// Null on success, the handle back when it was not a live block.
HGLOBAL GlobalFree(HGLOBAL hMem);

// Test hooks: the next n allocations fail as if memory ran out; the count of live blocks.
void PvFailGlobalAllocs(int n);
long PvLiveGlobalBlocks();
