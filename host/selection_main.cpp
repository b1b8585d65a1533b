// quillbridge-selection: prints the selected text (--selection) or the text of
// the clipboard (--clipboard) in UTF-8, for the quillbridge program, which has
// no Qt of its own to read it with. Nothing on standard output when nothing
// textual is there. Exit status 1 when the text cannot be read here; the
// reason is on standard error.
#include "debug_output.h"

#include <QClipboard>
#include <QGuiApplication>

#include <cstdio>
#include <cstring>

namespace
{

void QuietMessages(QtMsgType, const QMessageLogContext&, const QString& strMessage)
{
    static const bool bDebug = IsDebugOutputOn();
    if (bDebug)
        std::fprintf(stderr, "quillbridge-selection: %s\n", qPrintable(strMessage));
}

} // namespace

int main(int argc, char** argv)
{
    const bool bClipboard = argc == 2 && std::strcmp(argv[1], "--clipboard") == 0;
    if (argc != 2 || (!bClipboard && std::strcmp(argv[1], "--selection") != 0)) {
        std::fputs("usage: quillbridge-selection --selection|--clipboard\n", stderr);
        return 2;
    }
    // A Wayland desktop hands its clipboard only to the program in front,
    // which this one, without a window, never is; through Xwayland the
    // desktop offers both the clipboard and the selection to every program.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    qInstallMessageHandler(QuietMessages);
    QGuiApplication app(argc, argv);
    QClipboard* pClipboard = QGuiApplication::clipboard();
    const bool bWayland = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    if (!bClipboard && !pClipboard->supportsSelection()) {
        std::fputs("quillbridge: this desktop has no selected text to read (only a clipboard: "
                   "quillbridge --clipboard)\n",
                   stderr);
        return 1;
    }
    // Wayland announces what it offers only in answer to the first requests.
    if (bWayland)
        QCoreApplication::processEvents();
    const QString strText =
        pClipboard->text(bClipboard ? QClipboard::Clipboard : QClipboard::Selection);
    if (strText.isEmpty() && bWayland) {
        std::fprintf(stderr,
                     "quillbridge: no text came from the %s: this Wayland desktop gives it "
                     "only to the program in front (with Xwayland, DISPLAY set, it can be read)\n",
                     bClipboard ? "clipboard" : "selection");
        return 1;
    }
    const QByteArray text = strText.toUtf8();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
