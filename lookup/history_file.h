#pragma once

#include <string>

// What the word history may do with its file, as the system tells it: the
// history is replaced whole and may be removed, but never through a path
// that leads to a file of someone else's, or out of the user's own folders.
class CHistoryFile
{
public:
    // Whether the file may be replaced: it is missing, or the user's own
    // regular file of one name; a link is followed only to such a file in the
    // user's home folder.
    static bool IsWritable(const std::string& strPath);
    // Removes the file, or the link in its place, leaving what a link points
    // to as it is; whether it is gone.
    static bool Remove(const std::string& strPath);
};
