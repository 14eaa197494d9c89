// A text the user typed or wrote in a file, quoted for a message.
#pragma once

#include <string_view>

#include "platform/text.h"

// Between « », with control characters written as \xNN so that nothing
// quoted can drive the terminal, and cut (with "…") when very long.
CString Quoted(std::string_view text);
