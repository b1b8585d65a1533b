// main of the window tests: the process's one Qt application, then the tests.
#include "application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests at build time needs no display.
    if (!GTEST_FLAG_GET(list_tests))
        AfxEnsureApplication();
    return RUN_ALL_TESTS();
}
