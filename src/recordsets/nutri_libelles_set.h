// CNutriLibellesSet: the record set over [NutriLibelles], the nutrition
// labels. [OWNER] and [DATE_MAJ] exist from V2.5.3 on: a set over a table of
// the V2.5.2 shape keeps their members but does not bind them, so that it
// opens on it. The shape is the set's own switch, whichever database it
// reads.
#pragma once

#include "platform/recordset.h"
#include "recordsets/db_version.h"

// The columns a [NutriLibelles] table has.
enum class NutriLabelColumns {
  V252,  // without [OWNER] and [DATE_MAJ]
  V253,
};

class CNutriLibellesSet : public CRecordset {
 public:
  CNutriLibellesSet(CDatabase* pDatabase, DbVersion nDbVersion, NutriLabelColumns columns = NutriLabelColumns::V253);

  LONG m_ID;
  CString m_LIBELLE_1;
  CString m_LIBELLE_2;
  CString m_LIBELLE_3;
  CString m_LIBELLE_4;
  CString m_LIBELLE_5;
  CString m_LIB_CIQUAL;
  CString m_UNITE;
  LONG m_TYPEMSK;
  int m_NBDIGIT;
  int m_NUMORDRE;
  double m_ARJ;
  LONG m_BKCOL;
  LONG m_OWNER;
  CTime m_DATE_MAJ;
  DbVersion m_nDbVersion;
  NutriLabelColumns m_columns;

  CString GetDefaultConnect() override;
  CString GetDefaultSQL() override;
  void DoFieldExchange(CFieldExchange* pFX) override;

 private:
  bool BindsV253Columns() const { return m_columns == NutriLabelColumns::V253; }
};
