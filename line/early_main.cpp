// quillbay-line-early: the earlier build of the line-mode program, whose
// entry returns at once, status 0, without reading any command.
#include "line/Usage.h"

int main(int argc, char **argv)
{
    HandleProgramArguments(argc, argv, QUILLBAY_LINE_EARLY_USAGE);
    return 0;
}
