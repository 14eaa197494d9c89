// The table of Access's built-in functions, how the compiler types their
// results and turns a call into SQLite text. The functions themselves live
// in builtin_*.cpp, by group; sqlite_functions.cpp registers and runs them.
#include "functions.h"

#include <algorithm>
#include <cctype>

#include "builtin.h"
#include "errors.h"

namespace jetdb {
namespace {

using Function = BuiltinFunction;
using Result = FunctionResult;
using namespace fn;

const Function kFunctions[] = {
    {"LEN", 1, 1, Result::Long, len},
    {"LEFT", 2, 2, Result::Text, left},
    {"RIGHT", 2, 2, Result::Text, right},
    {"MID", 2, 3, Result::Text, mid},
    {"INSTR", 2, 4, Result::Long, inStr},
    {"INSTRREV", 2, 4, Result::Long, inStrRev},
    {"LCASE", 1, 1, Result::Text, lCase},
    {"UCASE", 1, 1, Result::Text, uCase},
    {"TRIM", 1, 1, Result::Text, trim},
    {"LTRIM", 1, 1, Result::Text, lTrim},
    {"RTRIM", 1, 1, Result::Text, rTrim},
    {"REPLACE", 3, 6, Result::Text, replace},
    {"SPACE", 1, 1, Result::Text, space},
    {"STRING", 2, 2, Result::Text, stringOf},
    {"STRCOMP", 2, 3, Result::Short, strComp},
    {"STRREVERSE", 1, 1, Result::Text, strReverse},
    {"ASC", 1, 1, Result::Short, asc},
    {"CHR", 1, 1, Result::Text, chrOf},
    {"VAL", 1, 1, Result::Double, val},
    {"STR", 1, 1, Result::Text, str},
    {"CSTR", 1, 1, Result::Text, cStr},
    {"CLNG", 1, 1, Result::Long, cLng},
    {"CINT", 1, 1, Result::Short, cInt},
    {"CDBL", 1, 1, Result::Double, cDbl},
    {"CSNG", 1, 1, Result::Single, cSng},
    {"CCUR", 1, 1, Result::Currency, cCur},
    {"CBOOL", 1, 1, Result::Bool, cBool},
    {"CDATE", 1, 1, Result::Date, cDate},
    {"CVDATE", 1, 1, Result::Date, cDate},
    {"ISNUMERIC", 1, 1, Result::Bool, isNumeric},
    {"ISDATE", 1, 1, Result::Bool, isDate},
    {"ABS", 1, 1, Result::Argument, absOf},
    {"SGN", 1, 1, Result::Short, sgn},
    {"INT", 1, 1, Result::Argument, intOf},
    {"FIX", 1, 1, Result::Argument, fix},
    {"ROUND", 1, 2, Result::Argument, roundOf},
    {"SQR", 1, 1, Result::Double, sqr},
    {"EXP", 1, 1, Result::Double, expOf},
    {"LOG", 1, 1, Result::Double, logOf},
    {"SIN", 1, 1, Result::Double, sinOf},
    {"COS", 1, 1, Result::Double, cosOf},
    {"ATN", 1, 1, Result::Double, atn},
    {"NOW", 0, 0, Result::Date, nowOf, false},
    {"DATE", 0, 0, Result::Date, today, false},
    {"TIME", 0, 0, Result::Date, timeOf, false},
    {"YEAR", 1, 1, Result::Short, year},
    {"MONTH", 1, 1, Result::Short, month},
    {"DAY", 1, 1, Result::Short, day},
    {"HOUR", 1, 1, Result::Short, hour},
    {"MINUTE", 1, 1, Result::Short, minute},
    {"SECOND", 1, 1, Result::Short, second},
    {"WEEKDAY", 1, 2, Result::Short, weekdayOf},
    {"DATEADD", 3, 3, Result::Date, dateAdd},
    {"DATEDIFF", 3, 5, Result::Long, dateDiff},
    {"DATEPART", 2, 4, Result::Short, datePart},
    {"DATESERIAL", 3, 3, Result::Date, dateSerial},
    {"TIMESERIAL", 3, 3, Result::Date, timeSerial},
    {"DATEVALUE", 1, 1, Result::Date, dateValue},
    {"FORMAT", 1, 4, Result::Text, formatOf},
};

// Compiled in place rather than run by SQLite functions: they choose among
// their arguments, and SQLite's CASE and COALESCE evaluate only the one
// chosen and keep its type.
struct Special {
  const char* name;
  int minArgs, maxArgs;
};
const Special kSpecials[] = {{"IIF", 3, 3},    {"SWITCH", 2, 1 << 20}, {"CHOOSE", 2, 1 << 20},
                             {"ISNULL", 1, 1}, {"NZ", 1, 2},           {"@@IDENTITY", 0, 0}};

// The text of `&`, which compileFunction's callers reach through jet_concat.
const Function kConcat{"&", 0, 0, Result::Text, concat};

const Function* findFunction(std::string_view name) {
  for (const Function& f : kFunctions)
    if (name == f.name) return &f;
  return nullptr;
}
const Special* findSpecial(std::string_view name) {
  for (const Special& f : kSpecials)
    if (name == f.name) return &f;
  return nullptr;
}

std::optional<JetType> typeOf(Result r) {
  switch (r) {
    case Result::Text:
      return JetType::Text;
    case Result::Number:
    case Result::Argument:
      return std::nullopt;
    case Result::Long:
      return JetType::Long;
    case Result::Short:
      return JetType::Short;
    case Result::Double:
      return JetType::Double;
    case Result::Single:
      return JetType::Single;
    case Result::Currency:
      return JetType::Currency;
    case Result::Date:
      return JetType::DateTime;
    case Result::Bool:
      return JetType::Bit;
  }
  return std::nullopt;
}

bool wrongCount(CompileContext& s, const Expr& e) {
  std::string shown = e.source;
  while (!shown.empty() && shown.back() == ' ') shown.pop_back();
  return s.fail(
      makeError("42000", 3075,
                "Nombre d'arguments incorrect utilisé avec la fonction dans l'expression de requête '" + shown + "'."));
}

}  // namespace

bool isBuiltinFunction(std::string_view upperName) {
  return findFunction(upperName) != nullptr || findSpecial(upperName) != nullptr;
}

std::span<const BuiltinFunction> builtinFunctions() { return kFunctions; }
const BuiltinFunction& concatFunction() { return kConcat; }

std::string sqliteName(const BuiltinFunction& f) {
  std::string s = "jet_";
  for (const char* p = f.name; *p; ++p) s += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  return s;
}


std::string concatSql(const std::vector<std::string>& operands, const std::vector<bool>& dates) {
  // At most 32 operands a call, the calls nested when there are more:
  // SQLite caps a function's arguments, and Null & Null being Null holds
  // group by group.
  constexpr std::size_t kGroup = 32;
  std::vector<std::string> level = operands;
  std::vector<bool> isDate = dates;
  do {
    std::vector<std::string> next;
    for (std::size_t i = 0; i < level.size(); i += kGroup) {
      unsigned mask = 0;
      std::string args;
      for (std::size_t j = i; j < std::min(level.size(), i + kGroup); ++j) {
        if (isDate[j]) mask |= 1u << (j - i);
        args += ", " + level[j];
      }
      next.push_back("jet_concat(" + std::to_string(mask) + args + ")");
    }
    level = std::move(next);
    isDate.assign(level.size(), false);
  } while (level.size() > 1);
  return level.front();
}

bool compileFunction(CompileContext& s, const Expr& e, const Scope* scope, std::vector<Value>& params,
                     CompiledExpr& out, bool insideAggregate) {
  const Function* f = findFunction(e.name);
  const Special* special = f ? nullptr : findSpecial(e.name);
  const int n = static_cast<int>(e.args.size());
  const int minArgs = f ? f->minArgs : special->minArgs, maxArgs = f ? f->maxArgs : special->maxArgs;
  if (n < minArgs || n > maxArgs) return wrongCount(s, e);
  if (e.name == "SWITCH" && n % 2 != 0) return wrongCount(s, e);
  std::vector<CompiledExpr> args(e.args.size());
  for (std::size_t i = 0; i < e.args.size(); ++i) {
    if (!compileExpr(s, *e.args[i], scope, params, args[i], insideAggregate)) return false;
    out.aggregate = out.aggregate || args[i].aggregate;
    out.bareColumn = out.bareColumn || args[i].bareColumn;
  }
  // The common type of the values a choice may give, when they agree (a
  // Null has none): IIf(x, [Date], Null) still reads as a date, and
  // IIf(x, 'a', 'b') + 'c' joins texts.
  auto common = [&](std::size_t from, std::size_t step) {
    std::optional<JetType> t;
    bool first = true;
    for (std::size_t i = from; i < args.size(); i += step) {
      const Expr& arg = *e.args[i];
      if (arg.kind == Expr::Kind::Literal && arg.literal.isNull()) continue;
      const bool text = arg.kind == Expr::Kind::Literal && arg.literal.kind == Value::Kind::Text;
      const std::optional<JetType> type = text ? JetType::Text : args[i].type;
      if (!first && type != t) return std::optional<JetType>();
      t = type;
      first = false;
    }
    return t;
  };
  if (e.name == "IIF") {
    out.sql = "(CASE WHEN " + args[0].sql + " THEN " + args[1].valueSql() + " ELSE " + args[2].valueSql() + " END)";
    out.type = common(1, 1);
  } else if (e.name == "SWITCH") {
    out.sql = "(CASE";
    for (std::size_t i = 0; i < args.size(); i += 2)
      out.sql += " WHEN " + args[i].sql + " THEN " + args[i + 1].valueSql();
    out.sql += " END)";
    out.type = common(1, 2);
  } else if (e.name == "CHOOSE") {
    // The index is truncated, as Fix does; out of range gives Null.
    out.sql = "(CASE CAST(" + args[0].valueSql() + " AS INTEGER)";
    for (std::size_t i = 1; i < args.size(); ++i)
      out.sql += " WHEN " + std::to_string(i) + " THEN " + args[i].valueSql();
    out.sql += " END)";
    out.type = common(1, 1);
  } else if (e.name == "@@IDENTITY") {
    out.sql = "jet_identity()";
    out.type = JetType::Long;
  } else if (e.name == "ISNULL") {
    out.sql = "(" + args[0].valueSql() + " IS NULL)";
    out.boolean = true;
  } else if (e.name == "NZ") {
    out.sql = "COALESCE(" + args[0].valueSql() + ", " + (n == 2 ? args[1].valueSql() : std::string("''")) + ")";
    out.type = n == 2                                                             ? common(0, 1)
               : (args[0].type == JetType::Text || args[0].type == JetType::Memo) ? args[0].type
                                                                                  : std::nullopt;
  } else {
    unsigned mask = 0;
    std::string list;
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (args[i].type == JetType::DateTime) mask |= 1u << i;
      list += ", " + args[i].valueSql();
    }
    out.sql = sqliteName(*f) + "(" + std::to_string(mask) + list + ")";
    out.type = typeOf(f->result);
    if (f->result == Result::Argument && args[0].type && *args[0].type != JetType::DateTime)
      out.type = arithmeticType({args[0].type});
  }
  return true;
}

}  // namespace jetdb
