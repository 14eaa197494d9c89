// The refusals of the driver, worded as a French-locale Access driver words
// them. Each carries its SQLSTATE, a native number (the Jet error number)
// and the driver's origin.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "jetdb/jetdb.h"

namespace jetdb {

inline constexpr const char* kOrigin = "[jetdb][Pilote Access]";

Error makeError(const char* state, int native, std::string message);

namespace errors {
Error tableExists(std::string_view table);
Error tableNotFound(std::string_view table);
Error columnExists(std::string_view column, std::string_view table);
Error columnNotFound(std::string_view column, std::string_view table);
Error columnTwice(std::string_view column);
Error indexExists(std::string_view index, std::string_view table);
Error indexNotFound(std::string_view index, std::string_view table);
Error constraintNotFound(std::string_view name, std::string_view table);
Error primaryKeyExists(std::string_view table);
Error duplicateValues(std::string_view table);
Error parentRequired(std::string_view parent);
Error childrenExist(std::string_view child);
Error relationBroken(std::string_view relation);
Error noUniqueIndex(std::string_view table);
Error relationTypes(std::string_view relation);
Error columnInIndex(std::string_view column, std::string_view table);
Error columnInRelation(std::string_view column, std::string_view table);
Error tableInRelation(std::string_view table);
Error textTooLong(std::string_view column);
Error outOfRange(std::string_view column);
Error wrongType(std::string_view column);
Error nullNotAllowed(std::string_view table, std::string_view column);
Error syntax(std::string_view where);
Error syntaxInExpression(std::string_view expression);
Error badStatement();
Error aggregateMix(std::string_view expression);
Error tooDeep(std::string_view expression);
Error tooComplex();
Error subqueryColumns();
Error ambiguousColumn(std::string_view column);
Error tooFewParameters(std::size_t expected);
Error distinctOrder(std::string_view expression);
Error invalidName(std::string_view name);
Error lastColumn(std::string_view table);
Error notADatabase(std::string_view path);
Error fileNotFound(std::string_view path);
Error fileExists(std::string_view path);
Error fileLocked(std::string_view path);
Error readOnly(std::string_view path);
// The file system holding `path` is mounted read-only.
Error readOnlyDisk(std::string_view path);
// `path` is `length` bytes long once absolute, over the engine's `limit`.
Error pathTooLong(std::string_view path, std::size_t length, std::size_t limit);
Error logMissing(std::string_view path);
// A log file beside `path` that the driver will not read (see foreignLog).
Error foreignLog(std::string_view path, std::string_view log, std::string_view why);
Error rowNotFound();
Error transactionOpen();
Error transactionLost();
// The faults SQLite reports, worded for the file `path` (none when empty);
// a full disk names the folder too, which is where room must be made.
Error diskFull(std::string_view path);
Error ioError(std::string_view path);
Error corrupt(std::string_view path);
Error cannotOpen(std::string_view path);
Error outOfMemory();
Error interrupted();
Error engine(int code);
// A file of the older collation whose unique indexes the current one would
// break: `pairs` names each pair of keys now equal, one line each.
Error collationConflict(const std::vector<std::string>& pairs);
}  // namespace errors

}  // namespace jetdb
