#pragma once
// Umbrella for the system services.

#include "platform/sys/appprofile.h"
#include "platform/sys/globalmem.h"
#include "platform/sys/locale.h"
#include "platform/sys/ole.h"
#include "platform/sys/profile.h"
#include "platform/sys/registry.h"
#include "platform/sys/shell.h"
#include "platform/sys/system.h"
