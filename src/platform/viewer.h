// Contract: opening a text file in the user's viewer, in Notepad's place.
//
// OpenInViewer takes the file's path between double quotes, as the
// original passed it to Notepad. The viewer is the first of $VISUAL,
// $EDITOR (each may hold a command with arguments), xdg-open and less that
// is set or found. The path reaches it as one argument whatever characters
// it holds (never through shell parsing). Returns FALSE when no viewer is
// found or it cannot be started.
// Difference: the original did not wait for Notepad; a terminal viewer
// must own the terminal until it ends, so the call waits for the viewer.
#pragma once

#include "platform/text.h"
#include "platform/types.h"

BOOL OpenInViewer(const CString& quotedPath);
