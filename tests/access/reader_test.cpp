// Reading real Access files: what the samples hold beyond their values
// (indexes, relations, seeds, what cannot be carried), and the refusals of
// files that cannot or must not be read, each in seconds.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>

#include "access/access_file.h"
#include "test_support/temp_dir.h"

namespace {

using namespace mdbfile;

std::string sample(const std::string& name) { return std::string(ACCESS_SAMPLES) + "/" + name; }

#define NEED_SAMPLES()                                                   \
  if (!std::filesystem::is_directory(ACCESS_SAMPLES)) {                  \
    GTEST_SKIP() << "no Access samples at " << ACCESS_SAMPLES;           \
  }

const Table& tableOf(const Database& db, const std::string& name) {
  for (const auto& t : db.tables) {
    if (t.name == name) return t;
  }
  throw std::runtime_error("no table " + name);
}

const Index& indexOf(const Table& t, const std::string& name) {
  for (const auto& i : t.indexes) {
    if (i.name == name) return i;
  }
  throw std::runtime_error("no index " + name);
}

std::vector<IndexColumn> keys(std::initializer_list<std::pair<const char*, bool>> list) {
  std::vector<IndexColumn> out;
  for (const auto& [c, d] : list) out.push_back({c, d});
  return out;
}

Database readOrFail(const std::string& path, const ReadOptions& options = {}) {
  ReadResult r = readAccessFile(path, options);
  if (!r.database) throw std::runtime_error(path + ": " + r.error);
  return std::move(*r.database);
}

// libmdb 1.0 takes the physical index of a Jet 4 logical index from the
// wrong field; in these tables the two numbers differ, and libmdb gives
// DataIndex no columns (or the primary key's) and drops its flags.
TEST(AccessReader, Jet4IndexesWhoseLogicalAndPhysicalNumbersDiffer) {
  NEED_SAMPLES();
  const Database db = readOrFail(sample("jackcess__testIndexPropertiesV2000.mdb"));
  const Index& nulls2 = indexOf(tableOf(db, "TableIgnoreNulls2"), "DataIndex");
  EXPECT_EQ(nulls2.columns, keys({{"data1", false}, {"data2", false}}));
  EXPECT_TRUE(nulls2.ignoreNulls);
  EXPECT_FALSE(nulls2.unique);
  const Index& unique2 = indexOf(tableOf(db, "TableUnique2_temp"), "DataIndex");
  EXPECT_EQ(unique2.columns, keys({{"data1", false}, {"data2", false}}));
  EXPECT_TRUE(unique2.unique);
  const Index& pk = indexOf(tableOf(db, "TableUnique2_temp"), "PrimaryKey");
  EXPECT_EQ(pk.columns, keys({{"row", false}}));
  EXPECT_TRUE(pk.primary && pk.unique && pk.required);
  EXPECT_TRUE(indexOf(tableOf(db, "TableIgnoreNulls1"), "DataIndex").ignoreNulls);
  EXPECT_TRUE(indexOf(tableOf(db, "TableUnique1_temp"), "DataIndex").unique);
}

TEST(AccessReader, DescendingAndMultiColumnIndexesOfJet3) {
  NEED_SAMPLES();
  const Database db = readOrFail(sample("jackcess__testIndexCodesV1997.mdb"));
  EXPECT_EQ(indexOf(tableOf(db, "Table12_asc_desc"), "DataIndex").columns,
            keys({{"data1", false}, {"data2", true}}));
  EXPECT_EQ(indexOf(tableOf(db, "Table12_desc_asc"), "DataIndex").columns,
            keys({{"data1", true}, {"data2", false}}));
  EXPECT_EQ(indexOf(tableOf(db, "Table1_desc"), "PrimaryKey").columns, keys({{"name", true}}));
  EXPECT_EQ(tableOf(db, "Table11").nextAutoNumber, 53);  // 52 rows numbered 1 to 52
}

TEST(AccessReader, RelationsWithTheirCascadesAndNoIndexOfJetsOwn) {
  NEED_SAMPLES();
  for (const char* file : {"jackcess__indexTestV1997.mdb", "jackcess__indexTestV2000.mdb"}) {
    SCOPED_TRACE(file);
    const Database db = readOrFail(sample(file));
    ASSERT_EQ(db.relations.size(), 2u);
    for (const auto& r : db.relations) {
      EXPECT_EQ(r.table, "Table1");
      EXPECT_TRUE(r.enforced);
      ASSERT_EQ(r.columns.size(), 1u);
      if (r.referencedTable == "Table2") {
        EXPECT_EQ(r.columns[0].column, "otherfk1");
        EXPECT_TRUE(r.cascadeDeletes && !r.cascadeUpdates);
      } else {
        EXPECT_EQ(r.referencedTable, "Table3");
        EXPECT_EQ(r.columns[0].column, "otherfk2");
        EXPECT_TRUE(r.cascadeUpdates && !r.cascadeDeletes);
      }
    }
    // The foreign-key indexes Jet adds for the relations are the relations'.
    for (const auto& i : tableOf(db, "Table1").indexes) EXPECT_TRUE(i.name == "id" || i.name == "PrimaryKey");
    EXPECT_TRUE(db.notCarried.empty());
  }
}

TEST(AccessReader, WhatCannotBeCarriedOneFrenchLineEach) {
  NEED_SAMPLES();
  const Database queries = readOrFail(sample("jackcess__queryTestV2000.mdb"));
  EXPECT_EQ(queries.notCarried.size(), 9u);
  EXPECT_EQ(queries.notCarried.front(), "requête enregistrée « SelectQuery » non reprise");
  const Database linked = readOrFail(sample("ucanaccess__linked.mdb"));
  EXPECT_TRUE(linked.tables.empty());
  ASSERT_EQ(linked.notCarried.size(), 2u);
  EXPECT_EQ(linked.notCarried[1], "table liée « Table1 » non reprise (ses données sont dans une autre base)");
  EXPECT_TRUE(readOrFail(sample("pyodbc__empty.mdb")).notCarried.empty());
}

TEST(AccessReader, CodePageOverrideForAHeaderThatNamesTheWrongOne) {
  NEED_SAMPLES();
  const std::string file = sample("ucanaccess__charsetGBK.mdb");
  const Database asHeader = readOrFail(file);
  EXPECT_EQ(asHeader.codePage, 1252);
  ReadOptions gbk;
  gbk.codePage = 936;
  const Database db = readOrFail(file, gbk);
  EXPECT_EQ(db.codePage, 936);
  const Table& t = tableOf(db, "table1");
  ASSERT_EQ(t.rows.size(), 1u);
  EXPECT_EQ(std::get<std::string>(t.rows[0][1]), "GBK编码");
  gbk.codePage = 12345;
  EXPECT_EQ(readAccessFile(file, gbk).error, "page de code 12345 inconnue");
}

// Refused, with one line, well within a few seconds.
std::string refusal(const std::string& path, const ReadOptions& options = {}) {
  const auto started = std::chrono::steady_clock::now();
  const ReadResult r = readAccessFile(path, options);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5)) << path;
  EXPECT_FALSE(r.database) << path;
  EXPECT_EQ(r.error.find('\n'), std::string::npos);
  return r.error;
}

TEST(AccessReader, FilesThatAreNotSoundAccessFilesAreRefused) {
  TempDir dir;
  const std::string empty = dir.path() + "/empty.mdb";
  WriteFile(empty, "");
  EXPECT_EQ(refusal(empty), "le fichier est vide");
  std::mt19937 random(7);
  std::string noise(300000, '\0');
  for (auto& c : noise) c = static_cast<char>(random());
  WriteFile(dir.path() + "/noise.mdb", noise);
  EXPECT_EQ(refusal(dir.path() + "/noise.mdb"), "ce n'est pas une base Access (Jet 3 ou Jet 4)");
  EXPECT_EQ(refusal(dir.path() + "/missing.mdb"), "le fichier n'existe pas");
  EXPECT_EQ(refusal(dir.path()), "ce n'est pas un fichier ordinaire");
  ASSERT_EQ(::symlink(empty.c_str(), (dir.path() + "/link.mdb").c_str()), 0);
  EXPECT_EQ(refusal(dir.path() + "/link.mdb"), "le chemin est un lien symbolique, qui n'est pas suivi");

  if (!std::filesystem::is_directory(ACCESS_SAMPLES)) return;
  const std::string whole = ReadFile(sample("jackcess__test2V2003.mdb"));
  // A real header on random pages.
  WriteFile(dir.path() + "/pages.mdb", whole.substr(0, 4096) + noise.substr(0, 4096 * 60));
  EXPECT_NE(refusal(dir.path() + "/pages.mdb"), "");
  WriteFile(dir.path() + "/odd.mdb", whole.substr(0, whole.size() - 100));
  EXPECT_EQ(refusal(dir.path() + "/odd.mdb"), "le fichier est tronqué (sa taille n'est pas un nombre entier de pages)");
  // Cut at a page: libmdb loops writing warnings on some cuts, reads short
  // on others; every cut is refused, none read short.
  for (size_t pages = 1; pages * 4096 < whole.size(); pages += 3) {
    WriteFile(dir.path() + "/cut.mdb", whole.substr(0, pages * 4096));
    const ReadResult r = readAccessFile(dir.path() + "/cut.mdb");
    if (r.database) {
      // The pages cut off held nothing of the data.
      EXPECT_EQ(r.database, readAccessFile(sample("jackcess__test2V2003.mdb")).database) << pages;
    }
    EXPECT_LE(r.diagnostics.size(), 4096u);
  }
  WriteFile(dir.path() + "/cut.mdb", whole.substr(0, whole.size() / 2 / 4096 * 4096));
  EXPECT_EQ(refusal(dir.path() + "/cut.mdb"),
            "la bibliothèque de lecture signale des erreurs sans fin : fichier endommagé");
}

TEST(AccessReader, EncryptedAndPasswordFilesAreRefusedFromTheirHeader) {
  NEED_SAMPLES();
  EXPECT_EQ(refusal(sample("jackcessencrypt__db-enc.mdb")),
            "la base est chiffrée : ouvrez-la dans Access et retirez le chiffrement");
  EXPECT_EQ(refusal(sample("jackcessencrypt__db97-enc.mdb")),
            "la base est chiffrée : ouvrez-la dans Access et retirez le chiffrement");
  EXPECT_EQ(refusal(sample("mdbreader__password_V2003_with-password.mdb")),
            "la base est protégée par un mot de passe : ouvrez-la dans Access et retirez-le");
}

TEST(AccessReader, TheChildsLimitsStopIt) {
  NEED_SAMPLES();
  ReadOptions quick;
  quick.timeout = std::chrono::milliseconds(1);
  EXPECT_EQ(refusal(sample("jackcess__testV2000.mdb"), quick), "la lecture a dépassé le temps permis");
  ReadOptions small;
  small.memoryLimit = 1;
  EXPECT_EQ(refusal(sample("jackcess__testV2000.mdb"), small), "la lecture a dépassé la mémoire permise");
}

}  // namespace

namespace {

// A writer that writes as it reads sees the same parts, in order.
TEST(AccessReader, ASinkGetsThePartsAsTheyArrive) {
  NEED_SAMPLES();
  struct Counting : mdbfile::CollectSink {
    size_t rowsBeforeTables = 0;
    void row(mdbfile::Row row) override {
      if (database().tables.empty()) ++rowsBeforeTables;
      CollectSink::row(std::move(row));
    }
  } sink;
  const std::string file = sample("jackcess__testV2000.mdb");
  const mdbfile::ReadResult r = mdbfile::readAccessFile(file, {}, sink);
  EXPECT_EQ(r.error, "");
  EXPECT_FALSE(r.database);
  EXPECT_EQ(sink.rowsBeforeTables, 0u);
  EXPECT_EQ(sink.database(), readOrFail(file));
}

}  // namespace
