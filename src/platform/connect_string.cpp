#include "platform/connect_string.h"

#include "platform/text.h"

std::optional<std::string> ConnectStringValue(std::string_view connect, std::string_view key) {
  std::size_t pos = 0;
  while (pos < connect.size()) {
    std::size_t eq = connect.find('=', pos);
    std::size_t semi = connect.find(';', pos);
    if (eq == std::string_view::npos || (semi != std::string_view::npos && semi < eq)) {
      if (semi == std::string_view::npos) break;
      pos = semi + 1;  // "ODBC;" and other bare words
      continue;
    }
    std::string_view name = connect.substr(pos, eq - pos);
    std::size_t valueStart = eq + 1;
    std::size_t valueEnd;
    std::string value;
    if (valueStart < connect.size() && connect[valueStart] == '{') {
      std::size_t close = connect.find('}', valueStart);
      if (close == std::string_view::npos) close = connect.size();
      value = std::string(connect.substr(valueStart + 1, close - valueStart - 1));
      valueEnd = connect.find(';', close);
    } else {
      valueEnd = connect.find(';', valueStart);
      value = std::string(connect.substr(valueStart, valueEnd == std::string_view::npos ? std::string_view::npos
                                                                                        : valueEnd - valueStart));
    }
    if (EqualNoCase(name, key)) return value;
    if (valueEnd == std::string_view::npos) break;
    pos = valueEnd + 1;
  }
  return std::nullopt;
}
