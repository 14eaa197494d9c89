// jetsql at a terminal: the prompt, line editing, the history kept in
// ~/.jetsql_history from one session to the next, and Ctrl-C.
#pragma once

#include "session.h"

namespace jetsql {

// Ctrl-C from now on cancels the statement running, if any, instead of
// ending the program; Session::interrupted() then says it was pressed.
void catchInterrupt();

// Prompts for statements until .quit or an end of file. A refused
// statement ends nothing; Ctrl-C cancels the statement running, or drops
// the lines typed, and prompts again. Returns the exit code.
int interactive(Session& session);

}  // namespace jetsql
