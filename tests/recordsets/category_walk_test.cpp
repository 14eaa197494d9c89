#include "recordsets/category_walk.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// The tree  -1 ─ 1 ─ 2 ─ 3
//                │   └ 4
//                └ 5
struct SmallTree {
  SmallTree() {
    root = tree.AddNode(nullptr, nullptr, -1, TRUE);
    CategoryNode* one = tree.AddNode(root, nullptr, 1, TRUE);
    tree.AddNode(root, one, 5, FALSE);
    CategoryNode* two = tree.AddNode(one, nullptr, 2, TRUE);
    tree.AddNode(one, two, 4, FALSE);
    tree.AddNode(two, nullptr, 3, FALSE);
  }
  CCategoriesTree tree{nullptr};
  CategoryNode* root = nullptr;
};

TEST(CategoryWalkTest, ChildrenComeBeforeTheirParentAndSiblingsInOrder) {
  SmallTree t;
  std::vector<LONG> seen;
  EXPECT_TRUE(VisitChildrenFirst(t.root, [&](const CategoryNode* node, BOOL ok) {
    EXPECT_TRUE(ok);
    seen.push_back(node->m_nClassId);
    return TRUE;
  }));
  EXPECT_EQ(seen, (std::vector<LONG>{3, 2, 4, 1, 5, -1}));
}

// A failed child stops its later siblings; its parent is still visited and
// told, and decides what it returns.
TEST(CategoryWalkTest, AFailedChildStopsItsSiblingsAndTellsItsParent) {
  SmallTree t;
  std::vector<std::pair<LONG, BOOL>> seen;
  const BOOL result = VisitChildrenFirst(t.root, [&](const CategoryNode* node, BOOL ok) {
    seen.emplace_back(node->m_nClassId, ok);
    return node->m_nClassId == 2 ? FALSE : ok;
  });
  EXPECT_FALSE(result);
  EXPECT_EQ(seen, (std::vector<std::pair<LONG, BOOL>>{{3, TRUE}, {2, TRUE}, {1, FALSE}, {-1, FALSE}}));
}

// A parent that returns TRUE though a child failed lets its own later
// siblings be visited; a walk of a subtree never leaves it.
TEST(CategoryWalkTest, AParentMayOverruleAFailedChildAndASubtreeIsWalkedAlone) {
  SmallTree t;
  std::vector<std::pair<LONG, BOOL>> seen;
  EXPECT_TRUE(VisitChildrenFirst(t.root, [&](const CategoryNode* node, BOOL ok) {
    seen.emplace_back(node->m_nClassId, ok);
    return node->m_nClassId != 3;
  }));
  const std::vector<std::pair<LONG, BOOL>> expected{{3, TRUE}, {2, FALSE}, {4, TRUE}, {1, TRUE}, {5, TRUE}, {-1, TRUE}};
  EXPECT_EQ(seen, expected);

  std::vector<LONG> subtree;
  EXPECT_TRUE(VisitChildrenFirst(t.root->m_pFirstChild, [&](const CategoryNode* node, BOOL) {
    subtree.push_back(node->m_nClassId);
    return TRUE;
  }));
  EXPECT_EQ(subtree, (std::vector<LONG>{3, 2, 4, 1}));
  std::vector<LONG> leaf;
  VisitChildrenFirst(t.root->m_pFirstChild->m_pNextSibling, [&](const CategoryNode* node, BOOL) {
    leaf.push_back(node->m_nClassId);
    return TRUE;
  });
  EXPECT_EQ(leaf, (std::vector<LONG>{5}));
}

TEST(CategoryWalkTest, AMillionLevelsDeepNeedNoStack) {
  CCategoriesTree tree(nullptr);
  CategoryNode* node = tree.AddNode(nullptr, nullptr, -1, TRUE);
  const CategoryNode* top = node;
  for (LONG id = 1; id <= 1000000; ++id) node = tree.AddNode(node, nullptr, id, TRUE);
  LONG expected = 1000000;
  EXPECT_TRUE(VisitChildrenFirst(top, [&](const CategoryNode* n, BOOL) {
    const bool inOrder = n->m_nClassId == (expected == 0 ? -1 : expected);
    --expected;
    return inOrder ? TRUE : FALSE;
  }));
}

}  // namespace
