// The terminal programs share their keys, files and exit statuses; they
// differ in what they are and in their command language, which comes from
// the parsers' own tables through the help view's lines.
#include "terminal/Usage.h"

#include "terminal/prompt/Help.h"

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

// A heading and help lines as one section of the usage text.
static std::string Section(const char *heading, const std::vector<std::string> &lines)
{
    std::string text = std::string("\n") + heading + "\n";
    for (const std::string &line : lines)
        text += line + "\n";
    return text;
}

// The hint row's section, for the program that has one.
static std::string HintSection(const BuildSettings &settings)
{
    std::vector<std::string> lines = HelpHintLines(settings);
    return lines.empty() ? "" : Section("While a line is typed:", lines);
}

ProgramUsage TerminalProgramUsage(const BuildSettings &settings)
{
    return {settings.programName,
            {settings.summary, Section("Commands (keywords in any letter case):", HelpCommandLines(settings.grammar)),
             Section("Keys at the prompt:", HelpKeyLines()), HintSection(settings), Section("Leaving:", HelpLeaveLines()), FILES,
             OPTIONS_USAGE, EXIT_STATUS}};
}
