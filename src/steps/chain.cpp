#include "steps/chain.h"

// The chain, in ascending order: one line per step, naming the function
// that the step's source defines.
#define UPDATER_CHAIN(STEP) \
  STEP(ConvertV20ToV21)     \
  STEP(ConvertV21ToV22)     \
  STEP(ConvertV22ToV23)     \
  STEP(ConvertV23ToV241)    \
  STEP(ConvertV241ToV242)   \
  STEP(ConvertV242ToV243)   \
  STEP(ConvertV243ToV251)   \
  STEP(ConvertV251ToV2514)  \
  STEP(ConvertV2514ToV252)  \
  STEP(ConvertV252ToV253)

#define UPDATER_DECLARE_STEP(step) const ConversionStep& step();
UPDATER_CHAIN(UPDATER_DECLARE_STEP)
#undef UPDATER_DECLARE_STEP

std::span<const ConversionStep* const> ChainSteps() {
#define UPDATER_LINK(step) &step(),
  static const ConversionStep* const steps[] = {UPDATER_CHAIN(UPDATER_LINK)};
#undef UPDATER_LINK
  return steps;
}
