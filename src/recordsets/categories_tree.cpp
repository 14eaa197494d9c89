#include "recordsets/categories_tree.h"

#include "recordsets/categories_bulk_set.h"
#include "recordsets/categories_set.h"

namespace {

constexpr LONG kRootId = -1;
constexpr DWORD kAllColumns = 65535;
// Under category 0 siblings come in ascending identifier order at every
// depth; elsewhere in the order the database keeps them.
constexpr const char* kSortById = "[PERE_ID],[CLASS_ID]";
constexpr const char* kSortAsStored = "[PERE_ID]";

}  // namespace

CCategoriesTree::CCategoriesTree(CDatabase* pDatabase) : m_pDatabase(pDatabase) { m_index.Init(0, 100, 50); }

CCategoriesTree::~CCategoriesTree() { m_index.Free(); }

CategoryNode* CCategoriesTree::AddNode(CategoryNode* pParent, CategoryNode* pPrev, LONG nClassId,
                                       BOOL bHasChildren) {
  if (nClassId >= 0 && !m_index.SetAt(nClassId, static_cast<LONG>(m_nodes.size()) + 1)) return nullptr;
  CategoryNode& node = m_nodes.emplace_back();
  node.m_nClassId = nClassId;
  node.m_pParent = pParent;
  node.m_pPrevSibling = pPrev;
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
  const LONG entry = m_index.GetAt(nClassId);
  return entry > 0 ? &m_nodes[static_cast<std::size_t>(entry) - 1] : nullptr;
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
    if (!LoadChildren(set, pChild)) {
      set.Close();
      return FALSE;
    }
  }
  set.Close();
  return TRUE;
}

BOOL CCategoriesTree::LoadChildren(CCategoriesBulkSet& set, CategoryNode* pNode) {
  set.m_strBulkFilter.Format("[PERE_ID]=%d", static_cast<int>(pNode->m_nClassId));
  set.Requery();
  if (set.IsEOF()) {
    ClearHasChildren(pNode->m_nClassId);
    return TRUE;
  }
  CategoryNode* pPrev = nullptr;
  for (; !set.IsEOF(); set.MoveNext()) {
    pPrev = AddNode(pNode, pPrev, set.m_CLASS_ID, set.m_ASCHILD);
    if (pPrev == nullptr) return FALSE;
  }
  for (CategoryNode* pChild = pNode->m_pFirstChild; pChild != nullptr; pChild = pChild->m_pNextSibling)
    if (pChild->m_bHasChildren && !LoadChildren(set, pChild)) return FALSE;
  return TRUE;
}

void CCategoriesTree::ClearHasChildren(LONG nClassId) {
  CCategoriesSet categories(m_pDatabase, kConvertedDatabase);
  categories.m_strFilter.Format("[CLASS_ID]=%d", static_cast<int>(nClassId));
  categories.Open();
  if (!categories.IsEOF()) {
    categories.Edit();
    categories.m_ASCHILD = FALSE;
    categories.Update();
  }
  categories.Close();
}
