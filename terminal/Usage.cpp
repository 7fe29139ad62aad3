// The terminal programs share their keys, files and exit statuses; they
// differ in what they are and in their command language: quillbay needs
// "admin" before the administrator's keywords, the others take them with or
// without it.
#include "terminal/Usage.h"

static const char QUILLBAY_SUMMARY[] =
    "A console simulation of one shared printer run by an administrator. The\n"
    "operator types command lines at the \">>\" prompt of a curses terminal of at\n"
    "least 80 columns by 25 rows. Once a second the engine moves ink and paper\n"
    "from the stock into the printer, starts the next job, or prints one sheet of\n"
    "up to ten lines; the status window above the prompt shows it all.\n";

static const char THREAD_SUMMARY[] =
    "quillbay with the engine on a worker thread (a step at once, then one a\n"
    "second), the earlier command language in which any Refill amount reaches the\n"
    "stock, and each command line echoed under the prompt. A console simulation\n"
    "of one shared printer, in a curses terminal of at least 80x25.\n";

static const char GREET_SUMMARY[] =
    "quillbay with the earlier command language, each command line echoed under\n"
    "the prompt, and the greeting \"helloworld!\" written to standard output at\n"
    "start. A console simulation of one shared printer, in a curses terminal of\n"
    "at least 80x25.\n";

static const char ECHO_SUMMARY[] =
    "quillbay-greet without the greeting; it creates PRINT with mode 0755. A\n"
    "console simulation of one shared printer, in a curses terminal of at least\n"
    "80x25, with the earlier command language and each command line echoed.\n";

static const char CURRENT_LANGUAGE[] =
    "\n"
    "Commands (keywords in any letter case):\n"
    "  admin Add User NAME          register a user (a name of at most 20 bytes)\n"
    "  admin Del User NAME          remove a user; their jobs stay queued\n"
    "  admin Show User List         show the users' names in the status window\n"
    "  admin Refill Ink=N Paper=N   add to the stock (N from 0; either pair alone)\n";

static const char EARLIER_LANGUAGE[] =
    "\n"
    "Commands (keywords in any letter case; \"admin \" before the first four may be\n"
    "left out):\n"
    "  Add User NAME                register a user (a name of at most 20 bytes)\n"
    "  Del User NAME                remove a user; their jobs stay queued\n"
    "  Show User List               show the users' names in the status window\n";

static const char REFILL_FROM_ZERO[] =
    "  Refill Ink=N Paper=N         add to the stock (N from 0; either pair alone)\n";

static const char REFILL_ANY_AMOUNT[] =
    "  Refill Ink=N Paper=N         add N to the stock, negative N included\n";

static const char USER_COMMANDS_KEYS_AND_FILES[] =
    "  NAME Print FILE              queue FILE for a user (at most 5 jobs wait)\n"
    "  NAME Cancel                  cancel one job of that user, a printing one first\n"
    "  Printer Cancel All           cancel every job\n"
    "  help or ?                    show the commands and keys\n"
    "  quit or exit                 leave\n"
    "\n"
    "Keys at the prompt:\n"
    "  F1                           help; Esc, q, F1 or Enter close it\n"
    "  Enter                        run the line\n"
    "  Left Right Home End          move (also Ctrl-B, Ctrl-F, Ctrl-A, Ctrl-E)\n"
    "  Backspace Delete             erase before or under the cursor\n"
    "  Ctrl-W Ctrl-U Ctrl-K         erase a word, the line, the rest of the line\n"
    "  Up Down                      walk this run's command lines (Ctrl-P, Ctrl-N)\n"
    "  Tab                          complete a keyword, a user or a file name\n"
    "  Ctrl-L                       draw the screen again\n"
    "  Ctrl-D                       leave, on an empty line\n"
    "\n"
    "Files:\n"
    "  PRINT/YYYYMMDDhhmmss.txt     one per started job, in the directory the\n"
    "                               program started in, named after the job's local\n"
    "                               start time (\"-1\", \"-2\"... before \".txt\" when\n"
    "                               that name is taken: no file is ever replaced);\n"
    "                               PRINT is created when missing\n";

static const char EXIT_STATUS[] =
    "\n"
    "Exit status:\n"
    "  0  left with quit, exit or Ctrl-D (every printed sheet is on disk), or -h, -V\n"
    "  1  could not start (not a terminal, smaller than 80x25, curses failed), or\n"
    "     the terminal went away\n"
    "  2  an argument it does not take\n"
    "Ended by Ctrl-C, SIGTERM or SIGHUP, it restores the terminal and exits with\n"
    "a status other than 0.\n";

static const char *const QUILLBAY_SECTIONS[] = {
    QUILLBAY_SUMMARY, CURRENT_LANGUAGE, USER_COMMANDS_KEYS_AND_FILES, OPTIONS_USAGE, EXIT_STATUS};
static const char *const THREAD_SECTIONS[] = {
    THREAD_SUMMARY, EARLIER_LANGUAGE, REFILL_ANY_AMOUNT, USER_COMMANDS_KEYS_AND_FILES, OPTIONS_USAGE, EXIT_STATUS};
static const char *const GREET_SECTIONS[] = {
    GREET_SUMMARY, EARLIER_LANGUAGE, REFILL_FROM_ZERO, USER_COMMANDS_KEYS_AND_FILES, OPTIONS_USAGE, EXIT_STATUS};
static const char *const ECHO_SECTIONS[] = {
    ECHO_SUMMARY, EARLIER_LANGUAGE, REFILL_FROM_ZERO, USER_COMMANDS_KEYS_AND_FILES, OPTIONS_USAGE, EXIT_STATUS};

const ProgramUsage QUILLBAY_USAGE = {"quillbay", QUILLBAY_SECTIONS};
const ProgramUsage QUILLBAY_THREAD_USAGE = {"quillbay-thread", THREAD_SECTIONS};
const ProgramUsage QUILLBAY_GREET_USAGE = {"quillbay-greet", GREET_SECTIONS};
const ProgramUsage QUILLBAY_ECHO_USAGE = {"quillbay-echo", ECHO_SECTIONS};
