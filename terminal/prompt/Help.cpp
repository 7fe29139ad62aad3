#include "terminal/prompt/Help.h"

#include <cstdio>

#include "administration/Administrator.h"
#include "engine/Printer.h"

static const char EXAMPLE_USER[] = "ann";  // the user name the examples use

// The keys of the prompt, a few to a line: the key names, then what they
// do. Five lines: the help view has no room for more in every grammar.
static const char *const KEY_LINES[] = {
    " Left Right ^B ^F  move       Alt-B Alt-F ^Left ^Right  by words   ^L  redraw",
    " Home End ^A ^E    either end Backspace Del  erase before, under   F1  help",
    " ^W ^U ^K  erase word, line, rest  Alt-Backspace Alt-D  erase word left, right",
    " Up Down ^P ^N  history  ^R  search it  ^Y  yank  Tab, Tab Tab  complete, list",
    " Right, End or ^E take the dim suggestion: an[n Print a.txt]; Alt-F one word",
};

// One command line of the help: form, example, what it does.
static std::string CommandLine(const std::string &form, const std::string &example, const char *summary)
{
    char line[MESSAGE_BUFFER_SIZE];  // roomy: a line too wide for the view shows in the tests, not cut here
    snprintf(line, sizeof line, " %-27s %-32s %s", form.c_str(), example.c_str(), summary);
    return line;
}

// "keyword" or "keyword arguments".
static std::string Form(const char *keyword, const char *arguments)
{
    return *arguments == '\0' ? std::string(keyword) : std::string(keyword) + " " + arguments;
}

std::vector<std::string> HelpCommandLines(GrammarGeneration grammar)
{
    bool needsAdminWord = grammar == GRAMMAR_CURRENT;
    std::string admin = needsAdminWord ? std::string(ADMIN_WORD) + " " : "";
    std::vector<std::string> lines = {CommandLine("Command", "Example", "Does")};
    for (const AdminCommandRow &row : AdminCommandTable())
        lines.push_back(CommandLine(admin + Form(row.keyword, row.arguments),
                                    admin + Form(row.keyword, row.example), row.summary));
    for (const PrinterCommandRow &row : UserPrinterCommands())
        lines.push_back(CommandLine("NAME " + Form(row.keyword, row.arguments),
                                    std::string(EXAMPLE_USER) + " " + Form(row.keyword, row.example), row.summary));
    for (const PrinterCommandRow &row : AdminPrinterCommands())
        lines.push_back(CommandLine(std::string(PRINTER_WORD) + " " + Form(row.keyword, row.arguments),
                                    std::string(PRINTER_WORD) + " " + Form(row.keyword, row.example), row.summary));
    if (!needsAdminWord)
        lines.push_back(" The word " + std::string(ADMIN_WORD) + " may stand before the first " +
                        std::to_string(AdminCommandTable().size()) + " commands, or be left out.");
    return lines;
}

std::vector<std::string> HelpKeyLines()
{
    return std::vector<std::string>(std::begin(KEY_LINES), std::end(KEY_LINES));
}

std::vector<std::string> HelpLeaveLines()
{
    return {" Leave with quit or exit, or ^D on an empty line; ^C ends the program at once."};
}

std::vector<std::string> HelpHintLines(const BuildSettings &settings)
{
    if (settings.echoesCommand)
        return {};
    return {" Under the line, what Enter will do: \"ann: notes.txt, 3 sheets, 141 ink\""};
}

std::vector<std::string> HelpViewLines(GrammarGeneration grammar)
{
    std::vector<std::string> lines = {std::string(" ") + g_BuildSettings.programName +
                                      ": help. Esc, q, F1 or Enter closes it.", ""};
    std::vector<std::string> commands = HelpCommandLines(grammar);
    lines.insert(lines.end(), commands.begin(), commands.end());
    lines.push_back("");
    for (const std::vector<std::string> &part : {HelpKeyLines(), HelpHintLines(g_BuildSettings), HelpLeaveLines()})
        lines.insert(lines.end(), part.begin(), part.end());
    return lines;
}
