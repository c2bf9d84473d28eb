#include "platform/sys/globalmem.h"

#include <cstring>
#include <mutex>
#include <new>
#include <unordered_map>

namespace {

constexpr SIZE_T kMaxBlock = SIZE_T(1) << 30;

struct Block {
    unsigned char* data = nullptr;
    SIZE_T size = 0;
    UINT flags = 0;
    UINT locks = 0;
};

std::mutex g_mutex;
std::unordered_map<HGLOBAL, Block*> g_blocks;
int g_failAllocs = 0;

Block* find(HGLOBAL h)
{
    auto it = g_blocks.find(h);
    return it == g_blocks.end() ? nullptr : it->second;
}

unsigned char* allocate(SIZE_T bytes, bool zero)
{
    // One byte at least, so that every block has an address of its own.
    auto* p = new (std::nothrow) unsigned char[bytes ? bytes : 1];
    if (p && zero)
        std::memset(p, 0, bytes ? bytes : 1);
    return p;
}

} // namespace

void PvFailGlobalAllocs(int n)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_failAllocs = n;
}

long PvLiveGlobalBlocks()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return long(g_blocks.size());
}

namespace {
bool failThisAlloc()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_failAllocs <= 0)
        return false;
    --g_failAllocs;
    return true;
}
} // namespace

HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes)
{
    if (dwBytes > kMaxBlock || failThisAlloc()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto* b = new (std::nothrow) Block;
    if (!b || !(b->data = allocate(dwBytes, uFlags & GMEM_ZEROINIT))) {
        delete b;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    b->size = dwBytes;
    b->flags = uFlags;
    HGLOBAL h = (uFlags & GMEM_MOVEABLE) ? reinterpret_cast<HGLOBAL>(b) : reinterpret_cast<HGLOBAL>(b->data);
    std::lock_guard<std::mutex> lock(g_mutex);
    g_blocks[h] = b;
    return h;
}

HGLOBAL GlobalReAlloc(HGLOBAL hMem, SIZE_T dwBytes, UINT uFlags)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    Block* b = find(hMem);
    if (!b) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (uFlags & GMEM_MODIFY)
        return hMem;
    if (dwBytes > kMaxBlock) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // A fixed block's handle is its address, so it cannot move while anyone may hold it.
    bool moveable = b->flags & GMEM_MOVEABLE;
    if (!moveable && dwBytes > b->size) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (!moveable) {
        b->size = dwBytes;
        return hMem;
    }
    unsigned char* p = allocate(dwBytes, uFlags & GMEM_ZEROINIT);
    if (!p) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::memcpy(p, b->data, dwBytes < b->size ? dwBytes : b->size);
    delete[] b->data;
    b->data = p;
    b->size = dwBytes;
    return hMem;
}

LPVOID GlobalLock(HGLOBAL hMem)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    Block* b = find(hMem);
    if (!b) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (b->flags & GMEM_MOVEABLE)
        ++b->locks;
    return b->data;
}

BOOL GlobalUnlock(HGLOBAL hMem)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    Block* b = find(hMem);
    if (!b) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (b->locks)
        --b->locks;
    SetLastError(NO_ERROR);
    return b->locks ? TRUE : FALSE;
}

SIZE_T GlobalSize(HGLOBAL hMem)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    Block* b = find(hMem);
    if (!b) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return b->size;
}

HGLOBAL GlobalFree(HGLOBAL hMem)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_blocks.find(hMem);
    if (it == g_blocks.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return hMem;
    }
    delete[] it->second->data;
    delete it->second;
    g_blocks.erase(it);
    return nullptr;
}
