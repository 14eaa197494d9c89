// libFuzzer target: an input is the user data-source file. Whatever the
// user's file holds, adding and removing our data source leaves every other
// byte of it as it was, and the added source reads back while it is held.
// Build with -DUPDATER_FUZZ=ON and clang; run e.g.
//   build-fuzz/tests/platform/odbc_ini_fuzz -runs=100000 NEW_DIR tests/platform/fuzz/odbc_ini_corpus
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/odbc_ini.h"
#include "platform/odbc_installer.h"
#include "test_support/temp_dir.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = [] {
    const std::string file = "/dev/shm/odbc_ini_fuzz_" + std::to_string(::getpid()) + ".ini";
    setenv("ODBCINI", file.c_str(), 1);
    setenv("ODBCSYSINI", "/nonexistent", 1);
    return file;
  }();
  const std::string text(reinterpret_cast<const char*>(data), size);
  const odbcini::IniText ini(text);
  if (ini.Text() != text) __builtin_trap();
  const bool held = ini.Section("TQ2TMP").has_value() || ini.Section("ODBC Data Sources").has_value();

  WriteFile(path, text);
  static const char kAttributes[] = "DSN=TQ2TMP\0DBQ=/srv/base.mdb\0";
  if (SQLConfigDataSource(nullptr, ODBC_ADD_DSN, kAccessDriverName, kAttributes)) {
    const auto entry = LookUpDataSource("TQ2TMP");
    if (!entry || entry->databaseFile != "/srv/base.mdb") __builtin_trap();
    if (!SQLConfigDataSource(nullptr, ODBC_REMOVE_DSN, kAccessDriverName, kAttributes)) __builtin_trap();
    // A file that held neither our section nor the list is back byte for
    // byte, but for the line end that our section gave a last line without
    // one; one of blanks alone, which holds no data source, may go.
    const std::string after = ReadFile(path);
    const bool blank = text.find_first_not_of(" \t\r\n") == std::string::npos;
    if (!held && after != text && after != text + "\n" && after != text + "\r\n" && !(blank && after.empty()))
      __builtin_trap();
  } else if (ReadFile(path) != text) {
    __builtin_trap();
  }
  return 0;
}
