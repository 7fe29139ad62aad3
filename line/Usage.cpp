#include "line/Usage.h"

static const char LINE_TEXT[] =
    "The line-mode printer: reads command lines on standard input, one per line,\n"
    "and keeps users, up to five print jobs and a stock of ink and paper. Once a\n"
    "second it checks whether the printer could take the first waiting job. It\n"
    "prints nothing but the user listing, shows no prompt and no errors (a line\n"
    "that is no command is ignored), and runs until it is ended from outside.\n"
    "\n"
    "Commands (\"admin\", \"PRINTER\" and the administrator's keywords in any letter\n"
    "case and followed by a blank; Print and Cancel exactly as written):\n"
    "  [admin ]Add User NAME              register a user (at most 20 bytes)\n"
    "  [admin ]Del User NAME              remove the first user of that name\n"
    "  [admin ]Refill Ink = N Paper = N   add N, any amount, to the stock; a blank\n"
    "                                     must come before each \"=\"\n"
    "  [admin ]Show User List             with a blank after it: one line\n"
    "                                     \"user Name : NAME \" per user\n"
    "  PRINTER Print FILE                 queue FILE (at most 5 jobs wait)\n"
    "  PRINTER Cancel                     remove the first waiting job\n"
    "  NAME Cancel All                    remove every waiting job (a registered\n"
    "                                     user); the printer then stops checking\n"
    "\n"
    "Keys: none of its own; the terminal edits a line until Enter. At the end of\n"
    "the input (Ctrl-D) it waits for good; Ctrl-C ends it.\n"
    "\n"
    "Files: it reads the files that Print names and writes none.\n";

static const char LINE_STATUS[] =
    "\n"
    "Exit status:\n"
    "  0  after -h or -V\n"
    "  2  an argument it does not take\n"
    "Otherwise it runs until a signal ends it.\n";

static const char LINE_EARLY_TEXT[] =
    "The earlier build of quillbay-line: it returns at once, reading no command\n"
    "and writing nothing. It has no command language, no keys and no files.\n";

static const char LINE_EARLY_STATUS[] =
    "\n"
    "Exit status:\n"
    "  0  without arguments, and after -h or -V\n"
    "  2  an argument it does not take\n";

const ProgramUsage QUILLBAY_LINE_USAGE = {"quillbay-line", {LINE_TEXT, OPTIONS_USAGE, LINE_STATUS}};
const ProgramUsage QUILLBAY_LINE_EARLY_USAGE = {"quillbay-line-early", {LINE_EARLY_TEXT, OPTIONS_USAGE, LINE_EARLY_STATUS}};
