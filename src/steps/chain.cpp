#include "steps/chain.h"

#include <array>

#include "steps/convert_v20_to_v21.h"
#include "steps/convert_v21_to_v22.h"
#include "steps/convert_v22_to_v23.h"
#include "steps/convert_v23_to_v241.h"
#include "steps/convert_v241_to_v242.h"
#include "steps/convert_v242_to_v243.h"
#include "steps/convert_v243_to_v251.h"
#include "steps/convert_v2514_to_v252.h"
#include "steps/convert_v251_to_v2514.h"
#include "steps/convert_v252_to_v253.h"

namespace {

// A step object lives for the one call that runs it.
template <class Step, BOOL (Step::*Convert)(CString&)>
BOOL RunStepObject(CString& strDest, const CString& strTemplateDir) {
  Step step(strTemplateDir);
  return (step.*Convert)(strDest);
}

template <class Step, BOOL (Step::*Convert)(CString&)>
constexpr ChainLink Link(DbVersion from) {
  return {from, &RunStepObject<Step, Convert>, &Step::StructureOperations};
}

const std::array kChain{
    Link<CConvertV20ToV21, &CConvertV20ToV21::ConvertV20ToV21>(kDbVersion20),
    Link<CConvertV21ToV22, &CConvertV21ToV22::ConvertV21ToV22>(kDbVersion21),
    Link<CConvertV22ToV23, &CConvertV22ToV23::ConvertV22ToV23>(kDbVersion22),
    Link<CConvertV23ToV241, &CConvertV23ToV241::ConvertV23ToV241>(kDbVersion23),
    Link<CConvertV241ToV242, &CConvertV241ToV242::ConvertV241ToV242>(kDbVersion241),
    Link<CConvertV242ToV243, &CConvertV242ToV243::ConvertV242ToV243>(kDbVersion242),
    Link<CConvertV243ToV251, &CConvertV243ToV251::ConvertV243ToV251>(kDbVersion243),
    Link<CConvertV251ToV2514, &CConvertV251ToV2514::ConvertV251ToV2514>(kDbVersion251),
    Link<CConvertV2514ToV252, &CConvertV2514ToV252::ConvertV2514ToV252>(kDbVersion2514),
    Link<CConvertV252ToV253, &CConvertV252ToV253::ConvertV252ToV253>(kDbVersion252),
};

}  // namespace

std::span<const ChainLink> ChainLinks() { return kChain; }
