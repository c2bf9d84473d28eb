#pragma once
// The database layer: workspaces, databases, table definitions, recordsets with field
// exchange, and the database exception.
//
// A new keyed database and its tables:
//     CDaoDatabase db;
//     db.Create(path, dbLangGeneral _T(";pwd=secret"));      // 3204 when the file exists
//     db.Execute("CREATE TABLE Data ([_IKEY] LONG, [Last Name] TEXT(50), [_ILast Name] LONG)");
//     db.Execute("CREATE INDEX [_ILast Name] ON Data ([_ILast Name])");
// or CDaoTableDef::Create / CreateField / CreateIndex / Append. Index names belong to their
// table, as Jet's do. Rows go in with a recordset (AddNew, SetFieldValue, Update), best inside
// db.m_pWorkspace->BeginTrans() / CommitTrans().
//
// Opening: db.Open(path, bExclusive, bReadOnly, _T(";PWD=secret")). Errors are CDaoException
// (thrown by value) with the Jet number in e.m_pErrorInfo->m_lErrorCode and a description in
// e.m_pErrorInfo->m_strDescription: 3024 no file, 3031 wrong password, 3356 opened exclusively
// elsewhere (this process or another), 3045 an exclusive open of a file others have open.
//
// Recordsets: rs.Open(dbOpenDynaset, "SELECT ...") or a table name; rs.Open(&tabledef) for
// a table recordset (rowid order, or the order of SetCurrentIndex, with Seek). Field values
// are COleVariant by DAO type: Boolean VT_BOOL, Byte VT_UI1, Integer VT_I2, Long VT_I4,
// Currency VT_CY, Single VT_R4, Double VT_R8, Date VT_DATE, Text/Memo/GUID VT_BSTR, Long
// Binary VT_ARRAY|VT_UI1, Null VT_NULL.

#include "platform/dao/daoexcept.h"
#include "platform/dao/daodatabase.h"
#include "platform/dao/daotabledef.h"
#include "platform/dao/daorecordset.h"
