// The terminal programs share their keys, files and exit statuses; they
// differ in what they are and in their command language, which comes from
// the parsers' own tables through the help view's lines.
#include "terminal/Usage.h"

#include "terminal/Help.h"
#include "terminal/programs/Programs.h"

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

static const char FILES[] =
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

static const struct {
    const BuildSettings *program;
    const char *summary;
} SUMMARIES[] = {
    {&QUILLBAY_SETTINGS, QUILLBAY_SUMMARY},
    {&QUILLBAY_THREAD_SETTINGS, THREAD_SUMMARY},
    {&QUILLBAY_GREET_SETTINGS, GREET_SUMMARY},
    {&QUILLBAY_ECHO_SETTINGS, ECHO_SUMMARY},
};

// A heading and help lines as one section of the usage text.
static std::string Section(const char *heading, const std::vector<std::string> &lines)
{
    std::string text = std::string("\n") + heading + "\n";
    for (const std::string &line : lines)
        text += line + "\n";
    return text;
}

ProgramUsage TerminalProgramUsage(const BuildSettings &settings)
{
    const char *summary = "";
    for (const auto &row : SUMMARIES) {
        if (row.program == &settings)
            summary = row.summary;
    }
    return {settings.programName,
            {summary, Section("Commands (keywords in any letter case):", HelpCommandLines(settings.grammar)),
             Section("Keys at the prompt:", HelpKeyLines()), Section("Leaving:", HelpLeaveLines()), FILES,
             OPTIONS_USAGE, EXIT_STATUS}};
}
