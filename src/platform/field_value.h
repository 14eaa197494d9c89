// Moving values between the driver and the members bound by the exchange
// functions, with the checks that the member's type needs.
#pragma once

#include "jetdb/jetdb.h"
#include "platform/field_binding.h"

namespace rfx {

// Puts a driver value into the member. A Null gives 0, FALSE, 0.0, an empty
// text or CTime(0) and returns true. A value that does not fit the member
// throws CDBException (07006 for another kind, 22003 out of range); a text
// longer than the binding's maximum is cut to it, as the original's buffer
// cut it.
bool Load(const FieldBinding& field, const jetdb::Value& value);

// The member's value as the driver stores it (a TRUE BOOL is Access's -1).
jetdb::Value Current(const FieldBinding& field);
// The same into `out`, whose text keeps its buffer.
void CurrentInto(const FieldBinding& field, jetdb::Value& out);
// The same, refused (22001) when a text is longer than the maximum.
jetdb::Value ForWrite(const FieldBinding& field);

// The pseudo-null that AddNew puts into a member: a member still holding it
// at Update was never assigned and is written as Null.
void SetPseudoNull(const FieldBinding& field);
bool IsPseudoNull(const FieldBinding& field);

// Equality that also holds for two identical NaN doubles.
bool SameValue(const jetdb::Value& a, const jetdb::Value& b);

// One value of a multi-row column, with its length indicator.
void LoadBulk(const BulkBinding& field, std::size_t row, const jetdb::Value& value);

}  // namespace rfx
