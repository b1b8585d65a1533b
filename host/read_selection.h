#pragma once

#include <filesystem>
#include <optional>
#include <string>

// The text of the selection (X11's PRIMARY) or of the clipboard, in UTF-8, as
// the program pathHelper reads it. The program's own Qt application cannot
// do that: the library makes the process's one Qt application, which cannot
// be made twice, so a short-lived helper process with a Qt application of its
// own reads the text, and takes whatever the window system offers (Xwayland
// or Wayland, long texts sent in pieces, text in any encoding).
//
// Empty when nothing or nothing textual is selected; nullopt when the helper
// could not read it, with the reason in strError (unless the helper said it
// on standard error itself).
std::optional<std::string> ReadSelection(const std::filesystem::path& pathHelper, bool bClipboard,
                                         std::string& strError);
