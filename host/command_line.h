#pragma once

#include <optional>
#include <string>

// What the quillbridge program is asked to do. Options come alone; after "--"
// the one argument is the word whatever it starts with, so that editors can
// pass any word under the cursor.
class CCommandLine
{
public:
    enum class EMode { Word, Selection, Clipboard, Version, Help };

    // The arguments after the program's name; nothing when they are not
    // understood (an unknown option, two words, an option with a word).
    static std::optional<CCommandLine> Parse(int argc, const char* const* argv);

    EMode mode = EMode::Word;
    std::optional<std::string> word;
};
