// Contract: the chain of conversion steps. Each step is one source of this
// folder that declares it whole (framework/conversion_step.h); chain.cpp is
// the one list of them, in ascending order, and everything the program knows
// of versions comes from it (versions.h): the texts detection recognises,
// the short texts of backups, the target (the last step's `to`).
//
// A new step is its source here (convert_v253_to_v254.cpp defining
// `const ConversionStep& ConvertV253ToV254()`) and its line at the end of
// the chain in chain.cpp.
//
// A step's merges report their own failures as FALSE and leave database
// errors to the framework's phases (framework/conversion_step.h).
#pragma once

#include <span>

#include "framework/conversion_step.h"

// Every step, in ascending order; each one's `to` is the next one's `from`.
std::span<const ConversionStep* const> ChainSteps();
