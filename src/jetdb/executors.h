// What each kind of statement does to the file, and the checked row writes
// that every write goes through. Each is called inside its statement
// transaction (transaction.h) and leaves its error in the session.
#pragma once

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "ast.h"
#include "session.h"

namespace jetdb {

// Definitions (ddl.cpp).
// Names that may not be given to Jet objects: the driver's own and those
// SQLite reserves, and names Access itself refuses.
bool validObjectName(std::string_view name);
bool executeCreateTable(Session& s, const CreateTable& st);
bool executeDropTable(Session& s, const DropTable& st);
bool executeCreateIndex(Session& s, const CreateIndex& st);
bool executeDropIndex(Session& s, const DropIndex& st);
bool executeAlterTable(Session& s, const AlterTable& st);
// Saved queries (views.cpp).
bool executeCreateView(Session& s, const CreateView& st);
bool executeDropView(Session& s, const DropView& st);

// Writes (dml.cpp).
bool executeInsert(Session& s, const Insert& st);
bool executeUpdate(Session& s, const Update& st);
bool executeDelete(Session& s, const Delete& st);
bool executeSelectInto(Session& s, const Select& st);

// Row writes, checked for types, Null, uniqueness and relations (rows.cpp).
bool insertValues(Session& s, const TableMeta& table, const std::vector<std::optional<Value>>& values, RowId* rowId);
bool updateValues(Session& s, const TableMeta& table, RowId row,
                  const std::vector<std::pair<std::size_t, Value>>& values);
bool deleteRowChecked(Session& s, const TableMeta& table, RowId row);
// What the row writes of `table` need of its relations. For the catalog's
// own entry of the table the reference holds until the catalog changes; for
// any other, until the next such call.
Session::RowPlan& rowPlan(Session& s, const TableMeta& table);
// Whether a relation refers to `table`: deleting its rows must look for
// their children.
bool referredTo(Session& s, const TableMeta& table);

// The value of a column's DEFAULT, converted to its type (defaults.cpp).
bool columnDefault(Session& s, const TableMeta& table, std::size_t column, Value& out);

// Whether these columns can be written without the rest of their row: no
// relation joins them and no counter numbers them.
bool writesFreeColumns(Session& s, const TableMeta& table, const std::vector<std::size_t>& columns);
// Writes such columns of one row, checked for type and Null only: a
// statement that sets a price in every row need not read every column of
// every row, nor look at relations that the price takes no part in.
bool updateFreeValues(Session& s, const TableMeta& table, RowId row,
                      const std::vector<std::pair<std::size_t, Value>>& values);

}  // namespace jetdb
