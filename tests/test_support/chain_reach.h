// The version that a run from a given version reaches when every step
// succeeds: as far as the links of the chain follow one another. While a
// step is still being written the chain has a gap, and a run stops there.
#pragma once

#include "framework/step_table.h"
#include "framework/version_table.h"
#include "steps/chain.h"

inline DbVersion ChainReach(DbVersion from) {
  for (const ChainLink& link : ChainLinks())
    if (ConvertedAs(from) == link.from) from = StepConstantsFrom(link.from).to;
  return from;
}
