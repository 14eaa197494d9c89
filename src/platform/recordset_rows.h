// The record set's private pieces that its sources share.
#pragma once

#include <vector>

#include "jetdb/jetdb.h"
#include "platform/recordset.h"

// One row of the snapshot, as the driver gave it (or as this set last
// wrote it).
struct CRecordset::Row {
  jetdb::RowId id = 0;
  std::vector<jetdb::Value> values;
  bool deleted = false;
};

struct CRecordset::FieldState {
  bool null = false;         // the field's Null status: read, set, or a new row's
  bool forceDirty = false;   // SetFieldDirty: written by the next Update
  bool forceNull = false;    // SetFieldNull: written as Null by the next Update
  jetdb::Value atEdit;       // the member's value when Edit began
};

// An error that the framework finds itself.
[[noreturn]] void ThrowFrameworkError(RETCODE code, const char* message);
