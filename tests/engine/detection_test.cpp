// Version detection and preparation, in the process, on small databases.
#include "engine/detection.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>

#include "platform/odbc_installer.h"
#include "shell/failure.h"
#include "test_support/db_files.h"
#include "test_support/journal_capture.h"

namespace {

class DetectionTest : public ::testing::Test {
 protected:
  // A database whose version row holds `version`; with `typeDb`, a
  // [Variables] table that holds it as "TYPE_DB" (empty text: the table
  // without that row).
  std::string Database(const std::string& version, const char* typeDb) {
    std::vector<std::string> sql{
        "CREATE TABLE [Langue_System] ([Item_Id] SHORT, [Libelle] TEXT(50), [Langue_1] TEXT(255), "
        "[Langue_2] TEXT(255), [Langue_3] TEXT(255), [Langue_4] TEXT(255), [Langue_5] TEXT(255), "
        "[Classement] TEXT(50), [Owner] INTEGER)",
        "INSERT INTO [Langue_System] ([Item_Id], [Libelle], [Langue_1]) VALUES (1, 'IDS_VERSION_DB', '" + version +
            "')"};
    if (typeDb != nullptr) {
      sql.push_back("CREATE TABLE [Variables] ([NAME] TEXT(32), [VALSTR] TEXT(50), [VALNUM] FLOAT)");
      if (*typeDb != '\0')
        sql.push_back(std::string("INSERT INTO [Variables] ([NAME], [VALSTR]) VALUES ('TYPE_DB', '") + typeDb + "')");
    }
    return m_files.Create("base" + std::to_string(++m_count) + ".mdb", sql);
  }

  DbFiles m_files;
  JournalCapture m_journal;
  int m_count = 0;
};

}  // namespace

TEST_F(DetectionTest, EachStoredVersionTextGivesItsCode) {
  const std::pair<const char*, DbVersion> versions[] = {
      {"2.1.1.91", 2001},        {"2.2.1.197", 2002},    {"2.3.1.217", 2003},    {"2.4.1.263", 2004},
      {"2.4.2.303", 2004001},    {"2.4.2.305", 2004002}, {"2.4.3.307", 2004003}, {"2.5.1.341", 2005001},
      {"2.5.1.343", 2005001004}, {"2.5.2.399", 2005002}, {"2.5.3.459", 2005003},
  };
  std::string expected;
  for (const auto& [text, code] : versions) {
    EXPECT_EQ(DetectDbVersion(Database(text, "Toquelin").c_str()), code) << text;
    expected += "Toquelin database version : " + std::to_string(code) + "\n";
  }
  EXPECT_EQ(m_journal.Text(), expected);
  // Detection leaves no data source behind.
  EXPECT_FALSE(LookUpDataSource("TQ2TMP").has_value());
}

TEST_F(DetectionTest, V20IsTheOnlyVersionWithoutTheTypeCheck) {
  EXPECT_EQ(DetectDbVersion(Database("2.0.1.49", nullptr).c_str()), 2000);
  EXPECT_EQ(DetectDbVersion(Database("2.1.1.91", nullptr).c_str()), 0);  // no [Variables] at all
  EXPECT_EQ(DetectDbVersion(Database("2.1.1.91", "").c_str()), 0);       // no "TYPE_DB" row
  EXPECT_EQ(DetectDbVersion(Database("2.1.1.91", "toquelin").c_str()), 0);
  EXPECT_EQ(DetectDbVersion(Database("2.1.1.91", "Toquelin ").c_str()), 0);
  EXPECT_EQ(m_journal.Text(),
            "Toquelin database version : 2000\n"
            "ERREUR : Version de la database source non valide.\n"
            "ERREUR : Version de la database source non valide.\n"
            "ERREUR : Version de la database source non valide.\n"
            "ERREUR : Version de la database source non valide.\n");
}

TEST_F(DetectionTest, TextsThatDifferInCaseOrBlanksAreNotRecognised) {
  for (const char* text : {"2.0.1.49 ", " 2.0.1.49", "2.1.1.91\t", "V2.0", "", "2.0.1.4"}) {
    EXPECT_EQ(DetectDbVersion(Database(text, "Toquelin").c_str()), 0) << "'" << text << "'";
  }
}

TEST_F(DetectionTest, AFileThatIsNotADatabaseIsNotRecognised) {
  const std::string bytes = m_files.dir() + "/random.mdb";
  WriteFile(bytes, "Standard Jet DB\x01\x02\x03 not ours");
  EXPECT_EQ(DetectDbVersion(bytes.c_str()), 0);
  EXPECT_EQ(ReadFile(bytes), "Standard Jet DB\x01\x02\x03 not ours");
  EXPECT_EQ(DetectDbVersion((m_files.dir() + "/missing.mdb").c_str()), 0);
  EXPECT_FALSE(FileExists(m_files.dir() + "/missing.mdb"));
  // A database without the version row.
  EXPECT_EQ(DetectDbVersion(m_files.Create("empty.mdb", {}).c_str()), 0);
  EXPECT_EQ(m_journal.Text(),
            "ERREUR : Version de la database source non valide.\n"
            "ERREUR : Version de la database source non valide.\n"
            "ERREUR : Version de la database source non valide.\n");
}

TEST_F(DetectionTest, ADamagedPageIsFoundBeforeAnythingIsConverted) {
  std::vector<std::string> sql{"CREATE TABLE [T] ([N] INTEGER, [S] TEXT(255))"};
  for (int n = 0; n < 200; ++n)
    sql.push_back("INSERT INTO [T] VALUES (" + std::to_string(n) + ", '" +
                  std::string(200, static_cast<char>('a' + n % 26)) + "')");
  const std::string path = m_files.Create("base.mdb", sql);
  EXPECT_TRUE(FindDamage(path.c_str()).IsEmpty());
  // A page in the middle of the table's rows overwritten, the header left.
  std::string bytes = ReadFile(path);
  ASSERT_GT(bytes.size(), 8u * 4096);
  for (std::size_t i = 5 * 4096; i < 6 * 4096; ++i) bytes[i] = static_cast<char>(i * 131 % 251);
  WriteFile(path, bytes);
  ClearFailure();
  const CString problem = FindDamage(path.c_str());
  ASSERT_FALSE(problem.IsEmpty());
  ReportDamage(path.c_str(), problem);
  // One line, of the damaged file alone: the check itself writes none.
  const std::string journal = m_journal.Text();
  EXPECT_EQ(journal.rfind("ERREUR : La base " + path + " est endommagée : ", 0), 0u) << journal;
  EXPECT_EQ(std::count(journal.begin(), journal.end(), '\n'), 1) << journal;
  EXPECT_NE(std::string(FailureReason().GetString()).find("rien n'a été converti"), std::string::npos);
  EXPECT_TRUE(ReadFile(path) == bytes) << "the check wrote to the file";
}

class PreparationTest : public ::testing::Test {
 protected:
  TempDir m_dir;
  JournalCapture m_journal;
  std::string m_source = m_dir.path() + "/BASE.MDB";
  void SetUp() override { WriteFile(m_source, "V2.3 data"); }
};

TEST_F(PreparationTest, BackupsTakeTheFirstFreeName) {
  EXPECT_EQ(FreeBackupPath(m_source.c_str(), 2003), (m_source + ".V2.3").c_str());
  WriteFile(m_source + ".V2.3", "pristine");
  WriteFile(m_source + ".V2.3.1", "second");
  EXPECT_EQ(FreeBackupPath(m_source.c_str(), 2003), (m_source + ".V2.3.2").c_str());
  EXPECT_EQ(FreeBackupPath(m_source.c_str(), 2004001), (m_source + ".VERR").c_str());

  CString dest;
  ASSERT_TRUE(PrepareDestinationFile(2003, m_source.c_str(), dest, FreeBackupPath(m_source.c_str(), 2003)));
  EXPECT_EQ(dest, m_source.c_str());
  EXPECT_EQ(ReadFile(m_source + ".V2.3"), "pristine");
  EXPECT_EQ(ReadFile(m_source + ".V2.3.2"), "V2.3 data");
  EXPECT_EQ(m_journal.Text(),
            "Fichier de sauvegarde : " + m_source + ".V2.3.2\nFichier à mettre à jour : " + m_source + "\n");
}

TEST_F(PreparationTest, ADifferentDestinationIsOverwrittenByACopy) {
  const std::string out = m_dir.path() + "/NEW.MDB";
  WriteFile(out, "an older file");
  CString dest(out.c_str());
  ASSERT_TRUE(PrepareDestinationFile(2003, m_source.c_str(), dest, ""));
  EXPECT_EQ(ReadFile(out), "V2.3 data");
  EXPECT_FALSE(FileExists(m_source + ".V2.3"));
  EXPECT_EQ(m_journal.Text(), "Fichier à mettre à jour : " + out + "\n");
}

TEST_F(PreparationTest, ARefusedCopyNamesThePathItWasToWrite) {
  std::filesystem::create_directory(m_source + ".V2.3");  // the backup's name is a folder
  std::filesystem::create_directory(m_dir.path() + "/NEW.MDB");
  CString dest((m_dir.path() + "/NEW.MDB").c_str());
  EXPECT_FALSE(PrepareDestinationFile(2003, m_source.c_str(), dest, ""));
  CString none;
  // The backup name is taken by the folder, so the next free one is tried.
  ASSERT_TRUE(PrepareDestinationFile(2003, m_source.c_str(), none, FreeBackupPath(m_source.c_str(), 2003)));
  EXPECT_EQ(m_journal.Text(), "ATTENTION : impossible de creer le fichier de destination : " + m_dir.path() +
                                  "/NEW.MDB\nFichier de sauvegarde : " + m_source +
                                  ".V2.3.1\nFichier à mettre à jour : " + m_source + "\n");
}

TEST_F(PreparationTest, AFailedCopySaysWhyInFrench) {
  // The errors a copy meets each get their own French words, never the C
  // locale's English; an unexpected one still names its number.
  std::set<std::string> texts;
  for (const int error :
       {ENOSPC, EDQUOT, EACCES, EPERM,  EROFS,  ENOENT, ENOTDIR, EISDIR,  ELOOP,  ENAMETOOLONG, EIO,
        EEXIST, EXDEV,  EFBIG,  EMFILE, ENFILE, ENOMEM, EBUSY,   ETXTBSY, EINVAL, EOPNOTSUPP,   ENXIO}) {
    const std::string text = CopyErrorText(error).GetString();
    EXPECT_EQ(text.find(std::strerror(error)), std::string::npos) << text;
    EXPECT_TRUE(texts.insert(text).second) << "two errors read the same: " << text;
  }
  EXPECT_NE(std::string(CopyErrorText(EHWPOISON).GetString()).find(std::to_string(EHWPOISON)), std::string::npos);
  // The reason of a real refused copy carries them.
  ClearFailure();
  CString dest((m_dir.path() + "/absent/NEW.MDB").c_str());
  EXPECT_FALSE(PrepareDestinationFile(2003, m_source.c_str(), dest, ""));
  EXPECT_EQ(std::string(FailureReason().GetString()), "impossible d'écrire le fichier de destination " + m_dir.path() +
                                                          "/absent/NEW.MDB : " + CopyErrorText(ENOENT).GetString());
}
