#pragma once
// Style records of versions 1 to 4 kept their user attributes as a map of id to text; this
// reads them into the style's attribute map.

#include "grid/core/gxstate.h"

class CGXSerializeGW5CompatibleImp : public CGXAbstractSerializeGW5CompatibleImp {
public:
    void ReadUserAttributes(CGXStyle& style, CArchive& ar) override;
};

// Installs the reader once; a second call does nothing.
void GXInstallSerializeGW5CompatibleImp();
