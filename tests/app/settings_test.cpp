// Settings as a Windows user pastes them, through the real program: every
// line it cannot read or does not use is named, on --info and once on a
// run, and the exports Windows writes are read in each of its encodings.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/text_file.h"
#include "sample_run.h"

namespace {

constexpr char kUserKey[] = "[HKEY_CURRENT_USER\\Software\\Norvane\\Toquelin\\updater\\Générale]";

// UTF-16LE with its mark, of a text whose letters are all below U+0800.
std::string Utf16Le(const std::string& utf8) {
  std::string out = "\xFF\xFE";
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    unsigned c = static_cast<unsigned char>(utf8[i]);
    if (c >= 0xC0) c = (c & 0x1F) << 6 | (static_cast<unsigned char>(utf8[++i]) & 0x3F);
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
  }
  return out;
}

class SettingsTest : public SampleRunTest {
 protected:
  void WriteUserHive(const std::string& bytes) { WriteFile(m_run.registryDir() + "/HKEY_CURRENT_USER.reg", bytes); }

  std::size_t Count(const std::string& text, const std::string& part) const {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
  }

  std::string m_userHive = m_run.registryDir() + "/HKEY_CURRENT_USER.reg";
};

}  // namespace

TEST_F(SettingsTest, AMistypedLineIsNamedOnInfoAndOnceOnARun) {
  WriteUserHive(std::string("REGEDIT4\n\n") + kUserKey + "\n\"Debug\"=dword:1\n");
  ASSERT_EQ(m_run.Run("--info --src Base.mdb"), 0);
  EXPECT_TRUE(Says("HKEY_CURRENT_USER    : " + m_userHive + " (présent, REGEDIT4 en UTF-8)\n")) << m_run.stdoutText();
  EXPECT_TRUE(
      Says("      ligne 4 refusée : « \"Debug\"=dword:1 » : une valeur dword s'écrit avec 8 chiffres "
           "hexadécimaux, ainsi dword:00000001\n"))
      << m_run.stdoutText();
  EXPECT_TRUE(Says("Debug                : 0 (absent du registre")) << m_run.stdoutText();

  std::filesystem::create_directories(m_run.work() + "/out");
  ASSERT_EQ(m_run.Run("--src Base.mdb --dest out/New.mdb"), 0) << m_run.stderrText();
  const std::string line = "updater : réglages, " + m_userHive + " : ligne 4 refusée : « \"Debug\"=dword:1 » : ";
  EXPECT_EQ(Count(m_run.stderrText(), line), 1u) << m_run.stderrText();
  // Debug was lost to the mistake: no journal, as the line warned.
  EXPECT_FALSE(FileExists(m_run.work() + "/out/Updater.log"));
}

// The key and value names the program reads, misspelt or misplaced, and a
// value of the wrong type: read, not used, and said with the right name.
TEST_F(SettingsTest, NamesCloseToTheOnesReadAreSaidWithTheRightOne) {
  WriteUserHive(
      "REGEDIT4\n\n"
      "[HKEY_CURRENT_USER\\Software\\Norvane\\Toquelin\\updater\\Generale]\n"  // 3
      "\"Debug\"=dword:00000001\n"                                             // 4
      "[HKEY_CURRENT_USER\\Software\\Norvane\\Toquelin\\updater]\n"            // 5
      "\"Debug\"=dword:00000001\n" +                                           // 6
      std::string(kUserKey) +                                                  // 7
      "\n\"Debugs\"=dword:00000001\n"                                          // 8
      "\"Debug\"=\"1\"\n"                                                      // 9
      "[HKEY_CURRENT_USER\\Software\\Autre]\n"                                 // 10
      "\"X\"=\"y\"\n"                                                          // 11
      "[HKEY_CURRENT_USER\\Software\\Vide]\n");                                // 12
  ASSERT_EQ(m_run.Run("--info --src Base.mdb"), 0);
  const std::string& out = m_run.stdoutText();
  EXPECT_TRUE(
      Says("ligne 3 ignorée : « [HKEY_CURRENT_USER\\Software\\Norvane\\Toquelin\\updater\\Generale] » : "
           "clé que le programme ne lit pas : voulez-vous dire " +
           std::string(kUserKey) + " ?\n"))
      << out;
  EXPECT_TRUE(Says("ligne 6 ignorée : « \"Debug\"=dword:00000001 » : le programme lit « Debug » dans la clé ")) << out;
  EXPECT_TRUE(
      Says("ligne 8 ignorée : « \"Debugs\"=dword:00000001 » : valeur que le programme ne lit pas : "
           "voulez-vous dire « Debug » ?\n"))
      << out;
  EXPECT_TRUE(Says("ligne 9 ignorée : « \"Debug\"=\"1\" » : « Debug » doit être un nombre dword")) << out;
  EXPECT_TRUE(Says("ligne 10 ignorée : « [HKEY_CURRENT_USER\\Software\\Autre] » : clé que le programme ne lit pas"))
      << out;
  EXPECT_FALSE(Says("ligne 12")) << "an empty key is an export's way to another: " << out;
  EXPECT_FALSE(Says("ligne 4 ")) << "the values of a misspelt key go with it: " << out;
  EXPECT_TRUE(Says("Debug                : 0 (absent du registre")) << out;
}

TEST_F(SettingsTest, ReadsTheExportFormatsOfWindows) {
  const std::string body = "\r\n" + std::string(kUserKey) + "\r\n\"Debug\"=dword:00000001\r\n";
  const std::pair<std::string, const char*> exports[] = {
      {Utf16Le("Windows Registry Editor Version 5.00\r\n" + body), "Windows Registry Editor Version 5.00 en UTF-16LE"},
      {"\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n" + body,
       "Windows Registry Editor Version 5.00 en UTF-8 avec BOM"},
      {ToJournalBytes("REGEDIT4\n" + std::string("\n") + kUserKey + "\n\"Debug\"=dword:00000001\n"),
       "REGEDIT4 en Windows-1252"},
  };
  for (const auto& [bytes, format] : exports) {
    WriteUserHive(bytes);
    ASSERT_EQ(m_run.Run("--info --src Base.mdb"), 0) << format;
    EXPECT_TRUE(Says("HKEY_CURRENT_USER    : " + m_userHive + " (présent, " + format + ")\n")) << m_run.stdoutText();
    EXPECT_TRUE(Says("Debug                : 1 (valeur \"Debug\"")) << m_run.stdoutText();
    EXPECT_FALSE(Says("ligne ")) << m_run.stdoutText();
  }
  // A run says nothing about settings it reads whole.
  std::filesystem::create_directories(m_run.work() + "/out");
  ASSERT_EQ(m_run.Run("--src Base.mdb --dest out/New.mdb"), 0) << m_run.stderrText();
  EXPECT_EQ(m_run.stderrText().find("réglages"), std::string::npos) << m_run.stderrText();
  EXPECT_TRUE(FileExists(m_run.work() + "/out/Updater.log"));
}

// A file that is no export at all (here a header lost in a copy) is set
// aside whole, and --info says so where the setting's default is given.
TEST_F(SettingsTest, AFileWithoutItsHeaderIsSaidToBeIgnoredWhole) {
  const std::string machineHive = m_run.registryDir() + "/HKEY_LOCAL_MACHINE.reg";
  const std::string text = ReadFile(machineHive);
  WriteFile(machineHive, text.substr(text.find('\n') + 1));
  ASSERT_EQ(m_run.Run("--info --src Base.mdb"), 3) << "no template folder: every step would fail";
  EXPECT_TRUE(Says("HKEY_LOCAL_MACHINE   : " + machineHive +
                   " (présent, ignoré (UTF-8))\n      ligne 2 refusée : "
                   "« [HKEY_LOCAL_MACHINE\\SOFTWARE\\Norvane\\Toquelin\\tq2\\Path] » : la première ligne doit être "
                   "« REGEDIT4 »"))
      << m_run.stdoutText();
  EXPECT_TRUE(Says("Dossier des modèles  : " + m_run.work() + " (\"ExePath\" absent du registre"))
      << m_run.stdoutText();
}
