// The built reference databases against what the upgrade reads from them
// (what the record sets read is checked through them, in record_sets_test):
// the label identifiers follow the limits of
// the limited merges; the sample V2.0 database has what every step needs and
// meets the cases of the merges; the large database has the asked sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "jetdb/jetdb.h"

namespace {


std::unique_ptr<jetdb::Database> Open(const std::string& path) {
  jetdb::Error error;
  auto db = jetdb::Database::open(path, jetdb::OpenMode::ReadOnly, error);
  EXPECT_TRUE(db) << path << ": " << error.message;
  return db;
}

std::string TemplatePath(const std::string& name) { return std::string(TOQUELIN_TEMPLATE_DIR) + "/" + name + ".mdb"; }

// Rows of a one-table SELECT, as values.
std::vector<std::vector<jetdb::Value>> Rows(jetdb::Database& db, const std::string& sql) {
  std::vector<std::vector<jetdb::Value>> rows;
  auto q = db.query(sql);
  EXPECT_TRUE(q) << sql << ": " << db.lastError().message;
  if (!q) return rows;
  while (q->next()) {
    std::vector<jetdb::Value> row;
    for (std::size_t c = 0; c < q->columns().size(); ++c) row.push_back(q->value(c));
    rows.push_back(std::move(row));
  }
  EXPECT_FALSE(q->error()) << sql;
  return rows;
}

std::set<long long> Ids(jetdb::Database& db, const std::string& sql) {
  std::set<long long> ids;
  for (const auto& row : Rows(db, sql)) ids.insert(row[0].asInteger());
  return ids;
}

long long Count(jetdb::Database& db, const std::string& table) {
  const auto rows = Rows(db, "SELECT COUNT(*) FROM [" + table + "]");
  return rows.empty() ? -1 : rows[0][0].asInteger();
}

// The templates in chain order.
const std::vector<std::string>& TemplateNames() {
  static const std::vector<std::string> names{"tq2V2_1",   "tq2V2_2",   "tq2V2_3",     "tq2V2_4",   "tq2V2_4_2",
                                              "tq2V2_4_3", "tq2V2_5_1", "tq2V2_5_1_4", "tq2V2_5_2", "tq2V2_5_3"};
  return names;
}

TEST(ReferenceTemplates, NoneAnnouncesAVersion) {
  for (const std::string& name : TemplateNames()) {
    auto db = Open(TemplatePath(name));
    ASSERT_TRUE(db);
    EXPECT_TRUE(Rows(*db, "SELECT [Item_Id] FROM [Langue_System] WHERE [Libelle]='IDS_VERSION_DB'").empty()) << name;
  }
}

// Replays the identifiers of the label merges over the whole chain: a
// limited merge needs every template label up to its limit in the database
// and appends the others without looking (so they must be new); a full merge
// overwrites or appends.
TEST(ReferenceTemplates, LabelIdentifiersFollowTheMergeLimits) {
  struct Limits {
    int printer;
    int system;  // 0: full merge
  };
  const std::vector<Limits> limits{{107, 510}, {145, 675}, {155, 882}, {158, 933}, {158, 1030},
                                   {0, 0},     {0, 0},     {0, 0},     {0, 0},     {0, 0}};
  auto sample = Open(TOQUELIN_SAMPLE_DB);
  ASSERT_TRUE(sample);
  std::set<long long> printer = Ids(*sample, "SELECT [Item_Id] FROM [Langue_Printer]");
  std::set<long long> system = Ids(*sample, "SELECT [Item_Id] FROM [Langue_System]");
  EXPECT_EQ(*printer.rbegin(), 107);
  EXPECT_EQ(*system.rbegin(), 510);
  for (std::size_t step = 0; step < TemplateNames().size(); ++step) {
    const std::string& name = TemplateNames()[step];
    auto db = Open(TemplatePath(name));
    ASSERT_TRUE(db);
    for (auto [table, limit, ids] : {std::tuple{"Langue_Printer", limits[step].printer, &printer},
                                     std::tuple{"Langue_System", limits[step].system, &system}}) {
      const std::set<long long> rows = Ids(*db, std::string("SELECT [Item_Id] FROM [") + table + "]");
      ASSERT_FALSE(rows.empty()) << name << " " << table;
      for (long long id : rows) {
        if (limit != 0 && id <= limit) {
          EXPECT_TRUE(ids->count(id)) << name << " " << table << ": " << id << " up to the limit but not in the database";
        } else if (limit != 0) {
          EXPECT_FALSE(ids->count(id)) << name << " " << table << ": " << id << " appended but already there";
        }
      }
      ids->insert(rows.begin(), rows.end());
      // Each limited template reaches the next limit, so that what it
      // appends is what the next step overwrites.
      if (limit != 0 && step + 1 < limits.size() && limits[step + 1].system != 0) {
        const int next = std::string(table) == "Langue_Printer" ? limits[step + 1].printer : limits[step + 1].system;
        EXPECT_EQ(*rows.rbegin(), next) << name << " " << table;
      }
    }
  }
}

TEST(ReferenceTemplates, V21ReferenceRows) {
  auto db = Open(TemplatePath("tq2V2_1"));
  auto sample = Open(TOQUELIN_SAMPLE_DB);
  ASSERT_TRUE(db && sample);
  const auto type = Rows(*db, "SELECT [VALSTR] FROM [Variables] WHERE [NAME]='TYPE_DB'");
  ASSERT_EQ(type.size(), 1u);
  EXPECT_EQ(type[0][0].text, "Toquelin");
  // Label formats become whole numbers in V2.5.1: no fraction may be lost.
  for (const auto& row : Rows(*db, "SELECT [MRGHAUT], [MRGCOTE], [HAUTEUR], [LARGEUR], [PASVERT], [PASHORIZ] FROM [FmtEtiquette]"))
    for (const auto& v : row) EXPECT_EQ(v.asDouble(), static_cast<double>(static_cast<long long>(v.asDouble())));
  EXPECT_GE(Count(*db, "FmtEtiquette"), 3);
  // The first step stops merging categories at one the database lacks.
  const auto sampleCats = Ids(*sample, "SELECT [CLASS_ID] FROM [Categories]");
  for (long long id : Ids(*db, "SELECT [CLASS_ID] FROM [Categories]")) EXPECT_TRUE(sampleCats.count(id)) << id;
  // The next step rewrites nineteen system units that must all exist by then.
  std::set<long long> units = Ids(*sample, "SELECT [UNITDEF_ID] FROM [Unites]");
  const auto systemUnits = Ids(*db, "SELECT [UNITDEF_ID] FROM [Unites] WHERE [OWNER] = -1");
  units.insert(systemUnits.begin(), systemUnits.end());
  for (long long id : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 21, 23}) EXPECT_TRUE(units.count(id)) << id;
}

std::string Folded(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The first step overwrites each system unit with the template's (all but
// the exchange code, which the record set does not bind); an update that the
// unique (TYPE, CODE_ECH) index refuses counts as a user change, which it
// tolerates for units 10, 15 and 16 only.
TEST(SampleDatabase, UnitMergeMeetsAUserChangeItTolerates) {
  auto db = Open(TemplatePath("tq2V2_1"));
  auto sample = Open(TOQUELIN_SAMPLE_DB);
  ASSERT_TRUE(db && sample);
  std::multimap<std::pair<long long, std::string>, long long> sampleKeys;
  std::map<long long, std::string> sampleCode;
  for (const auto& r : Rows(*sample, "SELECT [UNITDEF_ID], [TYPE], [CODE_ECH] FROM [Unites]")) {
    sampleKeys.emplace(std::pair{r[1].asInteger(), Folded(r[2].text)}, r[0].asInteger());
    sampleCode[r[0].asInteger()] = Folded(r[2].text);
  }
  std::set<long long> collisions;
  for (const auto& r : Rows(*db, "SELECT [UNITDEF_ID], [TYPE] FROM [Unites] WHERE [OWNER] = -1")) {
    if (!sampleCode.count(r[0].asInteger())) continue;  // added, not updated
    const auto [from, to] = sampleKeys.equal_range({r[1].asInteger(), sampleCode[r[0].asInteger()]});
    for (auto it = from; it != to; ++it)
      if (it->second != r[0].asInteger()) collisions.insert(r[0].asInteger());
  }
  ASSERT_FALSE(collisions.empty());
  for (long long id : collisions) EXPECT_TRUE(id == 10 || id == 15 || id == 16) << id;
}

TEST(SampleDatabase, VersionAndCategoriesInTheirRoles) {
  auto db = Open(TOQUELIN_SAMPLE_DB);
  ASSERT_TRUE(db);
  const auto version = Rows(*db, "SELECT [Langue_1], [Langue_2], [Langue_3], [Langue_4], [Langue_5] FROM [Langue_System] WHERE [Libelle]='IDS_VERSION_DB'");
  ASSERT_EQ(version.size(), 1u);
  for (const auto& v : version[0]) EXPECT_EQ(v.text, "2.0.1.49");

  std::map<long long, long long> parent;
  for (const auto& r : Rows(*db, "SELECT [CLASS_ID], [PERE_ID] FROM [Categories]")) parent[r[0].asInteger()] = r[1].asInteger();
  for (long long id : {-1, 20, 26, 27, 52, 242}) EXPECT_TRUE(parent.count(id)) << id;
  for (long long id : {25, 28, 36}) EXPECT_FALSE(parent.count(id)) << id << " is added by the upgrade";
  EXPECT_NE(parent[20], -1) << "category 20 is moved to the top by V2.4.2";
  EXPECT_EQ(parent[242], 26);
  // Import categories at the top, found by any of their five names.
  const auto imports = Rows(*db, "SELECT [CLASS_ID] FROM [Categories] WHERE [PERE_ID]=-1 AND [CLASS_ID]<>-1 AND ([NAME_1]='Importation' OR [NAME_2]='Import' OR [NAME_3]='Import' OR [NAME_4]='Importación' OR [NAME_5]='Importazione')");
  EXPECT_GE(imports.size(), 2u);
  int nestedSupplierLinks = 0;
  // Every link names the parent of its category, and the upgrade deletes
  // children of 26 without their links: only 242's links are removed first.
  for (const auto& r : Rows(*db, "SELECT [CLASS_ID], [CLASSPARENT] FROM [CategIngre]")) {
    if (parent.count(r[1].asInteger()) && parent[r[1].asInteger()] == 52) ++nestedSupplierLinks;
    EXPECT_EQ(parent[r[0].asInteger()], r[1].asInteger()) << r[0].asInteger();
    if (parent[r[0].asInteger()] == 26) {
      EXPECT_EQ(r[0].asInteger(), 242);
    }
  }
  // Suppliers with sub-categories holding ingredient links, to flatten.
  EXPECT_GE(nestedSupplierLinks, 3);
}

TEST(ReferenceTemplates, LaterCategoriesAndLabelsDoNotCollide) {
  auto sample = Open(TOQUELIN_SAMPLE_DB);
  auto t251 = Open(TemplatePath("tq2V2_5_1"));
  auto t252 = Open(TemplatePath("tq2V2_5_2"));
  ASSERT_TRUE(sample && t251 && t252);
  std::set<long long> present = Ids(*sample, "SELECT [CLASS_ID] FROM [Categories]");
  present.insert({25, 28, 36});
  // V2.5.1 adds its categories as new rows once the children of 26 and 27
  // are gone; V2.5.2 adds its own and stops at the first it finds.
  const auto children = Ids(*sample, "SELECT [CLASS_ID] FROM [Categories] WHERE [PERE_ID]=26 OR [PERE_ID]=27");
  for (long long id : children) present.erase(id);
  const auto c251 = Ids(*t251, "SELECT [CLASS_ID] FROM [Categories]");
  EXPECT_EQ(Ids(*t251, "SELECT [CLASS_ID] FROM [Categories] WHERE [PERE_ID]=26").size(), 14u);
  for (long long id : c251) EXPECT_FALSE(present.count(id)) << id;
  present.insert(c251.begin(), c251.end());
  for (long long id : Ids(*t252, "SELECT [CLASS_ID] FROM [Categories]")) EXPECT_FALSE(present.count(id)) << id;
  // Pre-packed labels: V2.5.2 appends without looking.
  std::set<long long> labels = Ids(*t251, "SELECT [ID] FROM [LibellesPreEmballe]");
  labels.insert(-1);
  for (long long id : Ids(*t252, "SELECT [ID] FROM [LibellesPreEmballe]")) EXPECT_FALSE(labels.count(id)) << id;
}

TEST(LargeDatabase, HasThePresetSizesAndConsistentLinks) {
  auto db = Open(TOQUELIN_LARGE_DB);
  ASSERT_TRUE(db);
  EXPECT_EQ(Count(*db, "Ingredients"), 20000);
  EXPECT_EQ(Count(*db, "Recettes"), 10000);
  // 5,000 planned services, each with its production sheet.
  EXPECT_EQ(Count(*db, "Planning"), 5000);
  EXPECT_EQ(Count(*db, "FicheProduction"), 5000);
  EXPECT_EQ(Rows(*db, "SELECT [FICHE_ID] FROM [FicheProduction] WHERE [PLAN_ID] <> [FICHE_ID]").size(), 0u);
  // 2,000 categories and 100,000 links, and on top the suppliers under 52:
  // 200 suppliers, 1,000 sub-categories, 20,000 links under those.
  EXPECT_EQ(Rows(*db, "SELECT [CLASS_ID] FROM [Categories] WHERE [CLASS_ID] >= 1000").size(), 3200u);
  std::map<long long, long long> parent;
  for (const auto& r : Rows(*db, "SELECT [CLASS_ID], [PERE_ID] FROM [Categories]")) parent[r[0].asInteger()] = r[1].asInteger();
  std::set<long long> suppliers, below;
  for (const auto& [id, father] : parent)
    if (father == 52) suppliers.insert(id);
  for (const auto& [id, father] : parent)
    if (suppliers.count(father) || (parent.count(father) && suppliers.count(parent[father]))) below.insert(id);
  EXPECT_EQ(suppliers.size(), 200u);
  EXPECT_EQ(below.size(), 1000u);
  // Some of them nested a level deeper.
  EXPECT_GT(std::count_if(below.begin(), below.end(), [&](long long id) { return !suppliers.count(parent[id]); }), 100);
  // Ingredients linked under two sub-categories of one supplier.
  std::map<std::pair<long long, long long>, int> perSupplier;  // (supplier, ingredient) -> links
  long long underSuppliers = 0, toSuppliers = 0;
  for (const auto& r : Rows(*db, "SELECT [CLASS_ID], [INGR_ID] FROM [CategIngre]")) {
    const long long id = r[0].asInteger();
    if (suppliers.count(id)) ++toSuppliers;
    if (!below.count(id)) continue;
    ++underSuppliers;
    long long supplier = parent[id];
    if (!suppliers.count(supplier)) supplier = parent[supplier];
    ++perSupplier[{supplier, r[1].asInteger()}];
  }
  EXPECT_EQ(underSuppliers, 20000);
  EXPECT_GT(std::count_if(perSupplier.begin(), perSupplier.end(), [](const auto& p) { return p.second > 1; }), 1000);
  EXPECT_EQ(Count(*db, "CategIngre") + Count(*db, "CategRecet") + Count(*db, "Compositions"),
            100000 + underSuppliers + toSuppliers);
  int wrong = 0;
  for (const char* table : {"CategIngre", "CategRecet"})
    for (const auto& r : Rows(*db, std::string("SELECT [CLASS_ID], [CLASSPARENT] FROM [") + table + "]"))
      if (parent.count(r[0].asInteger()) == 0 || parent[r[0].asInteger()] != r[1].asInteger()) ++wrong;
  EXPECT_EQ(wrong, 0);
  const auto version = Rows(*db, "SELECT [Langue_1] FROM [Langue_System] WHERE [Libelle]='IDS_VERSION_DB'");
  ASSERT_EQ(version.size(), 1u);
  EXPECT_EQ(version[0][0].text, "2.0.1.49");
}

}  // namespace
