// The template folder when the registry's "ExePath" names none.
//
// An installed program finds the templates that were installed with it, from
// its own place: PREFIX/lib/toquelin/updater looks in PREFIX/share/toquelin
// (the relative path comes from the build's install layout), so that the
// package, or a `cmake --install` to any prefix, converts without settings.
// A program run from a build tree has no such folder beside it and keeps the
// current folder. "ExePath" always wins: ReadSettings asks this only without.
#pragma once

#include <optional>

#include "platform/text.h"

// The installed templates' folder, when the program runs from its installed
// place and that folder is there.
std::optional<CString> InstalledTemplateDir();
