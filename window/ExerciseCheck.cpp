#include "window/ExerciseCheck.h"

#include <memory>
#include <utility>

TExerciseCheck::TExerciseCheck(const TInstructionTable& table, QObject* parent)
    : QObject(parent), table_(table)
{
    // One check at a time: a second Check while the first runs waits for the core it uses.
    pool_.setMaxThreadCount(1);
}

TExerciseCheck::~TExerciseCheck()
{
    pool_.waitForDone();
}

void TExerciseCheck::Start(const TExercise& exercise, std::vector<std::string> program)
{
    const int generation = ++generation_;
    ++running_;
    pool_.start([this, generation, exercise, program = std::move(program)] {
        auto check = std::make_shared<TProgramCheck>(CheckProgram(table_, exercise, program));
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
