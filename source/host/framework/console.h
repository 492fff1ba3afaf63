// One line to the host's console, naming the statement that writes it.
#pragma once

#include "host_string.h"
#include "source_file.h"

namespace framework {

// Writes `text` through the host's default logger for all audiences. Without
// a logger nothing is written.
void ConsoleWrite(const String &text, const char *file, int32_t line);

}  // namespace framework

// A macro, so that file and line are those of the writing statement.
#define KWANTEL_CONSOLE_WRITE(text) ::framework::ConsoleWrite((text), KWANTEL_SOURCE_FILE, __LINE__)
