#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "recordsets/categories_set.h"
#include "recordsets/fmt_etiquette_set.h"
#include "recordsets/ing_categ_set.h"
#include "recordsets/langue_printer_set.h"
#include "recordsets/libelles_pre_emballe_set.h"
#include "recordsets/nutri_libelles_set.h"
#include "recordsets/progression_set.h"
#include "recordsets/sys_language_set.h"
#include "recordsets/unites_set.h"
#include "recordsets/variables_set.h"
#include "test_support/db_files.h"

namespace {

using Columns = std::vector<std::pair<std::string, std::string>>;  // name, Access type

struct Shape {
  const char* name;
  std::function<std::unique_ptr<CRecordset>(CDatabase*, DbVersion)> make;
  std::string table;
  Columns columns;  // in the order the set binds them

  // Names the parameter in test listings by its class.
  friend void PrintTo(const Shape& shape, std::ostream* os) { *os << shape.name; }
};

template <typename Set>
std::function<std::unique_ptr<CRecordset>(CDatabase*, DbVersion)> Maker() {
  return [](CDatabase* db, DbVersion v) { return std::make_unique<Set>(db, v); };
}

Columns Languages(const std::string& prefix, const char* type = "TEXT(50)") {
  Columns c;
  for (int i = 1; i <= 5; ++i) c.emplace_back(prefix + std::to_string(i), type);
  return c;
}

Columns Join(std::initializer_list<Columns> parts) {
  Columns all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const std::vector<Shape>& Shapes() {
  static const std::vector<Shape> shapes = {
      {"Categories", Maker<CCategoriesSet>(), "Categories",
       Join({{{"CLASS_ID", "INTEGER"}, {"TYPE", "BYTE"}, {"MASQUE", "INTEGER"}, {"PERE_ID", "INTEGER"}},
             Languages("NAME_"),
             {{"OWNER", "INTEGER"}, {"DATE_MAJ", "DATETIME"}, {"ASCHILD", "BIT"}, {"EXPORTABLE", "BIT"}}})},
      {"FmtEtiquette", Maker<CFmtEtiquetteSet>(), "FmtEtiquette",
       {{"ID", "INTEGER"}, {"REF", "TEXT(50)"}, {"MRGHAUT", "INTEGER"}, {"MRGCOTE", "INTEGER"},
        {"HAUTEUR", "INTEGER"}, {"LARGEUR", "INTEGER"}, {"PASVERT", "INTEGER"}, {"PASHORIZ", "INTEGER"},
        {"NBRVERT", "INTEGER"}, {"NBRHORIZ", "INTEGER"}}},
      {"CategIngre", Maker<CIngCategSet>(), "CategIngre",
       {{"INGR_ID", "INTEGER"}, {"CLASS_ID", "INTEGER"}, {"CLASSPARENT", "INTEGER"}, {"MASQUE", "INTEGER"}}},
      {"LanguePrinter", Maker<CLanguePrinterSet>(), "Langue_Printer",
       Join({{{"Item_Id", "INTEGER"}, {"Libelle", "TEXT(50)"}, {"Classement", "TEXT(50)"}},
             Languages("Langue_", "TEXT(255)"),
             {{"Owner", "INTEGER"}}})},
      {"LibellesPreEmballe", Maker<CLibellesPreEmballeSet>(), "LibellesPreEmballe",
       Join({{{"ID", "INTEGER"}}, Languages("NAME_"), {{"TYPE", "BYTE"}, {"OWNER", "INTEGER"}}})},
      {"NutriLibelles", Maker<CNutriLibellesSet>(), "NutriLibelles",
       Join({{{"ID", "INTEGER"}},
             Languages("LIBELLE_"),
             {{"LIB_CIQUAL", "TEXT(50)"}, {"UNITE", "TEXT(10)"}, {"TYPEMSK", "INTEGER"}, {"NBDIGIT", "SHORT"},
              {"NUMORDRE", "SHORT"}, {"ARJ", "DOUBLE"}, {"BKCOL", "INTEGER"}, {"OWNER", "INTEGER"},
              {"DATE_MAJ", "DATETIME"}}})},
      {"Progression", Maker<CProgressionSet>(), "Progression",
       Join({{{"IDPROGRESSION", "INTEGER"}}, Languages("PROGRESSION_"), {{"OWNER", "INTEGER"}}})},
      {"SysLanguage", Maker<CSysLanguageSet>(), "Langue_System",
       Join({{{"Item_Id", "INTEGER"}, {"Libelle", "TEXT(50)"}},
             Languages("Langue_", "TEXT(255)"),
             {{"Classement", "TEXT(50)"}, {"Owner", "INTEGER"}}})},
      {"Unites", Maker<CUnitesSet>(), "Unites",
       Join({{{"UNITDEF_ID", "INTEGER"}, {"IMPERIAL", "BIT"}, {"CFACT", "DOUBLE"}, {"TYPE", "BYTE"},
              {"OWNER", "INTEGER"}, {"NBDIGIT", "SHORT"}},
             Languages("NAME_"), Languages("SYMBOL_", "TEXT(10)"),
             {{"DATE_MAJ", "DATETIME"}}})},
      {"Variables", Maker<CVariablesSet>(), "Variables",
       {{"NAME", "TEXT(32)"}, {"VALSTR", "TEXT(255)"}, {"VALNUM", "DOUBLE"}}},
  };
  return shapes;
}

std::string CreateTable(const std::string& table, const Columns& columns) {
  std::string sql = "CREATE TABLE [" + table + "] (";
  for (std::size_t i = 0; i < columns.size(); ++i)
    sql += (i ? ", [" : "[") + columns[i].first + "] " + columns[i].second;
  return sql + ")";
}

// A row whose every column holds a value of its type.
std::string InsertRow(const std::string& table, const Columns& columns) {
  std::string names, values;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const std::string& type = columns[i].second;
    names += (i ? ", [" : "[") + columns[i].first + "]";
    values += i ? ", " : "";
    if (type.starts_with("TEXT")) values += "'t" + std::to_string(i) + "'";
    else if (type == "DATETIME") values += "#2024-05-17 08:15:00#";
    else if (type == "BIT") values += "True";
    else values += std::to_string(i + 1);
  }
  return "INSERT INTO [" + table + "] (" + names + ") VALUES (" + values + ")";
}

std::string ExpectedSelect(const Shape& shape, std::size_t count) {
  std::string sql = "SELECT ";
  for (std::size_t i = 0; i < count; ++i) sql += (i ? ",[" : "[") + shape.columns[i].first + "]";
  return sql + " FROM [" + shape.table + "]";
}

class RecordSetShapeTest : public ::testing::TestWithParam<Shape> {
 protected:
  DbFiles m_files;
};

TEST_P(RecordSetShapeTest, OpensOnATableOfItsShapeInBindingOrder) {
  const Shape& shape = GetParam();
  m_files.Register("TQ2TMP", m_files.Create("base.mdb", {CreateTable(shape.table, shape.columns),
                                                          InsertRow(shape.table, shape.columns)}));
  auto set = shape.make(nullptr, kDbVersion253);
  ASSERT_EQ(set->m_nFields, shape.columns.size());
  ASSERT_NO_THROW(set->Open());
  EXPECT_EQ(set->GetSQL(), ExpectedSelect(shape, shape.columns.size()).c_str());
  EXPECT_FALSE(set->IsEOF());  // every value of the row fitted its member

  // Written back unchanged, a row is not written at all.
  set->Edit();
  EXPECT_FALSE(set->Update());
}

TEST_P(RecordSetShapeTest, FailsOnATableThatLacksABoundColumn) {
  const Shape& shape = GetParam();
  for (std::size_t missing : {std::size_t{0}, shape.columns.size() - 1}) {
    Columns fewer = shape.columns;
    fewer.erase(fewer.begin() + static_cast<std::ptrdiff_t>(missing));
    std::string file = "base" + std::to_string(missing) + ".mdb";
    m_files.Register("TQ2TMP", m_files.Create(file, {CreateTable(shape.table, fewer)}));
    auto set = shape.make(nullptr, kDbVersion253);
    EXPECT_THROW(set->Open(), CDBException) << shape.columns[missing].first;
    EXPECT_FALSE(set->IsOpen());
  }
}

INSTANTIATE_TEST_SUITE_P(AllTables, RecordSetShapeTest, ::testing::ValuesIn(Shapes()),
                         [](const auto& info) { return std::string(info.param.name); });

const Shape& NutriShape() { return Shapes()[5]; }

TEST(NutriLibellesSetTest, BindsTheV253ColumnsOnlyForV253) {
  DbFiles files;
  Columns v252(NutriShape().columns.begin(), NutriShape().columns.end() - 2);
  std::string path = files.Create("v252.mdb", {CreateTable("NutriLibelles", v252), InsertRow("NutriLibelles", v252)});
  files.Register("TQ2TMPSRC", path);
  files.Register("TQ2TMP", path);

  CNutriLibellesSet older(nullptr, kDbVersion252);
  EXPECT_EQ(older.m_nFields, 13u);
  older.Open();
  EXPECT_EQ(older.GetSQL(), ExpectedSelect(NutriShape(), 13).c_str());
  EXPECT_EQ(older.m_ARJ, 12.0);
  EXPECT_EQ(older.m_BKCOL, 13);

  CNutriLibellesSet current(nullptr, kDbVersion253);
  EXPECT_EQ(current.m_nFields, 15u);
  EXPECT_THROW(current.Open(), CDBException);

  files.Register("TQ2TMP", files.Create("v253.mdb", {CreateTable("NutriLibelles", NutriShape().columns),
                                                     InsertRow("NutriLibelles", NutriShape().columns)}));
  current.Open();
  EXPECT_EQ(current.m_OWNER, 14);
  EXPECT_EQ(current.m_DATE_MAJ, CTime(2024, 5, 17, 8, 15, 0));
}

class ConnectionsTest : public ::testing::Test {
 protected:
  ConnectionsTest() {
    const Columns& variables = Shapes()[9].columns;
    m_files.Register("TQ2TMP", m_files.Create("base.mdb", {CreateTable("Variables", variables),
                                                           "INSERT INTO [Variables] VALUES ('TYPE_DB', 'Toquelin', 1)"}));
    m_files.Register("TQ2TMPSRC", m_files.Create("tq2V2_1.mdb", {CreateTable("Variables", variables),
                                                                 "INSERT INTO [Variables] VALUES ('TYPE_DB', 'Modele', 2)"}));
  }
  DbFiles m_files;
};

TEST_F(ConnectionsTest, ASetWithoutDatabaseConnectsByItsDbVersion) {
  CVariablesSet converted(nullptr, kDbVersion253);
  converted.Open();
  EXPECT_EQ(converted.m_VALSTR, "Toquelin");
  CVariablesSet tmpl(nullptr, kDbVersion241);
  tmpl.Open();
  EXPECT_EQ(tmpl.m_VALSTR, "Modele");

  // Given an open database, a set works on it whatever its DbVersion.
  CVariablesSet onConverted(converted.m_pDatabase, kDbVersion20);
  onConverted.Open();
  EXPECT_EQ(onConverted.m_VALSTR, "Toquelin");
}

TEST_F(ConnectionsTest, TwoSetsShareOneConnection) {
  CVariablesSet carrier(nullptr, kDbVersion253);
  carrier.Open();
  CDatabase* db = carrier.m_pDatabase;
  {
    CVariablesSet writer(db, kDbVersion253);
    writer.m_strFilter = "[NAME]='TYPE_DB'";
    writer.Open();
    writer.Edit();
    writer.m_VALNUM = 3;
    EXPECT_TRUE(writer.Update());
    writer.AddNew();
    writer.m_NAME = "LANGUE";
    writer.m_VALSTR = "FR";
    EXPECT_TRUE(writer.Update());
    writer.Close();
    EXPECT_EQ(writer.m_pDatabase, db);
  }
  EXPECT_TRUE(db->IsOpen());
  carrier.m_strSort = "[NAME]";
  carrier.Requery();
  EXPECT_EQ(carrier.m_NAME, "LANGUE");
  EXPECT_EQ(carrier.m_VALNUM, 0.0);
  EXPECT_TRUE(carrier.IsFieldNull(&carrier.m_VALNUM));
  carrier.MoveNext();
  EXPECT_EQ(carrier.m_VALNUM, 3.0);
  carrier.Close();
  EXPECT_EQ(carrier.m_pDatabase, nullptr);
}

}  // namespace
