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
    {
        const std::lock_guard lock(jobsMutex_);
        jobs_.push_back({generation, exercise, std::move(translation)});
    }
    // One thread takes the jobs in the order they came.
    pool_.start([this] {
        TJob job;
        {
            const std::lock_guard lock(jobsMutex_);
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        auto check =
            std::make_shared<TProgramCheck>(CheckTranslation(job.Exercise, job.Translation));
        // Delivered on the window's thread; dropped with this object, which outlives the task.
        window_.Post([this, generation = job.Generation, check] {
            --running_;
            if (generation == generation_)
                emit Checked(*check);
        });
    });
}
