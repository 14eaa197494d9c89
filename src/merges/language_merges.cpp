#include "merges/language_merges.h"

#include "merges/keyed_row.h"
#include "merges/merge_journal.h"
#include "recordsets/langue_printer_set.h"

namespace {

// Both label sets bind the same members; the copy is the same for both,
// Nulls carried as Nulls.
template <class LabelSet>
void CopyLabel(const LabelSet& from, LabelSet& to) {
  using S = LabelSet;
  CopyFields(from, to, &S::m_Classement, &S::m_Langue_1, &S::m_Langue_2, &S::m_Langue_3, &S::m_Langue_4,
             &S::m_Langue_5, &S::m_Libelle, &S::m_Owner);
}

// Puts the database set on the label of that identifier.
template <class LabelSet>
bool SeekLabel(LabelSet& db, int itemId) {
  return FindKeyedRow(db, "[Item_Id]=%d", itemId);
}

// The limited form: the template is already filtered on "[Item_Id]<=L" and
// sorted. A label up to the limit that the database lacks stops the merge
// before anything is appended.
template <class LabelSet>
BOOL MergeLimited(LabelSet& tmpl, LabelSet& db, int limit) {
  for (; !tmpl.IsEOF(); tmpl.MoveNext()) {
    if (!SeekLabel(db, tmpl.m_Item_Id)) return FALSE;
    db.Edit();
    CopyLabel(tmpl, db);
    db.Update();
  }
  tmpl.m_strFilter.Format("[Item_Id] > %d", limit);
  tmpl.Requery();
  for (; !tmpl.IsEOF(); tmpl.MoveNext()) {
    db.AddNew();
    CopyField(tmpl, tmpl.m_Item_Id, db, db.m_Item_Id);
    CopyLabel(tmpl, db);
    db.Update();
  }
  return TRUE;
}

template <class LabelSet>
void MergeFull(LabelSet& tmpl, LabelSet& db) {
  AddOrOverwriteRows(
      tmpl, db, "[Item_Id]=%d", [](const LabelSet& row) { return static_cast<int>(row.m_Item_Id); },
      [](const LabelSet& from, LabelSet& to, bool added) {
        if (added) CopyField(from, from.m_Item_Id, to, to.m_Item_Id);
        CopyLabel(from, to);
      });
}

template <class LabelSet>
BOOL Merge(LabelSet& tmpl, LabelSet& db, std::optional<int> limit) {
  if (!limit) {
    MergeFull(tmpl, db);
    return TRUE;
  }
  return MergeLimited(tmpl, db, *limit);
}

}  // namespace

BOOL UpdateLanguePrinter(CDatabase* pDb, CDatabase* pTemplateDb, DbVersion nTemplateVersion, std::optional<int> limit) {
  CLanguePrinterSet tmpl(pTemplateDb, nTemplateVersion);
  if (limit) tmpl.m_strFilter.Format("[Item_Id]<=%d", *limit);
  tmpl.m_strSort = "[Item_Id]";
  tmpl.Open();
  CLanguePrinterSet db(pDb, kConvertedDatabase);
  OpenForKeyedRows(db);
  const BOOL result = Merge(tmpl, db, limit);
  db.Close();
  tmpl.Close();
  JournalTableResult(result, "Langue_Printer");
  return result;
}

BOOL UpdateLangueSystem(CDatabase* pDb, CSysLanguageSet& templateSet, std::optional<int> limit) {
  // The set may have been opened on no row at all.
  if (limit) templateSet.m_strFilter.Format("[Item_Id]<=%d", *limit);
  else templateSet.m_strFilter.Empty();
  templateSet.m_strSort = "[Item_Id]";
  templateSet.Requery();
  CSysLanguageSet db(pDb, kConvertedDatabase);
  OpenForKeyedRows(db);
  const BOOL result = Merge(templateSet, db, limit);
  db.Close();
  JournalTableResult(result, "Langue_System");
  return result;
}
