// The test programs' entry: GoogleTest's own flags, its help for -h and
// --help, and any other argument refused before a test runs, as every
// program of the project refuses one.
#include <gtest/gtest.h>

#include <cstring>

#include "common/Arguments.h"

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; i++) {
        if (!IsHelpArgument(argv[i]))
            continue;
        char help[] = "--help";
        char *helpArguments[] = {argv[0], help, nullptr};
        int helpCount = 2;
        testing::InitGoogleTest(&helpCount, helpArguments);  // writes the help
        return EXIT_SUCCESS;
    }
    testing::InitGoogleTest(&argc, argv);
    const char *slash = strrchr(argv[0], '/');
    for (int i = 1; i < argc; i++)
        RefuseArgument(slash != nullptr ? slash + 1 : argv[0], argv[i]);
    return RUN_ALL_TESTS();
}
