// The texts of --help and --version.
#pragma once

#include <cstdio>

// The usage, in French, to `out`.
void PrintUsage(std::FILE* out);

inline constexpr char kProgramVersion[] = "2.5.3";
inline constexpr char kVersionText[] = "updater 2.5.3 (Toquelin V2.5.3 Beta)";
