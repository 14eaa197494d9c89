// Contract: how a column of a real Access file is held in a jetdb table,
// and how each of its values is written there.
//
// What a writer may rely on:
//  - planColumn gives the driver's DDL for the column (its own Jet type,
//    size, precision and scale, NOT NULL), its default value apart (the
//    driver may refuse one that Access takes: the writer then reports it).
//    Every Jet type the model reads is the driver's too, so no value changes
//    type on the way.
//  - convert never loses a value silently: a value the driver cannot hold
//    as it is (a date's milliseconds, a Currency beyond what a Double holds
//    to the ten-thousandth, a Double that is no number, a date outside years
//    100 to 9999) is written as near as it can be and counted in the
//    column's `changed`, which the writer reports.
#pragma once

#include <cstddef>
#include <string>

#include "access/model.h"
#include "jetdb/jetdb.h"

namespace mdbimport {

struct ColumnPlan {
  std::string ddl;          // "[Name] TEXT(50) NOT NULL"
  std::string defaultText;  // the Access default as the driver's DEFAULT reads it ("=" dropped); empty without one
};

ColumnPlan planColumn(const mdbfile::Column& column);

// What a change of one value was, for the report.
enum class Change { None, Milliseconds, Currency, NotANumber, DateOutOfRange };

// The value for the driver; `change` says how it differs from `in`.
jetdb::Value convert(const mdbfile::Value& in, Change& change);

// "[name]", for a name that holds no ']' (Jet allows none in a name).
std::string bracketed(const std::string& name);

}  // namespace mdbimport
