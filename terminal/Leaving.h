// How a terminal program ends on its own (terminal/main.cpp); an end by a
// signal is terminal/Signals.h's.
#pragma once

// Restores the terminal, says why and ends the program with status 1.
[[noreturn]] void LeaveBecause(const char *reason);
// Ends the program at the operator's request, with status 0.
[[noreturn]] void LeaveOnRequest();
