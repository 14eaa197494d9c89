// Reading the "key=value;" pairs of an ODBC connect string.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The value of `key` (ASCII case ignored) in a connect string such as
// "ODBC;DSN=TQ2TMP;UID=admin;PWD=qlvm7;"; the leading "ODBC;" and pairs
// without '=' are passed over. A value may be braced: "DBQ={a;b}".
std::optional<std::string> ConnectStringValue(std::string_view connect, std::string_view key);
