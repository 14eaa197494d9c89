#include "steps/chain.h"

#include <array>

#include "steps/convert_v20_to_v21.h"
#include "steps/convert_v21_to_v22.h"

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
};

}  // namespace

std::span<const ChainLink> ChainLinks() { return kChain; }
