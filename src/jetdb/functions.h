// Access's built-in functions (Left, IIf, DateAdd, Format...): their table,
// their compilation into SQLite text and the SQLite functions that run them.
//
// Each function keeps the semantics of Access's expression service, not
// SQLite's: Null in gives Null out (except where Access says otherwise: the
// conversions C... refuse Null, IsNull/IsNumeric/IsDate answer False), text
// counts characters, comparisons inside InStr, Replace and StrComp ignore
// case and accents unless asked for a binary compare (0), booleans are -1
// and 0, numbers round half to even where Access does (CInt, CLng, CCur,
// Round). Nz(x) without a second argument gives "" for Null.
//
// A function that fails as it runs (Sqr(-1), CInt(40000), Left("a", -1))
// fails the statement with Access's run-time error, French, carrying its
// VBA number as the native number:
//   5   "Argument ou appel de procédure incorrect."    22023
//   6   "Dépassement de capacité."                      22003
//   13  "Type incompatible."                            22018
//   14  "Espace de chaîne insuffisant."                 HY001 (a text over kMaxText)
//   94  "Utilisation incorrecte de Null."               22004
#pragma once

#include <sqlite3.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jetdb/session.h"

namespace jetdb {

// The longest text a function builds (Space, String, Replace), in bytes:
// far beyond any Memo the application keeps, and small enough that a huge
// count fails instead of exhausting memory.
inline constexpr std::size_t kMaxText = 1 << 24;

// Whether `upperName` names a built-in function (aggregates aside).
bool isBuiltinFunction(std::string_view upperName);

// The call `e` (Kind::Call, not an aggregate) as SQLite text; fails with
// the French error of a wrong number of arguments.
bool compileFunction(Session& s, const Expr& e, const Scope* scope, std::vector<Value>& params, CompiledExpr& out,
                     bool insideAggregate);

// The SQL of a run of `&` over these operands (`dates`: which are dates).
std::string concatSql(const std::vector<std::string>& operands, const std::vector<bool>& dates);

// Registers the SQLite functions the compiled calls use.
bool registerFunctions(sqlite3* db);

// The driver error that a function raised, read back from the message
// SQLite reports for the failed statement; nullopt for any other message.
std::optional<Error> functionError(const char* sqliteMessage);

namespace fn {

// A run-time error of a function (see above), thrown inside the SQLite
// functions and turned into the statement's error at their edge.
struct Failure {
  int number;
};

// Conversions as Access makes them. Texts are read and written in French
// conventions: decimal comma, dates day first.
std::optional<double> numberOf(const Value& v);
std::string textOf(const Value& v);
std::optional<std::int64_t> dateOf(const Value& v);

// LCase and UCase: Latin letters, accented ones included.
std::string changeCase(std::string_view text, bool upper);

// Format(value, format), in format.cpp.
std::string format(const Value& v, std::string_view picture);

}  // namespace fn
}  // namespace jetdb
