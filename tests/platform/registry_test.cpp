#include "platform/registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <iterator>

#include "child_process.h"
#include "platform/text_file.h"
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

TEST_F(RegistryTest, AFileWithoutAHeaderReadsAsEmptyIsNeverWrittenAndSaysWhy) {
  const std::pair<std::string, const char*> refused[] = {
      {"", "le fichier est vide"},
      {"\n; only a comment\n", "le fichier est vide"},
      {"REGEDIT5\n[HKEY_LOCAL_MACHINE\\A]\n", "la première ligne doit être « REGEDIT4 »"},
      {"\x01\x02\xFF binary garbage", "la première ligne doit être"},
      // UTF-16 without its mark.
      {std::string("R\0E\0G\0E\0D\0I\0T\0"
                   "4\0\n\0",
                   18),
       "octets nuls"},
  };
  for (const auto& [text, reason] : refused) {
    WriteMachineHive(text);
    HKEY h = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "A", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND) << text;
    EXPECT_NE(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "B", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
              ERROR_SUCCESS)
        << text;
    EXPECT_EQ(ReadFile(m_dir.path() + "/HKEY_LOCAL_MACHINE.reg"), text);
    const RegistryHiveReport report = InspectRegistryHive(HKEY_LOCAL_MACHINE);
    ASSERT_EQ(report.text.problems.size(), 1u) << text;
    EXPECT_NE(report.text.problems[0].reason.find(reason), std::string::npos) << report.text.problems[0].reason;
    EXPECT_TRUE(report.text.keys.empty());
  }
}

// Each line that cannot be read is named with its number and why; the
// lines around it are read, and such a hive is never written.
TEST_F(RegistryTest, ARefusedLineIsNamedAndTheOthersAreRead) {
  const std::string text =
      "REGEDIT4\r\n"                            // 1
      "\r\n"                                    // 2
      "[HKEY_LOCAL_MACHINE\\A]\r\n"             // 3
      "\"Short\"=dword:1\r\n"                   // 4
      "\"Kept\"=\"yes\"\r\n"                    // 5
      "\"Open=\"x\"\r\n"                        // 6
      "\"Tail\"=\"a\" b\r\n"                    // 7
      "\"Odd\"=hex:1,02\r\n"                    // 8
      "\"Kind\"=qword:1\r\n"                    // 9
      "Debug=1\r\n"                             // 10
      "[HKEY_CURRENT_USER\\B]\r\n"              // 11
      "\"Hidden\"=\"under a refused key\"\r\n"  // 12
      "[HKEY_LOCAL_MACHINE\\C\r\n"              // 13
      "[HKEY_LOCAL_MACHINE\\D]\r\n"             // 14
      "\"Gone\"=-\r\n"                          // 15
      "\"Blob\"=hex:01,\\\r\n"                  // 16
      "  0g\r\n";                               // 17
  WriteMachineHive(text);
  DWORD type = 0;
  std::string value;
  ASSERT_EQ(ReadString("A", "Kept", type, value), ERROR_SUCCESS);
  EXPECT_EQ(value, std::string("yes") + '\0');
  EXPECT_EQ(ReadString("A", "Short", type, value), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(ReadString("D", "Gone", type, value), ERROR_FILE_NOT_FOUND);
  const std::pair<int, const char*> expected[] = {
      {4, "8 chiffres hexadécimaux, ainsi dword:00000001"},
      {6, "il manque « = »"},
      {7, "texte après la fin de la chaîne"},
      {8, "octet hexadécimal « 1 »"},
      {9, "valeur d'un type inconnu"},
      {10, "ni une clé"},
      {11, "clé hors de HKEY_LOCAL_MACHINE"},
      {13, "pas fermée par « ] »"},
      {16, "octet hexadécimal « 0g »"},
  };
  const RegistryHiveReport report = InspectRegistryHive(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(report.text.encoding, "UTF-8");
  ASSERT_EQ(report.text.problems.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(report.text.problems[i].line, expected[i].first) << report.text.problems[i].text;
    EXPECT_NE(report.text.problems[i].reason.find(expected[i].second), std::string::npos)
        << report.text.problems[i].reason;
  }
  EXPECT_EQ(report.text.problems[0].text, "\"Short\"=dword:1");
  HKEY h = nullptr;
  EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "E", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(ReadFile(m_dir.path() + "/HKEY_LOCAL_MACHINE.reg"), text);
}

// What a Windows user pastes: either header, UTF-8 with or without its
// mark, UTF-16 with its mark, or the ANSI code page. Only plain UTF-8 is
// ever appended to.
TEST_F(RegistryTest, ReadsTheExportsOfWindowsInEveryEncodingItWrites) {
  const std::string body =
      "\n[HKEY_CURRENT_USER\\Software\\Norvane\\Toquelin\\updater\\Générale]\n\"Debug\"=dword:00000002\n"
      "\"Dossier\"=\"C:\\\\Données\"\n";
  const auto utf16 = [](const std::string& utf8, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (std::size_t i = 0; i < utf8.size(); ++i) {
      unsigned c = static_cast<unsigned char>(utf8[i]);
      if (c >= 0xC0) c = ((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F);
      out += bigEndian ? std::string{static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)}
                       : std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    }
    return out;
  };
  const std::string v5 = "Windows Registry Editor Version 5.00\r\n" + body;
  const struct {
    std::string bytes;
    const char* encoding;
    bool appendable;
  } cases[] = {
      {"REGEDIT4\n" + body, "UTF-8", true},
      {"\xEF\xBB\xBF" + v5, "UTF-8 avec BOM", true},
      {utf16(v5, false), "UTF-16LE", false},
      {utf16(v5, true), "UTF-16BE", false},
      {ToJournalBytes("REGEDIT4\n" + body), "Windows-1252", false},
  };
  class App : public CWinApp {
   public:
    App() : CWinApp("updater") {}
  } app;
  app.SetRegistryKey("Norvane\\Toquelin");
  for (const auto& c : cases) {
    WriteUserHive(c.bytes);
    EXPECT_EQ(app.GetProfileInt("Générale", "Debug", 0), 2u) << c.encoding;
    const RegistryHiveReport report = InspectRegistryHive(HKEY_CURRENT_USER);
    EXPECT_EQ(report.text.encoding, c.encoding);
    EXPECT_TRUE(report.text.problems.empty()) << c.encoding << ": " << report.text.problems[0].reason;
    ASSERT_EQ(report.text.keys.size(), 1u) << c.encoding;
    const HiveKey& key = report.text.keys.begin()->second;
    EXPECT_EQ(key.path, "HKEY_CURRENT_USER\\Software\\Norvane\\Toquelin\\updater\\Générale");
    EXPECT_EQ(key.values.at("DOSSIER").data, "C:\\Données") << c.encoding;
    HKEY h = nullptr;
    const LONG made =
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Neuve", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
    EXPECT_EQ(made == ERROR_SUCCESS, c.appendable) << c.encoding;
    if (made == ERROR_SUCCESS) RegCloseKey(h);
    if (!c.appendable) {
      EXPECT_EQ(ReadFile(m_dir.path() + "/HKEY_CURRENT_USER.reg"), c.bytes);
    }
  }
}

TEST_F(RegistryTest, CreatingAKeyAppendsASectionThatReadsBack) {
  WriteMachineHive(kMachine);
  HKEY h = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(
      RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, &disposition),
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
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &h) != ERROR_FILE_NOT_FOUND)
          report += "opened; ";
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
