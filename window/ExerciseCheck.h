#pragma once
// Checks a program against an exercise away from the window's thread, so that the window stays
// responsive however long the cases take (each is ended by the exercise's step budget at the
// latest). The result comes back on the window's thread; a check started later, or Forget(),
// makes the result of an earlier one go unreported.

#include "exercise/CaseCheck.h"

#include "translator/Translation.h"

#include <QObject>
#include <QThreadPool>

class TExerciseCheck : public QObject {
    Q_OBJECT
public:
    explicit TExerciseCheck(QObject* parent = nullptr);
    // Waits for a check under way, whose result has nobody to go to.
    ~TExerciseCheck() override;

    // Checks every case of the exercise on the program's translation.
    void Start(const TExercise& exercise, TTranslation translation);
    // The check under way, if any, is of a program or an exercise no longer shown.
    void Forget() { ++generation_; }
    // Whether a check is under way, reported or not.
    bool Busy() const { return running_ > 0; }

signals:
    void Checked(const TProgramCheck& check);

private:
    QThreadPool pool_;
    int generation_ = 0;
    int running_ = 0;
};
