#include "window/ExerciseCheck.h"

#include <memory>
#include <utility>

TExerciseCheck::TExerciseCheck(QObject* parent) : QObject(parent)
{
    // One check at a time: a second Check while the first runs waits for the core it uses.
    pool_.setMaxThreadCount(1);
}

TExerciseCheck::~TExerciseCheck()
{
    pool_.waitForDone();
}

void TExerciseCheck::Start(const TExercise& exercise, TTranslation translation)
{
    const int generation = ++generation_;
    ++running_;
    pool_.start([this, generation, exercise, translation = std::move(translation)] {
        auto check = std::make_shared<TProgramCheck>(CheckTranslation(exercise, translation));
        // Delivered on the window's thread; dropped with this object, which outlives the task.
        QMetaObject::invokeMethod(
            this,
            [this, generation, check] {
                --running_;
                if (generation == generation_)
                    emit Checked(*check);
            },
            Qt::QueuedConnection);
    });
}
