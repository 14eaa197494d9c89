// Walks of a loaded category tree without recursion: a tree may be as deep
// as it has categories, far deeper than the stack.
#pragma once

#include "platform/types.h"
#include "recordsets/categories_tree.h"

// Visits the subtree of pTop depth first, every node after its children,
// siblings in their order: visit(node, childrenOk) → BOOL. childrenOk is
// FALSE when a child's visit returned FALSE; the later siblings of that
// child are then not visited, and the parent decides what its own visit
// still does. The result is that of pTop's visit. The tree is not changed.
template <class Visit>
BOOL VisitChildrenFirst(const CategoryNode* pTop, Visit visit) {
  // No stack: the parent links lead back up, and only one flag is in
  // flight. A child's FALSE sends the walk straight to its parent, so a
  // parent's childrenOk is the result of the last child visited. A chain a
  // million deep then costs nothing beyond its nodes.
  auto deepestFirst = [](const CategoryNode* pNode) {
    while (pNode->m_pFirstChild != nullptr) pNode = pNode->m_pFirstChild;
    return pNode;
  };
  const CategoryNode* pNode = deepestFirst(pTop);
  BOOL childrenOk = TRUE;
  for (;;) {
    const BOOL result = visit(pNode, childrenOk);
    if (pNode == pTop) return result;
    if (result && pNode->m_pNextSibling != nullptr) {
      pNode = deepestFirst(pNode->m_pNextSibling);
      childrenOk = TRUE;
    } else {
      pNode = pNode->m_pParent;
      childrenOk = result;
    }
  }
}
