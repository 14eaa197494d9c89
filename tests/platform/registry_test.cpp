#include "platform/registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "child_process.h"
#include "platform/win_app.h"
#include "test_support/temp_dir.h"

namespace {

class RegistryTest : public ::testing::Test {
 protected:
  void WriteMachineHive(const std::string& text) { WriteFile(m_dir.path() + "/HKEY_LOCAL_MACHINE.reg", text); }
  void WriteUserHive(const std::string& text) { WriteFile(m_dir.path() + "/HKEY_CURRENT_USER.reg", text); }

  // What the start-up sequence does with a string value: open for reading,
  // query the size, then the value.
  LONG ReadString(const char* key, const char* name, DWORD& type, std::string& value) {
    HKEY h = nullptr;
    LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &h);
    if (rc != ERROR_SUCCESS) return rc;
    DWORD size = 0;
    rc = RegQueryValueExA(h, name, nullptr, &type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
      std::string buffer(size, '\0');
      rc = RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
      value = buffer;
    }
    RegCloseKey(h);
    return rc;
  }

  TempDir m_dir;
  ScopedEnv m_env{"UPDATER_REGISTRY", m_dir.path()};
};

const char kMachine[] =
    "REGEDIT4\r\n"
    "\r\n"
    "; written by the installer\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Toquelin\\tq2\\Path]\r\n"
    "\"ExePath\"=\"/opt/toquelin \\\"modèles\\\" \\\\ v2\"\r\n"
    "\"Empty\"=\"\"\r\n"
    "\"Count\"=dword:0000002a\r\n"
    "\"Blob\"=hex:01,02,\\\r\n"
    "  03\r\n";

}  // namespace

TEST_F(RegistryTest, ReadsStringsWithEscapesWhateverTheCase) {
  WriteMachineHive(kMachine);
  DWORD type = 0;
  std::string value;
  ASSERT_EQ(ReadString("software\\NORVANE\\toquelin\\TQ2\\path", "exepath", type, value), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(value, std::string("/opt/toquelin \"modèles\" \\ v2") + '\0');
  ASSERT_EQ(ReadString("SOFTWARE\\Norvane\\Toquelin\\tq2\\Path", "Blob", type, value), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(value, "\x01\x02\x03");
  // An empty string still counts its terminating NUL.
  ASSERT_EQ(ReadString("SOFTWARE\\Norvane\\Toquelin\\tq2\\Path", "Empty", type, value), ERROR_SUCCESS);
  EXPECT_EQ(value.size(), 1u);
}

TEST_F(RegistryTest, ParentKeysExistThroughTheirSubKeys) {
  WriteMachineHive(kMachine);
  HKEY h = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Norvane", 0, KEY_READ, &h), ERROR_SUCCESS);
  RegCloseKey(h);
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Norv", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, MissingFileKeyOrValueReadAsMissing) {
  DWORD type = 0;
  std::string value;
  EXPECT_EQ(ReadString("SOFTWARE\\Norvane\\Toquelin\\tq2\\Path", "ExePath", type, value), ERROR_FILE_NOT_FOUND);
  WriteMachineHive(kMachine);
  EXPECT_EQ(ReadString("SOFTWARE\\Norvane\\Toquelin\\tq2", "ExePath", type, value), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(ReadString("SOFTWARE\\Norvane\\Toquelin\\tq2\\Path", "Other", type, value), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, MalformedHivesReadAsEmptyAndAreNeverWritten) {
  const char* malformed[] = {
      "",                                                        // no header
      "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\A]\n",
      "REGEDIT4\n\"Orphan\"=\"value before any key\"\n",
      "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"Open=\"x\"\n",          // unterminated name
      "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"N\"=dword:12\n",        // short dword
      "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n",                         // another hive's key
      "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A\n",                         // unclosed section
      "\x01\x02\xFF binary garbage",
  };
  for (const char* text : malformed) {
    WriteMachineHive(text);
    HKEY h = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "A", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND) << text;
    EXPECT_NE(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "B", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
              ERROR_SUCCESS)
        << text;
    EXPECT_EQ(ReadFile(m_dir.path() + "/HKEY_LOCAL_MACHINE.reg"), text);
  }
}

TEST_F(RegistryTest, CreatingAKeyAppendsASectionThatReadsBack) {
  WriteMachineHive(kMachine);
  HKEY h = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                            &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, 1u);
  RegCloseKey(h);
  EXPECT_EQ(ReadFile(m_dir.path() + "/HKEY_LOCAL_MACHINE.reg").rfind(kMachine, 0), 0u);
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software\\new", 0, KEY_READ, &h), ERROR_SUCCESS);
  RegCloseKey(h);
  EXPECT_EQ(RegCloseKey(h), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, KeyNamesThatWouldAddLinesAreRefused) {
  WriteMachineHive(kMachine);
  for (const char* name : {"SOFTWARE\\New\n[HKEY_LOCAL_MACHINE\\Evil]", "SOFTWARE\\New\r", "SOFTWARE\\\x7FNew"}) {
    HKEY h = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
              ERROR_INVALID_PARAMETER)
        << name;
    EXPECT_EQ(ReadFile(m_dir.path() + "/HKEY_LOCAL_MACHINE.reg"), kMachine) << name;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Evil", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
  }
}

TEST_F(RegistryTest, AHiveThatIsNoRegularFileReadsAsMissingWithoutBlocking) {
  const std::string machine = m_dir.path() + "/HKEY_LOCAL_MACHINE.reg";
  const std::string user = m_dir.path() + "/HKEY_CURRENT_USER.reg";
  ASSERT_EQ(mkfifo(machine.c_str(), 0600), 0);
  ASSERT_EQ(mkfifo(user.c_str(), 0600), 0);
  const std::string problems = ProblemsInChild(
      [] {
        std::string report;
        HKEY h = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &h) != ERROR_FILE_NOT_FOUND) report += "opened; ";
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr) ==
            ERROR_SUCCESS) {
          report += "created; ";
        }
        class App : public CWinApp {
         public:
          App() : CWinApp("updater") {}
        } app;
        app.SetRegistryKey("Norvane\\Toquelin");
        if (app.GetProfileInt("Générale", "Debug", 7) != 7) report += "read a profile int; ";
        return report;
      },
      5);
  EXPECT_EQ(problems, "");
  struct stat st {};
  ASSERT_EQ(lstat(machine.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  // A loop of links reads the same way, and is not written either.
  ASSERT_EQ(unlink(machine.c_str()), 0);
  ASSERT_EQ(symlink("HKEY_LOCAL_MACHINE.reg", machine.c_str()), 0);
  HKEY h = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
  EXPECT_NE(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
            ERROR_SUCCESS);
}

TEST_F(RegistryTest, ProfileIntReadsOnlyDwordsUnderTheApplicationKey) {
  class App : public CWinApp {
   public:
    App() : CWinApp("updater") {}
  } app;
  app.SetRegistryKey("Norvane\\Toquelin");
  EXPECT_EQ(app.GetProfileInt("Générale", "Debug", 0), 0u);  // no hive at all
  WriteUserHive(
      "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Norvane\\Toquelin\\updater\\Générale]\n"
      "\"Debug\"=dword:00000003\n\"Text\"=\"1\"\n");
  EXPECT_EQ(app.GetProfileInt("GÉNÉRALE", "debug", 0), 3u);
  EXPECT_EQ(app.GetProfileInt("Générale", "Text", 7), 7u);  // wrong type
  EXPECT_EQ(app.GetProfileInt("Autre", "Debug", 5), 5u);
}
