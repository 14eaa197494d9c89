// Saved queries: CREATE VIEW keeps the text of a SELECT under a name, and
// a FROM that names it reads that SELECT as a subquery (compile_select.cpp).
#include "errors.h"
#include "executors.h"
#include "parser.h"

namespace jetdb {

bool executeCreateView(Session& s, const CreateView& st) {
  if (!validObjectName(st.name)) return s.fail(errors::invalidName(st.name));
  if (s.catalog.findTable(st.name) || s.catalog.findView(st.name)) return s.fail(errors::tableExists(st.name));
  // A view that names what does not exist is refused now, not when read.
  Statement parsed;
  if (!parseStatement(st.sql, parsed, s.last)) return false;
  CompiledSelect compiled;
  if (!compileSelect(s, std::get<Select>(parsed), compiled)) return false;
  if (!s.catalog.saveView(s.db, ViewMeta{st.name, st.sql})) return s.fail(s.sqliteError());
  return true;
}

bool executeDropView(Session& s, const DropView& st) {
  const ViewMeta* view = s.catalog.findView(st.name);
  if (!view) return s.fail(errors::tableNotFound(st.name));
  if (!s.catalog.removeView(s.db, view->name)) return s.fail(s.sqliteError());
  return true;
}

}  // namespace jetdb
