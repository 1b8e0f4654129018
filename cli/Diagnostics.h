#pragma once
// A translation's warnings and failure on standard error, the way compilers write them so
// that editors can jump to the line.

#include "translator/Translation.h"

#include <cstdio>
#include <string>

// Writes "FILE:LINE: warning: message" for each warning (when warnings is true) and
// "FILE:LINE: message." for the failure, in program line order, a failure after the warnings
// of its own line. Control characters in the file name and the messages are escaped.
void WriteDiagnostics(std::FILE* err, const std::string& file, const TTranslation& translation,
                      bool warnings);
