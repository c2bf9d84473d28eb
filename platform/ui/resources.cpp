// Registries of menus, accelerators, toolbars and dialog templates.

#include "platform/ui/resources.h"

#include <cstdint>
#include <cstdlib>
#include <map>

namespace {
struct MenuRes {
    const PvMenuTemplateItem* items;
    size_t count;
};
std::map<UINT, MenuRes>& Menus()
{
    static auto* m = new std::map<UINT, MenuRes>;
    return *m;
}
std::map<UINT, PvToolBarTemplate>& ToolBars()
{
    static auto* m = new std::map<UINT, PvToolBarTemplate>;
    return *m;
}
std::map<UINT, PvDialogTemplate>& Dialogs()
{
    static auto* m = new std::map<UINT, PvDialogTemplate>;
    return *m;
}
} // namespace

// Accelerator tables are kept by the menu module, which owns HACCEL handles.
void PvAccelRegister(UINT nID, const ACCEL* p, size_t n);

void PvRegisterMenu(UINT nID, const PvMenuTemplateItem* p, size_t n) { Menus()[nID] = MenuRes {p, n}; }

const PvMenuTemplateItem* PvFindMenuTemplate(UINT nID, size_t* pCount)
{
    auto it = Menus().find(nID);
    if (it == Menus().end()) return nullptr;
    if (pCount) *pCount = it->second.count;
    return it->second.items;
}

void PvRegisterAccelerators(UINT nID, const ACCEL* p, size_t n) { PvAccelRegister(nID, p, n); }

void PvRegisterToolBar(UINT nID, const PvToolBarTemplate& t) { ToolBars()[nID] = t; }

const PvToolBarTemplate* PvFindToolBarTemplate(UINT nID)
{
    auto it = ToolBars().find(nID);
    return it == ToolBars().end() ? nullptr : &it->second;
}

void PvRegisterDialog(UINT nID, const PvDialogTemplate& t) { Dialogs()[nID] = t; }

const PvDialogTemplate* PvFindDialogTemplate(UINT nID)
{
    auto it = Dialogs().find(nID);
    return it == Dialogs().end() ? nullptr : &it->second;
}

UINT PvResourceId(LPCTSTR name)
{
    if (!name) return 0;
    if (IS_INTRESOURCE(name)) return UINT(reinterpret_cast<uintptr_t>(name));
    if (name[0] != '#') return 0;
    char* end = nullptr;
    unsigned long v = std::strtoul(name + 1, &end, 10);
    return (end && !*end && v <= 0xFFFF) ? UINT(v) : 0;
}
