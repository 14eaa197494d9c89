// The built-in functions that SQLite runs, one file a group (text, numbers,
// dates), and their table: name, number of arguments, type of result. The
// compiler reads the table (functions.cpp); the functions read their
// arguments from SQLite (builtin_args.h). Internal to the driver: nothing
// outside src/jetdb includes it.
#pragma once

#include <span>
#include <string>

#include "jetdb/jetdb.h"

namespace jetdb {
namespace fn {

struct Args;

// Text, and the conversions between text and numbers (builtin_text.cpp).
Value len(const Args& a);
Value left(const Args& a);
Value right(const Args& a);
Value mid(const Args& a);
Value inStr(const Args& a);
Value inStrRev(const Args& a);
Value lCase(const Args& a);
Value uCase(const Args& a);
Value trim(const Args& a);
Value lTrim(const Args& a);
Value rTrim(const Args& a);
Value replace(const Args& a);
Value space(const Args& a);
Value stringOf(const Args& a);
Value strComp(const Args& a);
Value strReverse(const Args& a);
Value asc(const Args& a);
Value chrOf(const Args& a);
Value val(const Args& a);
Value str(const Args& a);
Value concat(const Args& a);

// Conversions, information and mathematics (builtin_numbers.cpp).
Value cStr(const Args& a);
Value cLng(const Args& a);
Value cInt(const Args& a);
Value cDbl(const Args& a);
Value cSng(const Args& a);
Value cCur(const Args& a);
Value cBool(const Args& a);
Value cDate(const Args& a);
Value isNumeric(const Args& a);
Value isDate(const Args& a);
Value absOf(const Args& a);
Value sgn(const Args& a);
Value intOf(const Args& a);
Value fix(const Args& a);
Value roundOf(const Args& a);
Value sqr(const Args& a);
Value expOf(const Args& a);
Value logOf(const Args& a);
Value sinOf(const Args& a);
Value cosOf(const Args& a);
Value atn(const Args& a);

// Dates, and Format, which dates most need (builtin_dates.cpp).
Value nowOf(const Args& a);
Value today(const Args& a);
Value timeOf(const Args& a);
Value year(const Args& a);
Value month(const Args& a);
Value day(const Args& a);
Value hour(const Args& a);
Value minute(const Args& a);
Value second(const Args& a);
Value weekdayOf(const Args& a);
Value dateAdd(const Args& a);
Value dateDiff(const Args& a);
Value datePart(const Args& a);
Value dateSerial(const Args& a);
Value timeSerial(const Args& a);
Value dateValue(const Args& a);
Value formatOf(const Args& a);

}  // namespace fn

// How the compiler types a function's result.
// Number: read by what it holds; Argument: the type of its (first)
// argument when that is a number.
enum class FunctionResult { Text, Number, Argument, Long, Short, Double, Single, Currency, Date, Bool };

struct BuiltinFunction {
  const char* name;  // upper case, as the parser leaves it
  int minArgs, maxArgs;
  FunctionResult result;
  Value (*run)(const fn::Args&);
  bool deterministic = true;
};

// Every function that SQLite runs, and the one behind `&`.
std::span<const BuiltinFunction> builtinFunctions();
const BuiltinFunction& concatFunction();
// The name SQLite knows a function by.
std::string sqliteName(const BuiltinFunction& f);

}  // namespace jetdb
