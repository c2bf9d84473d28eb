#pragma once
// Deep copies of grid parameter objects, styles maps and properties, and the style subset
// test. Both are process-wide services installed once.

#include "grid/core/gxstate.h"

class CGXGridParamCopyOperatorImp : public CGXAbstractGridParamCopyOperatorImp {
public:
    void CopyParam(CGXGridParam& dest, const CGXGridParam& src) override;
    void CopyStylesMap(CGXStylesMap& dest, const CGXStylesMap& src) override;
    void CopyProperties(CGXProperties& dest, const CGXProperties& src) override;
};

class CGXStyleCompareSubsetImp : public CGXAbstractStyleCompareSubsetImp {
public:
    // Whether every attribute that style includes is included in other with an equal value.
    BOOL IsSubset(const CGXStyle& style, const CGXStyle& other) override;
};

// Each installs its service once; a second call does nothing.
void GXInstallParamCopyOperatorImp();
void GXInstallStyleCompareSubsetImp();
