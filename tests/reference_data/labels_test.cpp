// The generated labels: keys unique over every identifier a template uses,
// texts that fit their columns, and wording changes that a revision makes.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "gendb.h"

namespace {

constexpr int kLastSystemLabel = 1300;  // highest Item_Id of any template
constexpr int kLastPrinterLabel = 214;

TEST(GeneratedLabels, KeysAreUniqueAndTextsFitTheirColumns) {
  std::set<std::string> keys;
  for (int id = 2; id <= kLastSystemLabel; ++id) {
    const gendb::LabelText l = gendb::SystemLabel(id, 0);
    EXPECT_TRUE(keys.insert(l.key).second) << "duplicate key " << l.key << " at " << id;
    EXPECT_LE(l.key.size(), 64u);
    EXPECT_NE(l.key, "IDS_VERSION_DB");
    for (const auto& t : l.text) {
      EXPECT_FALSE(t.empty());
      EXPECT_LE(t.size(), 255u);
    }
  }
  keys.clear();
  for (int id = 1; id <= kLastPrinterLabel; ++id) {
    const gendb::LabelText l = gendb::PrinterLabel(id, 0);
    EXPECT_TRUE(keys.insert(l.key).second) << "duplicate key " << l.key << " at " << id;
  }
}

TEST(GeneratedLabels, RevisionRewordsSomeLabelsButKeepsKeys) {
  int changed = 0;
  for (int id = 2; id <= 675; ++id) {
    const gendb::LabelText a = gendb::SystemLabel(id, 0);
    const gendb::LabelText b = gendb::SystemLabel(id, 1);
    EXPECT_EQ(a.key, b.key);
    if (a.text[0] != b.text[0]) ++changed;
  }
  // Enough for a merge to visibly overwrite texts, few enough to stay real.
  EXPECT_GT(changed, 10);
  EXPECT_LT(changed, 60);
}

}  // namespace
