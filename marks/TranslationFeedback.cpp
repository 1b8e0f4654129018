#include "marks/TranslationFeedback.h"

#include "editor/CodeEditor.h"
#include "translator/Translation.h"

TTranslationFeedback::TTranslationFeedback(TCodeEditor& program) : program_(program) {}

bool TTranslationFeedback::Show(const TTranslation& translation)
{
    program_.ClearMarks();
    failureLine_ = -1;
    failureText_.clear();
    // The translation counts lines from 1, the editor from 0.
    for (const TTranslationWarning& warning : translation.Warnings)
        program_.AddWarningMark(static_cast<int>(warning.Line) - 1,
                                QString::fromStdString(warning.Message));
    if (!translation.Failure)
        return false;
    failureLine_ = static_cast<int>(translation.Failure->Line) - 1;
    failureText_ = QString::fromStdString(translation.Failure->Message);
    return true;
}

bool TTranslationFeedback::ShowFailure()
{
    if (failureLine_ < 0)
        return false;
    const int line = failureLine_;
    failureLine_ = -1;
    program_.MoveCursorToLine(line);
    program_.SetErrorMark(line, failureText_);
    return true;
}
