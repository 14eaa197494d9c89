// Walks of a loaded category tree without recursion: a tree may be as deep
// as it has categories, far deeper than the stack.
#pragma once

#include <utility>
#include <vector>

#include "platform/types.h"
#include "recordsets/categories_tree.h"

// Visits the subtree of pTop depth first, every node after its children,
// siblings in their order: visit(node, childrenOk) → BOOL. childrenOk is
// FALSE when a child's visit returned FALSE; the later siblings of that
// child are then not visited, and the parent decides what its own visit
// still does. The result is that of pTop's visit. The tree is not changed.
template <class Visit>
BOOL VisitChildrenFirst(const CategoryNode* pTop, Visit visit) {
  struct Frame {
    const CategoryNode* node;
    const CategoryNode* next;  // the next child to visit
    BOOL ok;
  };
  std::vector<Frame> stack{{pTop, pTop->m_pFirstChild, TRUE}};
  BOOL result = TRUE;
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next != nullptr && top.ok) {
      const CategoryNode* child = top.next;
      top.next = child->m_pNextSibling;
      stack.push_back({child, child->m_pFirstChild, TRUE});
      continue;
    }
    result = visit(top.node, top.ok);
    stack.pop_back();
    if (!stack.empty() && !result) stack.back().ok = FALSE;
  }
  return result;
}
