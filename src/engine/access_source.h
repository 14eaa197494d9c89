// A real Access file given as the source. The program converts only
// databases of its own format; such a file is refused with one line that
// says what it is and how to bring it in (jetsql --import), instead of
// "version non reconnue".
#pragma once

#include "platform/text.h"

// The refusal for a source whose first bytes are those of a Jet 3 or Jet 4
// file; empty for any other file. Reads the file's first page only.
CString AccessSourceReason(const CString& strSource);
