// Access's built-in functions (Left, IIf, DateAdd, Format...) as the parser
// and the compiler see them: which names are functions, and a call turned
// into SQLite text. What runs them is in sqlite_functions.h.
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

#include <string>
#include <string_view>
#include <vector>

#include "compiler.h"

namespace jetdb {

// Whether `upperName` names a built-in function (aggregates aside).
bool isBuiltinFunction(std::string_view upperName);

// The call `e` (Kind::Call, not an aggregate) as SQLite text; fails with
// the French error of a wrong number of arguments.
bool compileFunction(CompileContext& s, const Expr& e, const Scope* scope, std::vector<Value>& params,
                     CompiledExpr& out, bool insideAggregate);

// The SQL of a run of `&` over these operands (`dates`: which are dates).
std::string concatSql(const std::vector<std::string>& operands, const std::vector<bool>& dates);

}  // namespace jetdb
