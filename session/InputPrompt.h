#pragma once
// How the run session asks the user for a value: it opens the prompt for one request at a time,
// and the prompt's owner hands the answer back through TRunSession::AnswerInput.

class IInputPrompt {
public:
    virtual ~IInputPrompt() = default;
    // Shows the prompt for the request at the head of the session's queue.
    virtual void Open() = 0;
    // Closes an open prompt because nobody waits for its answer any more.
    virtual void Dismiss() = 0;
};
