// CCategoriesTree: the category hierarchy of the database being converted,
// read once through one bulk set into linked nodes and indexed by category
// identifier. Reading it also clears the [ASCHILD] flag of categories that
// claim sub-categories and have none, and breaks a loop: a category met a
// second time (the root whose [PERE_ID] names one of its own descendants)
// is not read again; the edge that closed the loop is journaled, and the
// root's own [PERE_ID] goes back to -1, so that no walk reaches it. A loaded
// tree is never changed: users that delete categories from the database
// keep walking the tree as read. Reading is iterative and its memory
// follows the number of categories, whatever their identifiers.
#pragma once

#include <memory>
#include <unordered_set>
#include <vector>

#include "platform/database.h"
#include "recordsets/index_array.h"
#include "recordsets/sparse_index.h"

class CCategoriesBulkSet;

// The links first and the two 32-bit members together, and no link to the
// previous sibling, which no walk follows: 32 bytes, not 48, for each of a
// million categories.
struct CategoryNode {
  CategoryNode* m_pParent = nullptr;  // null for the root
  CategoryNode* m_pFirstChild = nullptr;
  CategoryNode* m_pNextSibling = nullptr;
  LONG m_nClassId = 0;
  BOOL m_bHasChildren = FALSE;  // [ASCHILD] as read
};

class CCategoriesTree {
 public:
  explicit CCategoriesTree(CDatabase* pDatabase);
  ~CCategoriesTree();
  CCategoriesTree(const CCategoriesTree&) = delete;
  CCategoriesTree& operator=(const CCategoriesTree&) = delete;

  // Reads the hierarchy from the root (category -1) down, through every
  // category whose [ASCHILD] is set. FALSE when there is no root or a node
  // cannot be added. Database errors reach the caller as CDBException.
  BOOL Load();

  // The node of a category; null for a negative identifier (the root is
  // never indexed) and for a category that was not read.
  CategoryNode* Find(LONG nClassId);
  CategoryNode* Root() const { return m_pRoot; }

  // Links a new node as the next sibling of pPrev, else as the first child
  // of pParent, else as the root; indexes it when its identifier is not
  // negative. Null when it cannot be indexed.
  CategoryNode* AddNode(CategoryNode* pParent, CategoryNode* pPrev, LONG nClassId, BOOL bHasChildren);

 private:
  // Reads the subtree of pTop, every node's children before those of its
  // first child, as a depth-first reading would.
  BOOL LoadSubtree(CCategoriesBulkSet& set, CategoryNode* pTop);
  // A category that claims sub-categories and has none gets [ASCHILD] FALSE.
  void ClearHasChildren(LONG nClassId);
  // Whether a category of that identifier is in the tree already.
  bool Holds(LONG nClassId) const;
  // The row of category nClassId under nParentId closes a loop.
  void BreakLoop(LONG nClassId, LONG nParentId);

  CDatabase* m_pDatabase;
  // The node's place among the nodes plus one; 0 for no node. Identifiers
  // up to about twice the number of nodes are in the array, larger ones in
  // the sparse index, so that one category numbered 2,000,000,000 costs one
  // entry.
  CIndexArray m_index;
  CSparseIndex m_sparse;
  std::unordered_set<LONG> m_negative;  // not indexed, only to tell loops
  CategoryNode* m_pRoot = nullptr;
  // The nodes, in blocks that never move while nodes are added; each block
  // doubles the last, so that a small tree costs little and a large one
  // few allocations.
  CategoryNode& Node(std::size_t entry);
  CategoryNode& NewNode();
  std::vector<std::unique_ptr<CategoryNode[]>> m_blocks;
  std::size_t m_nNodes = 0;
};
