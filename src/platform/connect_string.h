// Reading the "key=value;" pairs of an ODBC connect string.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The value of `key` (ASCII case ignored) in a connect string such as
// "ODBC;DSN=TQ2TMP;UID=admin;PWD=qlvm7;"; the leading "ODBC;" and pairs
// without '=' are passed over. A value may be braced: "DBQ={a;b}", with
// "}}" for a '}' inside the braces.
std::optional<std::string> ConnectStringValue(std::string_view connect, std::string_view key);

// The connect string that opens the database file `path` through our
// driver without a data source ("ODBC;DRIVER={...};DBQ={path};"), whatever
// bytes the path holds.
std::string FileConnectString(std::string_view path);
