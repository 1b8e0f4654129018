#pragma once
// What a translation tells the program editor: each warning marks its line with the warning
// as tooltip, and a failure marks its line and takes the cursor there once the error box has
// been closed. The marks go with the next change of the text.

#include <QString>

struct TTranslation;
class TCodeEditor;

class TTranslationFeedback {
public:
    explicit TTranslationFeedback(TCodeEditor& program);

    // Marks the translation's warnings. True when it failed: the failure is remembered for
    // ShowFailure, which the window calls once its error box has shown the failure's message.
    [[nodiscard]] bool Show(const TTranslation& translation);
    // After the error box: marks the remembered failure's line and puts the cursor at its
    // start. False when the last translation did not fail.
    bool ShowFailure();

private:
    TCodeEditor& program_;
    int failureLine_ = -1;
    QString failureText_;
};
