// The SQLite functions behind the compiled calls: each runs a built-in
// function of the table and turns its run-time error into an SQLite error
// that the driver reads back as Access's.
#include "sqlite_functions.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

#include "builtin_args.h"
#include "errors.h"

namespace jetdb {
namespace {

using namespace fn;

constexpr const char* kFailureTag = "\x01jet:";

void run(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  const auto* f = static_cast<const BuiltinFunction*>(sqlite3_user_data(ctx));
  try {
    const Args args{argv + 1, argc - 1, static_cast<unsigned>(sqlite3_value_int64(argv[0]))};
    const Value r = f->run(args);
    switch (r.kind) {
      case Value::Kind::Null:
        sqlite3_result_null(ctx);
        break;
      case Value::Kind::Integer:
      case Value::Kind::DateTime:
        sqlite3_result_int64(ctx, r.integer);
        break;
      case Value::Kind::Double:
        sqlite3_result_double(ctx, r.real);
        break;
      case Value::Kind::Text:
      case Value::Kind::Decimal:
        if (r.text.size() > kMaxText) throw Failure{14};
        sqlite3_result_text64(ctx, r.text.data(), r.text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        break;
      case Value::Kind::Binary:
        sqlite3_result_blob64(ctx, r.text.data(), r.text.size(), SQLITE_TRANSIENT);
        break;
    }
  } catch (const Failure& failure) {
    const std::string message = kFailureTag + std::to_string(failure.number);
    sqlite3_result_error(ctx, message.c_str(), -1);
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(ctx);
  } catch (const std::exception&) {
    // Nothing may unwind through SQLite: what the checks above missed is
    // still an argument the function cannot take.
    sqlite3_result_error(ctx, (kFailureTag + std::string("5")).c_str(), -1);
  }
}

}  // namespace

bool registerFunctions(sqlite3* db) {
  auto add = [db](const BuiltinFunction& f) {
    const int flags = SQLITE_UTF8 | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
    return sqlite3_create_function_v2(db, sqliteName(f).c_str(), -1, flags, const_cast<BuiltinFunction*>(&f), run,
                                      nullptr, nullptr, nullptr) == SQLITE_OK;
  };
  for (const BuiltinFunction& f : builtinFunctions())
    if (!add(f)) return false;
  return sqlite3_create_function_v2(db, "jet_concat", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                    const_cast<BuiltinFunction*>(&concatFunction()), run, nullptr, nullptr,
                                    nullptr) == SQLITE_OK;
}

std::optional<Error> functionError(const char* message) {
  if (!message || std::strncmp(message, kFailureTag, std::strlen(kFailureTag)) != 0) return std::nullopt;
  const int number = std::atoi(message + std::strlen(kFailureTag));
  switch (number) {
    case 5:
      return makeError("22023", 5, "Argument ou appel de procédure incorrect.");
    case 6:
      return makeError("22003", 6, "Dépassement de capacité.");
    case 13:
      return makeError("22018", 13, "Type incompatible.");
    case 14:
      return makeError("HY001", 14, "Espace de chaîne insuffisant.");
    default:
      return makeError("22004", 94, "Utilisation incorrecte de Null.");
  }
}

}  // namespace jetdb
