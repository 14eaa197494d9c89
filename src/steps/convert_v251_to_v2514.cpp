#include "steps/convert_v251_to_v2514.h"

namespace {

const StepConstants& Step() { return StepConstantsFrom(kDbVersion251); }

const std::vector<DdlOperation>& StructureV2514() {
  static const std::vector<DdlOperation> ops{
      // AddRecettesHtml2
      {{{"ALTER TABLE [Recettes] ADD COLUMN [HTML2] TEXT(255)", "Table [Recettes] modifiée\n"}}},
  };
  return ops;
}

}  // namespace

BOOL CConvertV251ToV2514::ConvertV251ToV2514(CString& strDest) {
  return RunPhases(strDest, Step(), &CConvertV251ToV2514::UpdateStructureV2514, &CConvertV251ToV2514::UpdateDataV2514);
}

const std::vector<DdlOperation>& CConvertV251ToV2514::StructureOperations() { return StructureV2514(); }

BOOL CConvertV251ToV2514::UpdateStructureV2514(CDatabase* pDb) {
  return RunStructurePhase(pDb, Step(), StructureV2514());
}

BOOL CConvertV251ToV2514::UpdateDataV2514(CDatabase* pDb) {
  return RunDataPhase(pDb, Step(), m_strTemplateDir, {LanguageMerges(Step())});
}
