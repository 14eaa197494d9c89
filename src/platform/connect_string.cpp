#include "platform/connect_string.h"

#include "platform/odbc_installer.h"
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
      // Inside braces "}}" stands for one '}', as in ODBC connect strings.
      std::size_t close = valueStart + 1;
      while (close < connect.size()) {
        if (connect[close] == '}') {
          if (close + 1 < connect.size() && connect[close + 1] == '}') {
            value += '}';
            close += 2;
            continue;
          }
          break;
        }
        value += connect[close++];
      }
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

std::string FileConnectString(std::string_view path) {
  std::string braced;
  for (char c : path) {
    braced += c;
    if (c == '}') braced += '}';
  }
  return std::string("ODBC;DRIVER={") + kAccessDriverName + "};DBQ={" + braced + "};";
}
