// A host that opens the lookup window RUNS times in one process, for the warm
// open row of bench_open.py. Before each QuillbridgeRun it prints
// "start N SECONDS" (CLOCK_MONOTONIC); each line "close" on standard input
// closes the window on show, as its close box would, so the next run starts.
#include "quillbridge.h"
#include "utf_text.h"

#include <QApplication>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <dlfcn.h>
#include <iostream>
#include <string>
#include <thread>

namespace
{

using namespace std::chrono_literals;

double MonotonicSeconds()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Closes the main window once it is on show; false while there is none.
bool CloseShownWindow()
{
    if (!qApp)
        return false;
    bool bClosed = false;
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            for (QWidget* pWidget : QApplication::topLevelWidgets()) {
                if (pWidget->objectName() == "propertySheet" && pWidget->isVisible()) {
                    pWidget->close();
                    bClosed = true;
                }
            }
        },
        Qt::BlockingQueuedConnection);
    return bClosed;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_open_driver LIBRARY RUNS WORD\n");
        return 2;
    }
    void* pLibrary = ::dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!pLibrary) {
        std::fprintf(stderr, "cannot load: %s\n", ::dlerror());
        return 2;
    }
    const auto pRun =
        reinterpret_cast<decltype(&QuillbridgeRun)>(::dlsym(pLibrary, "QuillbridgeRun"));
    if (!pRun) {
        std::fprintf(stderr, "%s has no QuillbridgeRun\n", argv[1]);
        return 2;
    }
    const int nRuns = std::stoi(argv[2]);
    const std::u16string strWord = Utf8ToUtf16(argv[3]);

    std::atomic<bool> bRunning = true;
    std::thread closer([&] {
        std::string strLine;
        while (bRunning && std::getline(std::cin, strLine)) {
            if (strLine != "close")
                continue;
            while (bRunning && !CloseShownWindow())
                std::this_thread::sleep_for(5ms);
        }
    });
    int nFailed = 0;
    for (int i = 0; i < nRuns; ++i) {
        std::printf("start %d %.6f\n", i, MonotonicSeconds());
        std::fflush(stdout);
        const int nResult = pRun(strWord.c_str());
        std::printf("done %d %d\n", i, nResult);
        std::fflush(stdout);
        nFailed += nResult != 0;
    }
    bRunning = false;
    // The bench closes standard input when the last run is done.
    closer.join();
    ::dlclose(pLibrary);
    return nFailed == 0 ? 0 : 1;
}
