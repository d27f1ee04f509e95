#pragma once
// A child window that asks before it closes with changes not saved. The
// main window asks every one of them before it closes any, so that Cancel
// to one question leaves every window as it was.

class CloseQuestion
{
public:
    virtual ~CloseQuestion() = default;

    // Asks about unsaved changes (Yes saves them); false when the window is
    // to stay open: Cancel, or a save that did not happen.
    virtual bool AskToClose() = 0;
    // The question has been answered: the next close does not ask again.
    virtual void CloseAnswered() = 0;
};
