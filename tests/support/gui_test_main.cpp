// main of the window tests: the process's one Qt application, then the tests.
#include "application.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // A home and data folders of this run's own, empty at the start and gone
    // at the end: nothing of the user's is read or written.
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/qb-test-home-XXXXXX"));
    if (!home.isValid())
        return 1;
    const struct {
        const char* pszName;
        const char* pszPath;
    } folders[] = {{"HOME", ""},
                   {"XDG_DATA_HOME", "/.local/share"},
                   {"XDG_CONFIG_HOME", "/.config"},
                   {"XDG_STATE_HOME", "/.local/state"},
                   {"XDG_CACHE_HOME", "/.cache"},
                   {"XDG_RUNTIME_DIR", "/runtime"}};
    for (const auto& folder : folders) {
        const QString strPath = home.path() + QLatin1String(folder.pszPath);
        QDir().mkpath(strPath);
        ::setenv(folder.pszName, QFile::encodeName(strPath).constData(), 1);
    }
    QFile::setPermissions(home.path() + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Listing the tests at build time needs no display.
    if (!GTEST_FLAG_GET(list_tests))
        AfxEnsureApplication();
    return RUN_ALL_TESTS();
}
