#pragma once
// The database layer: workspaces, databases, table definitions, recordsets with field
// exchange, and the database exception.

#include "platform/dao/daoexcept.h"
#include "platform/dao/daodatabase.h"
#include "platform/dao/daotabledef.h"
#include "platform/dao/daorecordset.h"
