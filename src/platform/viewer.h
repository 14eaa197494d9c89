// Contract: showing the journal in the user's pager, in Notepad's place.
//
// OpenInViewer takes the file's path between double quotes, as the original
// passed it to Notepad. It reads the file as the journal is written
// (Windows-1252 with CR LF, text_file.h) and hands its text, converted to
// UTF-8 with LF line ends, to the standard input of the pager: $PAGER (a
// command that may carry arguments), else less, else more. The file itself
// is never changed, and the pager never opens it. A control character other
// than a tab or a line end is shown as ^X, so that nothing in the file can
// drive the terminal. less is told that the text is UTF-8 (LESSCHARSET,
// unless the user set it or LESSCHARDEF). While the pager runs, Ctrl-C and
// Ctrl-\ are the pager's alone. The call waits for the pager.
// Returns FALSE when the file cannot be read (missing, a symbolic link, not
// a regular file), no pager is found or it cannot be started.
#pragma once

#include <string>
#include <string_view>

#include "platform/text.h"
#include "platform/types.h"

BOOL OpenInViewer(const CString& quotedPath);

// The text the pager is given for the bytes of a journal.
std::string ViewedText(std::string_view journalBytes);
