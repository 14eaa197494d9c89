// Paths as a Linux user types them: the home folder's "~" and paths
// relative to the current folder. The rest of a path is kept byte for byte
// (no trimming: a name that ends in a blank is that name).
#pragma once

#include "platform/text.h"

// "~" and "~/..." name the home folder ($HOME, else the password entry's);
// any other text, "~user/..." included, comes back unchanged.
CString ExpandTilde(const CString& path);

// A relative path joined to the current folder; an absolute one unchanged.
// Empty when the current folder cannot be named (removed while in use).
CString InCurrentFolder(const CString& path);
