#include "command_line.h"

#include <string_view>

std::optional<CCommandLine> CCommandLine::Parse(int argc, const char* const* argv)
{
    CCommandLine line;
    bool bOptionsEnded = false;
    int nArguments = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        ++nArguments;
        if (!bOptionsEnded && arg == "--") {
            bOptionsEnded = true;
            --nArguments;
        } else if (bOptionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (line.word)
                return std::nullopt;
            line.word = std::string(arg);
        } else if (arg == "--selection") {
            line.mode = EMode::Selection;
        } else if (arg == "--clipboard") {
            line.mode = EMode::Clipboard;
        } else if (arg == "--version") {
            line.mode = EMode::Version;
        } else if (arg == "--help") {
            line.mode = EMode::Help;
        } else {
            return std::nullopt;
        }
    }
    if (nArguments > 1)
        return std::nullopt;
    return line;
}
