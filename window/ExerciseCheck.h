#pragma once
// Checks a program against an exercise away from the window's thread, so that the window stays
// responsive however long the cases take (each is ended by the exercise's step budget at the
// latest). The result comes back on the window's thread; a check started later, or Forget(),
// makes the result of an earlier one go unreported.

#include "exercise/CaseCheck.h"
#include "session/QtWindowThread.h"

#include "translator/Translation.h"

#include <QObject>
#include <QThreadPool>

#include <deque>
#include <mutex>

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
    struct TJob {
        int Generation = 0;
        TExercise Exercise;
        TTranslation Translation;
    };

    // The jobs go to the pool's thread under a lock of our own, and the results come back
    // through the window's hand-over, so every hand-over is one the thread checker can see.
    std::mutex jobsMutex_;
    std::deque<TJob> jobs_;
    TQtWindowThread window_{*this};
    QThreadPool pool_;
    int generation_ = 0;
    int running_ = 0;
};
