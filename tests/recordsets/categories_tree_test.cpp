#include "recordsets/categories_tree.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "jetdb/jetdb.h"
#include "test_support/db_files.h"
#include "test_support/journal_capture.h"
#include "test_support/small_stack.h"

namespace {

// A category row: identifier, parent, [ASCHILD].
struct Row {
  int id;
  int parent;
  bool hasChildren;
};

class CategoriesTreeTest : public ::testing::Test {
 protected:
  // Creates [Categories] with the given rows, in this order, as the
  // database being converted.
  void Database(const std::vector<Row>& rows) {
    std::vector<std::string> sql = {
        "CREATE TABLE [Categories] ([CLASS_ID] INTEGER CONSTRAINT PrimaryKey PRIMARY KEY, [TYPE] BYTE, "
        "[MASQUE] INTEGER, [PERE_ID] INTEGER, [NAME_1] TEXT(54), [NAME_2] TEXT(54), [NAME_3] TEXT(54), "
        "[NAME_4] TEXT(54), [NAME_5] TEXT(54), [OWNER] INTEGER, [DATE_MAJ] DATETIME, [ASCHILD] BIT, "
        "[EXPORTABLE] BIT)",
        "CREATE INDEX [PERE_ID] ON [Categories] ([PERE_ID])"};
    for (const Row& r : rows)
      sql.push_back("INSERT INTO [Categories] ([CLASS_ID], [PERE_ID], [ASCHILD]) VALUES (" + std::to_string(r.id) +
                    ", " + std::to_string(r.parent) + ", " + (r.hasChildren ? "True" : "False") + ")");
    m_path = m_files.Create("base.mdb", sql);
    m_files.Register("TQ2TMP", m_path);
  }

  // The identifiers of a node's children, in sibling order.
  static std::vector<LONG> Children(const CategoryNode* node) {
    std::vector<LONG> ids;
    for (const CategoryNode* c = node->m_pFirstChild; c != nullptr; c = c->m_pNextSibling) {
      EXPECT_EQ(c->m_pParent, node);
      ids.push_back(c->m_nClassId);
    }
    return ids;
  }

  std::string AsChild(int id) { return Column("ASCHILD", id); }

  std::string Column(const char* column, int id) {
    jetdb::Error error;
    auto db = jetdb::Database::open(m_path, false, error);
    auto query = db->query(std::string("SELECT [") + column + "] FROM [Categories] WHERE [CLASS_ID]=" +
                           std::to_string(id));
    return query && query->next() ? query->value(0).asText() : "no row";
  }

  static long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
  }

  DbFiles m_files;
  std::string m_path;
};

TEST_F(CategoriesTreeTest, WithoutTheRootCategoryNothingIsLoaded) {
  Database({{1, -1, false}, {2, 1, false}});
  CCategoriesTree tree(nullptr);
  EXPECT_FALSE(tree.Load());
  EXPECT_EQ(tree.Root(), nullptr);
  EXPECT_EQ(tree.Find(1), nullptr);
}

TEST_F(CategoriesTreeTest, ReadsTheHierarchyThroughCategoriesThatClaimChildren) {
  Database({{-1, -1, true},
            {9, -1, true},
            {4, -1, false},
            {7, -1, true},
            {30, 9, false},
            {20, 9, true},
            {21, 20, false},
            {40, 4, false},  // under a category whose flag is clear: not read
            {250, 7, false}});
  CCategoriesTree tree(nullptr);
  ASSERT_TRUE(tree.Load());
  ASSERT_NE(tree.Root(), nullptr);
  EXPECT_EQ(tree.Root()->m_nClassId, -1);
  EXPECT_EQ(tree.Root()->m_pParent, nullptr);
  // The root, its own parent's row as well, is not its own child; the
  // others keep the order the database keeps them in.
  EXPECT_EQ(Children(tree.Root()), (std::vector<LONG>{9, 4, 7}));
  EXPECT_EQ(Children(tree.Find(9)), (std::vector<LONG>{30, 20}));
  EXPECT_EQ(Children(tree.Find(20)), std::vector<LONG>{21});
  EXPECT_EQ(tree.Find(21)->m_pParent, tree.Find(20));
  EXPECT_TRUE(Children(tree.Find(4)).empty());
  EXPECT_EQ(tree.Find(40), nullptr);
  // An identifier past the first index size grew the index.
  ASSERT_NE(tree.Find(250), nullptr);
  EXPECT_EQ(tree.Find(250)->m_pParent, tree.Find(7));
  EXPECT_EQ(tree.Find(251), nullptr);
  EXPECT_EQ(tree.Find(100000), nullptr);
  // The root exists but is never indexed.
  EXPECT_EQ(tree.Find(-1), nullptr);
}

TEST_F(CategoriesTreeTest, AFalseClaimOfChildrenIsClearedInTheDatabaseOnly) {
  Database({{-1, -1, true}, {1, -1, true}, {2, 1, true}, {3, -1, true}});
  CCategoriesTree tree(nullptr);
  ASSERT_TRUE(tree.Load());
  EXPECT_EQ(AsChild(1), "-1");  // Access's True
  EXPECT_EQ(AsChild(2), "0");
  EXPECT_EQ(AsChild(3), "0");
  // The nodes keep the flag as read, and no children.
  EXPECT_TRUE(tree.Find(2)->m_bHasChildren);
  EXPECT_EQ(tree.Find(2)->m_pFirstChild, nullptr);
  EXPECT_TRUE(tree.Find(3)->m_bHasChildren);
}

TEST_F(CategoriesTreeTest, UnderCategoryZeroSiblingsComeInAscendingOrderAtEveryDepth) {
  Database({{-1, -1, true},
            {0, -1, true},
            {5, -1, true},
            {12, 0, true},
            {11, 0, false},
            {13, 0, false},
            {33, 12, false},
            {31, 12, false},
            {32, 12, false},
            {62, 5, false},
            {61, 5, false}});
  CCategoriesTree tree(nullptr);
  ASSERT_TRUE(tree.Load());
  EXPECT_EQ(Children(tree.Root()), (std::vector<LONG>{0, 5}));
  EXPECT_EQ(Children(tree.Find(0)), (std::vector<LONG>{11, 12, 13}));
  EXPECT_EQ(Children(tree.Find(12)), (std::vector<LONG>{31, 32, 33}));
  // After category 0 the stored order is back.
  EXPECT_EQ(Children(tree.Find(5)), (std::vector<LONG>{62, 61}));
}

// A large identifier costs one entry, not an array up to it.
TEST(CategoriesTreeNodesTest, AnyIdentifierIsIndexedWithoutAnArrayUpToIt) {
  CCategoriesTree tree(nullptr);
  CategoryNode* root = tree.AddNode(nullptr, nullptr, -1, TRUE);
  CategoryNode* a = tree.AddNode(root, nullptr, 3, FALSE);
  CategoryNode* b = tree.AddNode(root, a, 2147483647, FALSE);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(a->m_pNextSibling, b);
  EXPECT_EQ(tree.Find(2147483647), b);
  EXPECT_EQ(tree.Find(3), a);
  EXPECT_EQ(tree.Find(2147483646), nullptr);
  EXPECT_EQ(tree.Find(-1), nullptr);
}

// The root whose [PERE_ID] names one of its descendants is met again under
// it: the loop is broken there, journaled, and the root's [PERE_ID] goes
// back to -1; it is neither read twice nor moved.
TEST_F(CategoriesTreeTest, ALoopThroughTheRootIsBrokenAtTheEdgeThatClosesIt) {
  Database({{-1, 5, true}, {5, -1, true}, {6, 5, true}, {7, 6, false}, {8, -1, false}});
  JournalCapture journal;
  CCategoriesTree tree(nullptr);
  ASSERT_TRUE(tree.Load());
  EXPECT_EQ(Children(tree.Root()), (std::vector<LONG>{5, 8}));
  EXPECT_EQ(Children(tree.Find(5)), (std::vector<LONG>{6}));
  EXPECT_EQ(Children(tree.Find(6)), (std::vector<LONG>{7}));
  EXPECT_EQ(journal.Text(), "Arbre des catégories : boucle rompue entre la catégorie -1 et la catégorie 5\n");
  EXPECT_EQ(Column("PERE_ID", -1), "-1");
  CCategoriesTree again(nullptr);
  ASSERT_TRUE(again.Load());
  EXPECT_EQ(Children(again.Find(5)), (std::vector<LONG>{6}));
}

// Deeper than the stack allows a recursion: read iteratively, in the same
// order.
TEST_F(CategoriesTreeTest, AChainDeeperThanTheStackIsRead) {
  constexpr int kDepth = 20000;
  std::vector<Row> rows{{-1, -1, true}, {1, -1, true}};
  for (int id = 2; id <= kDepth; ++id) rows.push_back({id, id - 1, id < kDepth});
  Database(rows);
  CCategoriesTree tree(nullptr);
  BOOL loaded = FALSE;
  OnSmallStack(512 * 1024, [&] { loaded = tree.Load(); });
  ASSERT_TRUE(loaded);
  int depth = 0;
  for (const CategoryNode* node = tree.Find(1); node != nullptr; node = node->m_pFirstChild) {
    ASSERT_EQ(node->m_nClassId, ++depth);
    ASSERT_EQ(node->m_pNextSibling, nullptr);
  }
  EXPECT_EQ(depth, kDepth);
}

// Peak memory grows by what a handful of rows need, not by an index up to
// the largest identifier (8 GB for 2,000,000,000).
TEST_F(CategoriesTreeTest, ACategoryNumberedTwoBillionCostsWhatOneRowCosts) {
  Database({{-1, -1, true}, {2000000000, -1, true}, {1999999999, 2000000000, false}, {4, -1, false}});
  const long before = PeakKilobytes();
  CCategoriesTree tree(nullptr);
  ASSERT_TRUE(tree.Load());
  EXPECT_LT(PeakKilobytes() - before, 64 * 1024);
  EXPECT_EQ(Children(tree.Root()), (std::vector<LONG>{2000000000, 4}));
  EXPECT_EQ(Children(tree.Find(2000000000)), (std::vector<LONG>{1999999999}));
}

}  // namespace
