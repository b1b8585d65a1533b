#pragma once

#include <string>

class CDictCatalogue;

// What the user is told when a catalogue could not be saved: the file, the
// reason and the catalogue whose edits are at stake.
class CSaveFailure
{
public:
    // The reasons a user can act on, in the window's own language; the rest
    // keep the system's text beside the error number.
    static std::u16string Reason(int nError);
    // The save failed for good (at the end of the process, say).
    static std::u16string Text(const CDictCatalogue& catalogue);
    // The window is still open: try again, or close without saving.
    static std::u16string Question(const CDictCatalogue& catalogue);

private:
    // Whether the error is the user's disk quota used up, which the user
    // reads as a full disk; each platform numbers it its own way.
    static bool IsOutOfQuota(int nError);
};
