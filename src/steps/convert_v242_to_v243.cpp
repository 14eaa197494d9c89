#include "steps/convert_v242_to_v243.h"

namespace {

const StepConstants& Step() { return StepConstantsFrom(kDbVersion242); }

}  // namespace

BOOL CConvertV242ToV243::ConvertV242ToV243(CString& strDest) {
  return RunPhases<CConvertV242ToV243>(strDest, Step(), nullptr, &CConvertV242ToV243::UpdateDataV243);
}

const std::vector<DdlOperation>& CConvertV242ToV243::StructureOperations() {
  static const std::vector<DdlOperation> none;
  return none;
}

BOOL CConvertV242ToV243::UpdateDataV243(CDatabase* pDb) {
  return RunDataPhase(pDb, Step(), m_strTemplateDir, {LanguageMerges(Step())});
}
