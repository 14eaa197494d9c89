#include "steps/convert_v22_to_v23.h"

namespace {

const StepConstants& Step() { return StepConstantsFrom(kDbVersion22); }

const std::vector<DdlOperation>& StructureV23() {
  static const std::vector<DdlOperation> ops{
      // AddFicheProductionRemise
      {{{"ALTER TABLE [FicheProduction] ADD [REMISE] REAL", "Champs [FicheProduction].[REMISE] ajouté\n"}}},
      // CreateTableLanClients: the index is still sent when the table was
      // refused, as the Windows tool did.
      {{{"CREATE TABLE [LAN_Clients] ( [SERNUM] TEXT(12) CONSTRAINT PrimaryKey PRIMARY KEY NOT NULL, [ENABLE] BIT, "
         "[TRACEDETAIL] BIT)",
         "Table [LAN_Clients] créee\n", OnFailure::GoOn},
        {"CREATE UNIQUE INDEX [SERNUM] ON [LAN_Clients] ( [SERNUM] )", "Index [LAN_Clients].[SERNUM] crée\n"}}},
      // AddUtilisateursConsultOnly
      {{{"ALTER TABLE [Utilisateurs] ADD [CONSULT_ONLY] BIT", "Champs [Utilisateurs].[CONSULT_ONLY] ajouté\n"}}},
  };
  return ops;
}

}  // namespace

BOOL CConvertV22ToV23::ConvertV22ToV23(CString& strDest) {
  return RunPhases(strDest, Step(), &CConvertV22ToV23::UpdateStructureV23, &CConvertV22ToV23::UpdateDataV23);
}

const std::vector<DdlOperation>& CConvertV22ToV23::StructureOperations() { return StructureV23(); }

BOOL CConvertV22ToV23::UpdateStructureV23(CDatabase* pDb) { return RunStructurePhase(pDb, Step(), StructureV23()); }

BOOL CConvertV22ToV23::UpdateDataV23(CDatabase* pDb) {
  return RunDataPhase(pDb, Step(), m_strTemplateDir, {LanguageMerges(Step())});
}
