#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The exchange of the user's one lookup window, the same for the program that
// asks and the window that answers: a later run sends its word in UTF-8
// followed by a NUL; the window answers "ok\n" once it has taken the word to
// look up (an empty word only brings it forward), or "busy\n" when one of its
// dialogs waits for the user: it then looks the word up as soon as that dialog
// closes. An object reads one caller's request on the window's side.
class CWindowChannel
{
public:
    enum class EAnswer { LookedUp, Busy, Incomplete, Invalid };
    enum class ERequest { Incomplete, Complete, Refused };

    // The name of the environment variable that gives the library the
    // listening socket's descriptor.
    static constexpr const char* kEnvironmentName = "QUILLBRIDGE_WINDOW_SOCKET";
    // A word is short; a request longer than this is not from the program.
    static constexpr std::size_t kMaxRequest = 64 * 1024;
    // The window's two answers.
    static constexpr std::string_view kLookedUpAnswer = "ok\n";
    static constexpr std::string_view kBusyAnswer = "busy\n";

    // What the program sends for strWordUtf8.
    static std::string Request(std::string_view strWordUtf8);
    // What the bytes received so far from the window say.
    static EAnswer ReadAnswer(std::string_view received);

    // Takes the next bytes of the caller's request: Complete once its word
    // has come (Word()), Refused when it grows too long without ending.
    // Bytes after the end are not read: one word a connection.
    ERequest Add(std::string_view bytes);
    const std::string& Word() const { return m_strWord; }

private:
    std::string m_strReceived;
    std::string m_strWord;
    bool m_bComplete = false;
};
