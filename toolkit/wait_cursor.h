#pragma once

// The busy cursor for the life of the object, also when an exception ends
// the scope early.
class CWaitCursor
{
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

    // Puts the busy cursor back after something (a message box) replaced it.
    void Restore();
};
