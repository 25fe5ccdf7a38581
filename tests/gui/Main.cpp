#include "tests/gui/Driver.h"

#include <gtest/gtest.h>

#include <cwchar>

// Usage: gui_tests --installer=PATH [gtest options]
int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i)
        if (wcsncmp(argv[i], L"--installer=", 12) == 0)
            SetInstallerPath(argv[i] + 12);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
