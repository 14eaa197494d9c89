// What the tests of steps and of the program do to and read from a database: changes
// through the driver's shell, as a support person would make them, and
// single values read back through the driver.
#pragma once

#include <initializer_list>
#include <string>

// Runs one statement with the driver's shell; a refused one fails the test.
void Shell(const std::string& db, const std::string& statement);

// The first column of the first row of a query, as text; "no row" when the
// query returns none.
std::string Text(const std::string& db, const std::string& sql);

// The version text of the version row, in its French column.
std::string Version(const std::string& db);

bool HasColumn(const std::string& db, const std::string& table, const std::string& column);

// The version text a successful run reaches: that of the last step linked.
std::string ReachedVersion();

// "([column]=a OR [column]=b ...)": the driver's dialect has no IN list.
std::string AnyOf(const std::string& column, std::initializer_list<int> values);
