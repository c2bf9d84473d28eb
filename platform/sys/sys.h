#pragma once
// Umbrella for the system services.

#include "platform/sys/system.h"
#if __has_include("platform/sys/registry.h")
#include "platform/sys/registry.h"
#endif
#if __has_include("platform/sys/profile.h")
#include "platform/sys/profile.h"
#endif
#if __has_include("platform/sys/shell.h")
#include "platform/sys/shell.h"
#endif
#if __has_include("platform/sys/locale.h")
#include "platform/sys/locale.h"
#endif
#if __has_include("platform/sys/ole.h")
#include "platform/sys/ole.h"
#endif
