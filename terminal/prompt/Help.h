// The help text of the terminal programs: the running program's command
// language, drawn from the parsers' own keyword tables, the prompt's keys
// and how to leave. Each line fits the 78 columns inside a window's frame.
#pragma once

#include <string>
#include <vector>

#include "common/BuildSettings.h"

constexpr size_t HELP_LINE_WIDTH = 78;  // columns inside the frame

// The commands of a grammar: a heading, then one line per command with its
// form, an example and what it does.
std::vector<std::string> HelpCommandLines(GrammarGeneration grammar);
// The editing keys of the prompt.
std::vector<std::string> HelpKeyLines();
// How to leave the program.
std::vector<std::string> HelpLeaveLines();
// What the hint row under the typed line says, with an example; nothing for
// a program whose row 3 echoes its commands instead.
std::vector<std::string> HelpHintLines(const BuildSettings &settings);
// All of it, as the help view shows it.
std::vector<std::string> HelpViewLines(GrammarGeneration grammar);
