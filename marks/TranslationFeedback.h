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

    // Marks the translation's warnings. A failure is remembered for ShowFailure and then
    // rethrown as Translate throws it, so that the error box shows it.
    void Show(const TTranslation& translation);
    // After the error box: marks the remembered failure's line and puts the cursor at its
    // start. False when the last translation did not fail.
    bool ShowFailure();
    // Whether a failure waits for ShowFailure.
    bool Failed() const { return failureLine_ >= 0; }

private:
    TCodeEditor& program_;
    int failureLine_ = -1;
    QString failureText_;
};
