// libFuzzer target: an input is the user hive file. Reading it never
// crashes, whatever it holds; a key created in a well-formed hive reads back
// beside the values that were there, and a malformed hive is never written.
// Build with -DUPDATER_FUZZ=ON and clang; run e.g.
//   build-fuzz/tests/platform/registry_fuzz -runs=100000 NEW_DIR tests/platform/fuzz/registry_corpus
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/registry.h"
#include "test_support/temp_dir.h"

namespace {

constexpr char kKey[] = "Software\\Norvane\\Toquelin\\updater\\Générale";

// The Debug value as the program reads it: its type and bytes, or -1.
long ReadDebug() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
  DWORD type = 0, value = 0, size = sizeof value;
  BYTE small[2];
  DWORD smallSize = sizeof small;
  // A buffer too small must say so, not overrun.
  RegQueryValueExA(key, "Debug", nullptr, &type, small, &smallSize);
  const LONG result = RegQueryValueExA(key, "Debug", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? static_cast<long>(type) << 32 | value : -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string folder = [] {
    const std::string dir = "/dev/shm/registry_fuzz_" + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    setenv("UPDATER_REGISTRY", dir.c_str(), 1);
    return dir;
  }();
  const std::string hive = folder + "/HKEY_CURRENT_USER.reg";
  const std::string text(reinterpret_cast<const char*>(data), size);
  WriteFile(hive, text);
  const long before = ReadDebug();

  HKEY created = nullptr;
  const LONG made = RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Fuzz\\Nouvelle", 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    KEY_ALL_ACCESS, nullptr, &created, nullptr);
  if (made == ERROR_SUCCESS) {
    RegCloseKey(created);
    HKEY again = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Fuzz\\Nouvelle", 0, KEY_READ, &again) != ERROR_SUCCESS)
      __builtin_trap();
    RegCloseKey(again);
    if (ReadDebug() != before) __builtin_trap();
  } else if (ReadFile(hive) != text) {
    __builtin_trap();
  }
  return 0;
}
