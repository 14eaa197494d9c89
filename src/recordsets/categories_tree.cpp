#include "recordsets/categories_tree.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "recordsets/categories_bulk_set.h"
#include "recordsets/categories_set.h"
#include "shell/journal.h"

namespace {

constexpr LONG kRootId = -1;
constexpr DWORD kAllColumns = 65535;
// Under category 0 siblings come in ascending identifier order at every
// depth; elsewhere in the order the database keeps them.
constexpr const char* kSortById = "[PERE_ID],[CLASS_ID]";
constexpr const char* kSortAsStored = "[PERE_ID]";
// Identifiers below this always go to the array, whatever the count.
constexpr std::size_t kDenseFloor = 4096;
// The sample's tree fits the first block.
constexpr std::size_t kFirstBlockNodes = 256;

}  // namespace

CCategoriesTree::CCategoriesTree(CDatabase* pDatabase) : m_pDatabase(pDatabase) { m_index.Init(0, 100, 50); }

CCategoriesTree::~CCategoriesTree() { m_index.Free(); }

CategoryNode* CCategoriesTree::AddNode(CategoryNode* pParent, CategoryNode* pPrev, LONG nClassId,
                                       BOOL bHasChildren) {
  const std::size_t entry = m_nNodes + 1;
  if (nClassId < 0) {
    m_negative.insert(nClassId);
  } else if (static_cast<std::size_t>(nClassId) < std::max(kDenseFloor, 2 * entry)) {
    if (!m_index.SetAt(nClassId, static_cast<LONG>(entry))) return nullptr;
  } else {
    m_sparse.Set(nClassId, static_cast<std::uint32_t>(entry));
  }
  CategoryNode& node = NewNode();
  node.m_nClassId = nClassId;
  node.m_pParent = pParent;
  node.m_bHasChildren = bHasChildren;
  if (pPrev != nullptr) {
    pPrev->m_pNextSibling = &node;
  } else if (pParent != nullptr) {
    pParent->m_pFirstChild = &node;
  } else {
    m_pRoot = &node;
  }
  return &node;
}

CategoryNode* CCategoriesTree::Find(LONG nClassId) {
  if (nClassId < 0) return nullptr;
  std::size_t entry = static_cast<std::size_t>(m_index.GetAt(nClassId));
  if (entry == 0) entry = m_sparse.Get(nClassId);
  return entry > 0 ? &Node(entry - 1) : nullptr;
}

bool CCategoriesTree::Holds(LONG nClassId) const {
  if (nClassId < 0) return m_negative.count(nClassId) != 0;
  return m_index.GetAt(nClassId) != 0 || m_sparse.Get(nClassId) != 0;
}

// Block b holds kFirstBlockNodes << b nodes, so node n is in the block of
// the highest bit of n / kFirstBlockNodes + 1.
CategoryNode& CCategoriesTree::Node(std::size_t n) {
  const std::size_t scaled = n / kFirstBlockNodes + 1;
  const int block = std::bit_width(scaled) - 1;
  const std::size_t first = ((std::size_t{1} << block) - 1) * kFirstBlockNodes;
  return m_blocks[static_cast<std::size_t>(block)][n - first];
}

CategoryNode& CCategoriesTree::NewNode() {
  const std::size_t capacity = ((std::size_t{1} << m_blocks.size()) - 1) * kFirstBlockNodes;
  if (m_nNodes == capacity) m_blocks.push_back(std::make_unique<CategoryNode[]>(kFirstBlockNodes << m_blocks.size()));
  return Node(m_nNodes++);
}

BOOL CCategoriesTree::Load() {
  CCategoriesBulkSet set(m_pDatabase, kConvertedDatabase);
  set.m_strBulkSort = kSortAsStored;
  set.m_strBulkFilter.Format("[CLASS_ID]=%d", kRootId);
  set.OpenColumns(kAllColumns);
  if (set.IsEOF() || AddNode(nullptr, nullptr, set.m_CLASS_ID, set.m_ASCHILD) == nullptr) {
    set.Close();
    return FALSE;
  }

  set.m_strBulkFilter.Format("[PERE_ID]=%d", kRootId);
  set.Requery();
  CategoryNode* pPrev = nullptr;
  for (; !set.IsEOF(); set.MoveNext()) {
    // The root is its own parent's row too; it is not its own child.
    if (set.m_CLASS_ID == kRootId) continue;
    pPrev = AddNode(m_pRoot, pPrev, set.m_CLASS_ID, set.m_ASCHILD);
    if (pPrev == nullptr) {
      set.Close();
      return FALSE;
    }
  }

  for (CategoryNode* pChild = m_pRoot->m_pFirstChild; pChild != nullptr; pChild = pChild->m_pNextSibling) {
    if (!pChild->m_bHasChildren) continue;
    const char* sort = pChild->m_nClassId == 0 ? kSortById : kSortAsStored;
    if (set.m_strBulkSort != sort) set.m_strBulkSort = sort;
    if (!LoadSubtree(set, pChild)) {
      set.Close();
      return FALSE;
    }
  }
  set.Close();
  return TRUE;
}

BOOL CCategoriesTree::LoadSubtree(CCategoriesBulkSet& set, CategoryNode* pTop) {
  // The nodes still to read, the next one last: a node's children go on in
  // reverse, so that the first child's subtree is read before the second.
  std::vector<CategoryNode*> pending{pTop};
  std::vector<CategoryNode*> added;
  std::vector<LONG> looped;
  while (!pending.empty()) {
    CategoryNode* pNode = pending.back();
    pending.pop_back();
    set.m_strBulkFilter.Format("[PERE_ID]=%d", static_cast<int>(pNode->m_nClassId));
    set.Requery();
    if (set.IsEOF()) {
      ClearHasChildren(pNode->m_nClassId);
      continue;
    }
    added.clear();
    looped.clear();
    CategoryNode* pPrev = nullptr;
    for (; !set.IsEOF(); set.MoveNext()) {
      if (Holds(set.m_CLASS_ID)) {
        looped.push_back(set.m_CLASS_ID);
        continue;
      }
      pPrev = AddNode(pNode, pPrev, set.m_CLASS_ID, set.m_ASCHILD);
      if (pPrev == nullptr) return FALSE;
      if (pPrev->m_bHasChildren) added.push_back(pPrev);
    }
    // The set reads as it goes: a loop is mended once its rows are read.
    for (LONG nClassId : looped) BreakLoop(nClassId, pNode->m_nClassId);
    pending.insert(pending.end(), added.rbegin(), added.rend());
  }
  return TRUE;
}

namespace {

// Writes one column of one category through its record set.
template <class Assign>
void EditCategory(CDatabase* pDatabase, LONG nClassId, Assign assign) {
  CCategoriesSet categories(pDatabase, kConvertedDatabase);
  categories.m_strFilter.Format("[CLASS_ID]=%d", static_cast<int>(nClassId));
  categories.Open();
  if (!categories.IsEOF()) {
    categories.Edit();
    assign(categories);
    categories.Update();
  }
  categories.Close();
}

}  // namespace

void CCategoriesTree::BreakLoop(LONG nClassId, LONG nParentId) {
  JournalFormat("Arbre des catégories : boucle rompue entre la catégorie %d et la catégorie %d\n",
                static_cast<int>(nClassId), static_cast<int>(nParentId));
  // The root belongs at the top: its [PERE_ID] is -1, as the root's row of
  // every template has it. Any other category met twice is a row that
  // repeats an identifier; it stays as it is, read once.
  if (nClassId != kRootId) return;
  EditCategory(m_pDatabase, kRootId, [](CCategoriesSet& set) { set.m_PERE_ID = kRootId; });
}

void CCategoriesTree::ClearHasChildren(LONG nClassId) {
  EditCategory(m_pDatabase, nClassId, [](CCategoriesSet& set) { set.m_ASCHILD = FALSE; });
}
