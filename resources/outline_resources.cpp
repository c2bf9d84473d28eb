// The outline's context menus: 135 for a saved directory list, 139 for a favorite.

#include "resources/outline_ids.h"

#include "platform/ui/resources.h"

namespace {

const PvMenuTemplateItem kDirectoryListMenu[] = {
    {MF_POPUP | MF_END, 0, "Directory List"},
    {0, ID_RENAME_DIRECTORY_LIST, "&Rename Directory List"},
    {MF_END, ID_DELETE_DIRECTORY_LIST, "&Delete Directory List"},
};

const PvMenuTemplateItem kFavoriteMenu[] = {
    {MF_POPUP | MF_END, 0, "Favorite"},
    {0, ID_RENAME_FAVORITE, "&Rename Favorite"},
    {0, ID_DELETE_FAVORITE, "&Delete Favorite"},
    {MF_END, ID_FAVORITE_NOTES, "&Add/View Notes..."},
};

} // namespace

void PvRegisterOutlineResources()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    PvRegisterMenu(IDR_DIRECTORY_LIST_MENU, kDirectoryListMenu);
    PvRegisterMenu(IDR_FAVORITE_MENU, kFavoriteMenu);
}
