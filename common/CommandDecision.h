// What a typed command will do, decided from the records before anything
// changes. The parsers decide, then carry the decision out; the prompt's
// hint shows the same decision before Enter, so that it cannot tell another
// story than the command. Plain data: each layer decides its own commands.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What happens when the line is entered.
enum CommandAction {
    COMMAND_NOTHING,         // nothing changes and nothing is said
    COMMAND_REFUSED,         // `message` shows on the error row; nothing changes
    COMMAND_REFILL,          // `amounts` go into the stock, in order; then `message`, when one was refused
    COMMAND_ADD_USER,        // `name` is registered
    COMMAND_DEL_USER,        // `name` is removed
    COMMAND_SHOW_USER_LIST,  // the status window shows the users
    COMMAND_PRINT,           // `fileName` is admitted for `userID`: opened, measured, checked against the supplies
    COMMAND_CANCEL,          // `userID`'s job is cancelled: the one printing, or else the oldest waiting
    COMMAND_CANCEL_ALL,      // every job is cancelled
};

// Why a line does nothing, or is refused.
enum CommandReason {
    REASON_NONE,
    REASON_UNKNOWN_ADMIN_COMMAND,  // "admin" and no command of the table; `word` is what followed
    REASON_NO_PRINTER_COMMAND,     // after "Printer" anything but Cancel All; `word` is what followed
    REASON_UNKNOWN_USER_COMMAND,   // a user's command that is neither Print nor Cancel; `word` is it
    REASON_NO_BLANK,               // a line with no blank: no user and command in it
    REASON_FIRST_WORD_TOO_LONG,    // a first word longer than any name can be; `word` is it
    REASON_UNKNOWN_USER,           // the first word is no registered user's name; `word` is it
    REASON_NAME_LENGTH,            // Add User or Del User with no name, or one too long; `word` is it
    REASON_NAME_TAKEN,             // Add User of a registered name
    REASON_NAME_UNKNOWN,           // Del User of a name nobody has
    REASON_NO_JOB,                 // a cancel that finds no job of the user
    REASON_WAIT_LIST_FULL,         // a print with five jobs waiting
    REASON_AMOUNT_REFUSED,         // a Refill amount refused; `word` is its pair
};

// What the operator will see of a decision: the records change, the error
// row shows its message, or nothing at all.
enum CommandVerdict {
    VERDICT_RUNS,
    VERDICT_REFUSED,
    VERDICT_NOTHING,
};

// One Refill amount on its way into the stock.
struct StockAmount {
    bool isInk;  // otherwise paper
    int32_t amount;
};

struct CommandDecision {
    CommandAction action = COMMAND_NOTHING;
    CommandVerdict verdict = VERDICT_NOTHING;  // a print's admission may still refuse it
    CommandReason reason = REASON_NONE;
    std::string message;               // shown on the error row (COMMAND_REFUSED, a refused Refill)
    std::string word;                  // what the reason is about, as typed
    int32_t userID = 0;                // whose printer command
    std::string name;                  // the user to add or remove, or whose command it is
    std::string fileName;              // the file to print
    std::vector<StockAmount> amounts;  // Refill's, in order
    std::vector<std::string> skipped;  // Refill pairs skipped: their key is neither Ink nor Paper
};
