#pragma once
// Checking many programs against one exercise, several at a time, each result kept in the
// place of its program so that what is printed follows the command line whatever the order
// the checks finish in.

#include "exercise/CaseCheck.h"
#include "exercise/Exercise.h"
#include "translator/Translation.h"

#include <string>
#include <vector>

struct TProgramGrade {
    std::string Program;        // as given on the command line
    std::string ReadError;      // why the file could not be read; empty when it was
    TTranslation Translation;   // for its warnings and failure; empty when not read
    TProgramCheck Check;        // one result per case, also when the program was not read
};

// Checks every program with `jobs` threads (at least one, at most one per program).
std::vector<TProgramGrade> CheckPrograms(const TInstructionTable& table,
                                         const TExercise& exercise,
                                         const std::vector<std::string>& programs,
                                         unsigned jobs);
