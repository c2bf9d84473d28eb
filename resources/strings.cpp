#include "resources/resource.h"

#include "resources/directory_ids.h"
#include "resources/notes_ids.h"
#include "resources/favorites_ids.h"
#include "resources/outline_ids.h"
#include "platform/base/stringtable.h"

namespace {

const PvStringResource kStrings[] = {
    {AFX_IDS_APP_TITLE, "Paravel"},
    {IDS_WEB_ADDRESS, "https://partner.example.com/"},
};

} // namespace

void PvRegisterAppResources()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    PvRegisterStringTable(kStrings);
    PvRegisterDirectoryResources();
    PvRegisterOutlineResources();
    PvRegisterNotesResources();
    PvRegisterFavoritesResources();
}
