#pragma once
// Everything of the base framework layer in one include.

#include "platform/base/pvdefs.h"
#include "platform/base/CString.h"
#include "platform/base/exceptions.h"
#include "platform/base/geometry.h"
#include "platform/base/CObject.h"
#include "platform/base/CFile.h"
#include "platform/base/CArchive.h"
#include "platform/base/collections.h"
#include "platform/base/stringtable.h"
