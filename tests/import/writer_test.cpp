// The import's writer: a model of what a real Access file holds, written
// into a new database and read back through the driver.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "import/writer.h"
#include "test_support/temp_dir.h"

namespace mdbimport {
namespace {

using mdbfile::JetType;

mdbfile::Column column(const char* name, JetType type, int size = 0) {
  mdbfile::Column c;
  c.name = name;
  c.type = type;
  c.size = size;
  return c;
}

bool reports(const Writer& w, const std::string& part) {
  return std::any_of(w.notCarried().begin(), w.notCarried().end(),
                     [&](const std::string& l) { return l.find(part) != std::string::npos; });
}

class WriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    jetdb::Error e;
    db_ = jetdb::Database::open(dir_.path() + "/out.mdb", jetdb::OpenMode::Create, e);
    ASSERT_TRUE(db_) << e.message;
  }
  std::vector<std::vector<jetdb::Value>> rows(const std::string& sql) {
    std::vector<std::vector<jetdb::Value>> out;
    auto q = db_->query(sql);
    EXPECT_TRUE(q) << db_->lastError().message;
    while (q && q->next()) {
      out.emplace_back();
      for (std::size_t i = 0; i < q->columns().size(); ++i) out.back().push_back(q->value(i));
    }
    return out;
  }
  TempDir dir_;
  std::unique_ptr<jetdb::Database> db_;
};

TEST_F(WriterTest, ValuesArriveExactlyOrAreCountedAndReported) {
  mdbfile::Database model;
  mdbfile::Table t;
  t.name = "Valeurs";
  t.columns = {column("Texte", JetType::Text, 5), column("Montant", JetType::Currency), column("Le", JetType::DateTime),
               column("X", JetType::Double), column("Oui", JetType::Boolean), column("Dec", JetType::Decimal),
               column("Octets", JetType::Binary, 4), column("Id", JetType::GUID), column("Note", JetType::Memo)};
  t.columns[5].precision = 5;
  t.columns[5].scale = 2;
  mdbfile::Decimal minus150{true, 2, {150, 0, 0, 0}};
  mdbfile::Guid guid{{0xFF, 0x19, 0x96, 0x6F, 0x86, 0x8B, 0x11, 0xD0, 0xB4, 0x2D, 0x00, 0xC0, 0x4F, 0xC9, 0x64, 0xFF}};
  const std::int64_t lastExact = (std::int64_t{1} << 53) - 1;
  t.rows = {
      {"", mdbfile::Currency{lastExact}, mdbfile::DateTime{-1.25}, 0.1, true, minus150, mdbfile::Bytes{0, 0xAB},
       guid, "ligne\r\nsuivante"},
      {std::monostate{}, mdbfile::Currency{-lastExact - 2}, mdbfile::DateTime{-657434.0}, std::nan(""), false,
       std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}},
      {"été", mdbfile::Currency{15000}, mdbfile::DateTime{2958465.5 + 0.6 / 86400}, -0.0, false, std::monostate{},
       mdbfile::Bytes{}, std::monostate{}, ""},
      {"x", std::monostate{}, mdbfile::DateTime{2958466.0}, std::numeric_limits<double>::infinity(), true,
       std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}},
  };
  model.tables.push_back(t);
  Writer w(*db_);
  ASSERT_TRUE(writeModel(model, w)) << w.error();
  const auto r = rows("SELECT * FROM [Valeurs]");
  ASSERT_EQ(r.size(), 4u);
  using V = jetdb::Value;
  // "" and Null stay apart; Currency to the last ten-thousandth while a
  // Double holds it.
  EXPECT_EQ(r[0][0], V::of(""));
  EXPECT_TRUE(r[1][0].isNull());
  EXPECT_EQ(std::llround(r[0][1].real * 10000), lastExact);
  EXPECT_EQ(r[2][1], V::of(1.5));
  // Before 1899-12-30 the time runs forward from midnight: 1899-12-29 06:00.
  EXPECT_EQ(r[0][2].asText(), "1899-12-29 06:00:00");
  EXPECT_EQ(r[1][2].asText(), "0100-01-01 00:00:00");
  EXPECT_EQ(r[2][2].asText(), "9999-12-31 12:00:01");  // 0.6 s rounded to the second
  EXPECT_TRUE(r[3][2].isNull());                          // 10000-01-01: beyond Access
  EXPECT_EQ(r[0][3], V::of(0.1));
  EXPECT_TRUE(r[1][3].isNull());
  EXPECT_EQ(r[0][4], V::of(-1));
  EXPECT_EQ(r[1][4], V::of(0));
  // Decimal, bytes and GUID in the driver's own types, the GUID's
  // little-endian groups turned into the order Access shows.
  EXPECT_EQ(r[0][5], V::decimal("-1.5"));
  EXPECT_EQ(r[0][6], V::bytes(std::string("\x00\xAB", 2)));
  EXPECT_EQ(r[2][6], V::bytes(""));
  EXPECT_EQ(r[0][7], V::of("{6F9619FF-8B86-D011-B42D-00C04FC964FF}"));
  EXPECT_EQ(r[0][8], V::of("ligne\r\nsuivante"));
  EXPECT_EQ(r[2][8], V::of(""));

  EXPECT_TRUE(reports(w, "« Montant » : 1 montants"));
  EXPECT_TRUE(reports(w, "« Le » : 1 dates arrondies"));
  EXPECT_TRUE(reports(w, "« Le » : 1 dates hors des années"));
  EXPECT_TRUE(reports(w, "« X » : 2 valeurs qui ne sont pas des nombres"));
  EXPECT_FALSE(reports(w, "« Dec »"));
  EXPECT_FALSE(reports(w, "« Octets »"));
  EXPECT_FALSE(reports(w, "« Id »"));
  EXPECT_EQ(w.notCarried().size(), 4u) << ::testing::PrintToString(w.notCarried());
  EXPECT_TRUE(db_->check().empty());
}

// Two tables, a relation Access enforces with a cascade, one it does not,
// and the indexes of each kind.
mdbfile::Database keyedModel() {
  mdbfile::Database model;
  mdbfile::Table parent;
  parent.name = "Familles";
  parent.columns = {column("N", JetType::Long), column("Nom", JetType::Text, 20), column("Code", JetType::Text, 4)};
  parent.columns[0].autoNumber = true;
  parent.columns[1].required = true;
  parent.columns[1].defaultValue = "\"sans nom\"";
  parent.indexes = {{"PrimaryKey", {{"N", false}}, true, true, false, true},
                    {"Nom", {{"Nom", true}, {"Code", false}}, false, true, false, false},
                    {"Code", {{"Code", false}}, false, true, true, false}};
  parent.nextAutoNumber = 4;
  parent.rows = {{std::int32_t{1}, "Sauces", std::monostate{}}, {std::int32_t{3}, "Desserts", std::monostate{}}};
  mdbfile::Table child;
  child.name = "Recettes";
  child.columns = {column("N", JetType::Long), column("Famille", JetType::Long), column("Autre", JetType::Long)};
  child.columns[0].autoNumber = true;
  child.nextAutoNumber = 3;
  child.indexes = {{"PrimaryKey", {{"N", false}}, true, true, false, true}};
  child.rows = {{std::int32_t{1}, std::int32_t{3}, std::int32_t{99}}, {std::int32_t{2}, std::int32_t{1}, std::monostate{}}};
  model.tables = {parent, child};
  mdbfile::Relation enforced{"FamillesRecettes", "Recettes", "Familles", {{"Famille", "N"}}};
  mdbfile::setRelationFlags(enforced, 0x1000);
  mdbfile::Relation loose{"AutreFamille", "Recettes", "Familles", {{"Autre", "N"}}};
  mdbfile::setRelationFlags(loose, 0x2);
  model.relations = {enforced, loose};
  return model;
}

TEST_F(WriterTest, KeysIndexesAndEnforcedRelationsAreCarriedAndTheRestReported) {
  Writer w(*db_);
  ASSERT_TRUE(writeModel(keyedModel(), w)) << w.error();
  const auto indexes = db_->indexes("Familles");
  auto find = [&](const std::string& name) {
    return std::find_if(indexes.begin(), indexes.end(), [&](const jetdb::IndexInfo& i) { return i.name == name; });
  };
  ASSERT_NE(find("PrimaryKey"), indexes.end());
  EXPECT_TRUE(find("PrimaryKey")->primary);
  ASSERT_NE(find("Nom"), indexes.end());
  EXPECT_TRUE(find("Nom")->unique);
  EXPECT_EQ(find("Nom")->columns, (std::vector<std::string>{"Nom", "Code"}));
  ASSERT_NE(find("Code"), indexes.end());
  EXPECT_TRUE(find("Code")->unique && find("Code")->ignoreNull);
  const auto cols = db_->columns("Familles");
  ASSERT_TRUE(cols);
  EXPECT_EQ((*cols)[0].type, jetdb::JetType::Counter);
  EXPECT_FALSE((*cols)[1].nullable);
  EXPECT_EQ((*cols)[1].defaultValue, "\"sans nom\"");
  ASSERT_TRUE(db_->insertRow("Familles", {{"Code", jetdb::Value::of("X")}}));

  // The enforced relation is the driver's; the other one is not, so that a
  // row Access let through stays writable.
  const auto relations = db_->relations("Recettes");
  ASSERT_EQ(relations.size(), 1u);
  EXPECT_EQ(relations[0].name, "FamillesRecettes");
  EXPECT_FALSE(db_->insertRow("Recettes", {{"Famille", jetdb::Value::of(7)}}));
  EXPECT_TRUE(db_->insertRow("Recettes", {{"Famille", jetdb::Value::of(1)}, {"Autre", jetdb::Value::of(42)}}));
  EXPECT_TRUE(db_->check().empty());

  EXPECT_TRUE(reports(w, "Relation « AutreFamille » (« Recettes » vers « Familles ») non reprise"));
  EXPECT_TRUE(reports(w, "Relation « FamillesRecettes » (« Recettes » vers « Familles ») : suppression en cascade"));
  EXPECT_TRUE(reports(w, "index « Nom » : ordre décroissant de « Nom »"));
  // Familles numbers on from 4 (the driver too: 3 + 1); Recettes from 3 (2 + 1).
  EXPECT_FALSE(reports(w, "numéro automatique"));
  EXPECT_EQ(w.notCarried().size(), 3u) << ::testing::PrintToString(w.notCarried());
}

TEST_F(WriterTest, WhatTheDriverRefusesIsReportedAndTheRestWritten) {
  mdbfile::Database model = keyedModel();
  model.tables[0].nextAutoNumber = 10;  // rows 4 to 9 were deleted in Access
  // A file made under another sort order may hold two texts that differ
  // only by case under a unique index; the driver's indexes fold case, as
  // Access's General order does: the index cannot be made, the rows stay.
  model.tables[0].rows[0][2] = "Café";
  model.tables[0].rows[1][2] = "CAFÉ";
  // A second table under a name the driver takes for the first one.
  mdbfile::Table twin = model.tables[0];
  twin.name = "FAMILLES";
  model.tables.insert(model.tables.begin() + 1, twin);
  // A row the driver refuses: Null in a required column.
  model.tables[2].rows.push_back({std::int32_t{5}, std::monostate{}, std::monostate{}});
  model.tables[2].columns[1].required = true;
  // A default the driver cannot compute, beside one it keeps.
  model.tables[2].columns[1].defaultValue = "=1";
  model.tables[2].columns[2].defaultValue = "GenGUID()";
  model.notCarried.push_back("requête enregistrée « Q » non reprise");
  Writer w(*db_);
  ASSERT_TRUE(writeModel(model, w)) << w.error();
  EXPECT_EQ(rows("SELECT [Code] FROM [Familles] ORDER BY [N]").size(), 2u);
  EXPECT_EQ(rows("SELECT * FROM [Recettes]").size(), 2u);
  EXPECT_TRUE(reports(w, "index « Code » non créé"));
  EXPECT_TRUE(reports(w, "Table « FAMILLES » non reprise"));
  EXPECT_TRUE(reports(w, "Table « Recettes » : 1 lignes non écrites"));
  EXPECT_TRUE(reports(w, "le prochain numéro automatique sera 4 et non 10"));
  EXPECT_TRUE(reports(w, "requête enregistrée « Q » non reprise"));
  EXPECT_TRUE(reports(w, "« Autre » : valeur par défaut « GenGUID() » non reprise : "));
  EXPECT_EQ((*db_->columns("Recettes"))[1].defaultValue, "1");
  EXPECT_EQ(w.rowsWritten(), 4u);
  EXPECT_TRUE(db_->check().empty());
}

}  // namespace
}  // namespace mdbimport
