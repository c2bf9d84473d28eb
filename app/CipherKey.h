#pragma once
// The record cipher's key is never stored: it is derived from the Value texts of the
// "DefaultSort1" and "DefaultSort2" rows of the directory's Application table. The document
// and the sample-directory generator both use this one function, so they always agree.

#include "platform/base/CString.h"

// Returns 16 bytes, each from 1 to 255. Deterministic; a change to any byte of either value,
// or moving bytes between the two, gives a different key.
CString DeriveCipherKey(const CString& strDefaultSort1, const CString& strDefaultSort2);
