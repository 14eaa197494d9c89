#include "merges/merge_journal.h"

#include "shell/journal.h"

void JournalTableResult(BOOL result, const char* table) {
  CString line;
  if (result) {
    line.Format("Données table [%s] mises à jour.\n", table);
  } else {
    line.Format("ERREUR : Données table [%s] non mises à jour.\n", table);
  }
  JournalWrite(line);
}
