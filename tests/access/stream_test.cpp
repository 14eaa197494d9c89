// The model's stream from the reading child: what the child writes comes
// back whole, and whatever a child might write instead — cut short, bytes
// changed, lengths that lie — ends in one line, never in a crash or an
// allocation of what the stream only claims.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "access/stream.h"

namespace {

using namespace mdbfile;

Database everyKindOfValue() {
  Database db;
  db.jetVersion = 4;
  db.codePage = 1252;
  Table t;
  t.name = "Recettes";
  t.nextAutoNumber = 43;
  auto column = [&](const char* name, JetType type) {
    Column c;
    c.name = name;
    c.type = type;
    t.columns.push_back(c);
    return &t.columns.back();
  };
  column("ID", JetType::Long)->autoNumber = true;
  column("Actif", JetType::Boolean);
  column("Portions", JetType::Byte);
  column("Ordre", JetType::Integer);
  column("Prix", JetType::Currency);
  column("Poids", JetType::Single);
  column("Ratio", JetType::Double);
  column("Créée", JetType::DateTime);
  Column* name = column("Nom", JetType::Text);
  name->size = 50;
  name->required = true;
  name->allowZeroLength = false;
  name->defaultValue = "\"sans nom\"";
  column("Notes", JetType::Memo);
  column("Photo", JetType::OLE);
  column("Clé", JetType::GUID);
  Column* exact = column("Exact", JetType::Decimal);
  exact->precision = 18;
  exact->scale = 4;
  t.indexes.push_back({"PrimaryKey", {{"ID", false}}, true, true, false, true});
  t.indexes.push_back({"NomDate", {{"Nom", false}, {"Créée", true}}, false, true, true, false});
  Guid g;
  g.bytes[0] = 0xAB;
  Decimal d;
  d.negative = true;
  d.scale = 4;
  d.magnitude = {1, 2, 3, 4};
  t.rows.push_back({std::int32_t{1}, true, std::int32_t{255}, std::int32_t{-32768},
                    Currency{-123456789}, 1.5f, -0.0, DateTime{-1.25}, std::string("Crème brûlée 🍮"),
                    std::string(100000, 'x'), Bytes{0, 1, 2, 255}, g, d});
  t.rows.push_back({std::int32_t{2}, false, std::monostate{}, std::monostate{}, std::monostate{},
                    std::monostate{}, std::monostate{}, std::monostate{}, std::string(),
                    std::monostate{}, Bytes{}, std::monostate{}, std::monostate{}});
  db.tables.push_back(t);
  Table other;
  other.name = "Lignes";
  Column ref;
  ref.name = "Recette";
  other.columns.push_back(ref);
  db.tables.push_back(other);
  Relation r;
  r.name = "RecettesLignes";
  r.table = "Lignes";
  r.referencedTable = "Recettes";
  r.columns = {{"Recette", "ID"}};
  setRelationFlags(r, 0x1002);
  db.relations.push_back(r);
  db.notCarried.push_back("requête enregistrée « Q » non reprise");
  return db;
}

std::vector<std::uint8_t> encode(const Database& db, bool complete = true) {
  std::vector<std::uint8_t> out;
  StreamWriter w([&](const std::uint8_t* p, std::size_t n) {
    out.insert(out.end(), p, p + n);
    return true;
  });
  w.begin(db.jetVersion, db.codePage);
  for (const auto& t : db.tables) {
    Table definition = t;
    definition.rows.clear();
    w.table(definition);
    for (const auto& row : t.rows) w.row(row);
  }
  for (const auto& r : db.relations) w.relation(r);
  for (const auto& line : db.notCarried) w.notCarried(line);
  if (complete) {
    w.end();
  } else {
    w.fail("table « Recettes » illisible");
  }
  return out;
}

StreamResult decode(const std::vector<std::uint8_t>& bytes, Database* out = nullptr,
                    std::uint64_t budget = 1 << 24) {
  size_t at = 0;
  CollectSink sink;
  const StreamResult r = decodeStream(
      [&](std::uint8_t* p, std::size_t n) {
        if (n > bytes.size() - at) return false;
        std::memcpy(p, bytes.data() + at, n);
        at += n;
        return true;
      },
      budget, sink);
  if (out != nullptr) *out = sink.database();
  return r;
}

TEST(AccessStream, TheModelComesBackWhole) {
  const Database db = everyKindOfValue();
  Database back;
  const StreamResult r = decode(encode(db), &back);
  ASSERT_TRUE(r.complete) << r.error;
  EXPECT_EQ(back, db);
  const StreamResult failed = decode(encode(db, false));
  EXPECT_FALSE(failed.complete);
  EXPECT_EQ(failed.error, "table « Recettes » illisible");
}

TEST(AccessStream, AStreamCutAnywhereIsIncomplete) {
  const std::vector<std::uint8_t> whole = encode(everyKindOfValue());
  for (size_t n = 0; n < whole.size(); n += (n < 2000 ? 1 : 997)) {
    const StreamResult r = decode({whole.begin(), whole.begin() + static_cast<long>(n)});
    ASSERT_FALSE(r.complete) << n;
    ASSERT_NE(r.error, "") << n;
  }
  std::vector<std::uint8_t> longer = whole;
  longer.push_back('N');
  EXPECT_EQ(decode(longer).error, "flux du lecteur : données après la fin");
}

TEST(AccessStream, ChangedBytesNeverPassUnchecked) {
  const Database db = everyKindOfValue();
  const std::vector<std::uint8_t> whole = encode(db);
  std::mt19937 random(42);
  size_t refused = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    std::vector<std::uint8_t> bytes = whole;
    const int changes = 1 + static_cast<int>(random() % 3);
    for (int k = 0; k < changes; ++k) {
      // Most of the stream is the long Memo: aim at the rest too.
      const size_t at = random() % 2 ? random() % 400 : random() % bytes.size();
      bytes[at] = static_cast<std::uint8_t>(random());
    }
    Database back;
    const StreamResult r = decode(bytes, &back);
    if (!r.complete) {
      ++refused;
      EXPECT_NE(r.error, "");
      continue;
    }
    // What passes is still a model a writer can trust: each value of its
    // column's type, each index on columns of its table.
    for (const auto& t : back.tables) {
      for (const auto& row : t.rows) ASSERT_EQ(row.size(), t.columns.size());
      for (const auto& i : t.indexes) {
        for (const auto& k : i.columns) {
          ASSERT_TRUE(std::any_of(t.columns.begin(), t.columns.end(),
                                  [&](const Column& c) { return c.name == k.column; }));
        }
      }
    }
  }
  EXPECT_GT(refused, 1000u);
}

TEST(AccessStream, LengthsAndCountsThatLieAreRefusedBeforeAnythingIsKept) {
  std::vector<std::uint8_t> bytes = encode(everyKindOfValue());
  // The first table's name claims 4 GiB; a budget of 1 MiB refuses it at once.
  const size_t nameAt = 4 + 4 + 4 + 1;
  ASSERT_EQ(bytes[nameAt - 1], 'T');
  std::memset(&bytes[nameAt], 0xFF, 4);
  EXPECT_EQ(decode(bytes, nullptr, 1 << 20).error, "flux du lecteur : longueur de valeur impossible");
  // Within a huge budget the claim is read as it comes, and the stream ends first.
  EXPECT_EQ(decode(bytes, nullptr, 1ULL << 40).error, "flux du lecteur interrompu");
  // The whole stream over its budget.
  EXPECT_EQ(decode(encode(everyKindOfValue()), nullptr, 50000).error,
            "flux du lecteur : longueur de valeur impossible");

  Database wrong = everyKindOfValue();
  wrong.tables[0].rows[0][2] = std::int32_t{256};  // a Byte
  EXPECT_EQ(decode(encode(wrong)).error,
            "flux du lecteur : entier hors de l'étendue de sa colonne « Portions »");
  wrong = everyKindOfValue();
  wrong.tables[0].rows[0][1] = std::monostate{};  // a Boolean is never Null
  EXPECT_EQ(decode(encode(wrong)).error,
            "flux du lecteur : valeur d'un autre type que sa colonne « Actif »");
  wrong = everyKindOfValue();
  wrong.tables[0].rows[0][8] = std::string("\xC3");
  EXPECT_EQ(decode(encode(wrong)).error, "flux du lecteur : texte qui n'est pas de l'UTF-8");
  wrong = everyKindOfValue();
  wrong.relations[0].columns[0].referencedColumn = "Autre";
  EXPECT_EQ(decode(encode(wrong)).error,
            "flux du lecteur : relation sur une colonne qui n'existe pas");
  wrong = everyKindOfValue();
  wrong.tables.push_back(wrong.tables[1]);
  EXPECT_EQ(decode(encode(wrong)).error, "flux du lecteur : deux tables du même nom");
}

}  // namespace
