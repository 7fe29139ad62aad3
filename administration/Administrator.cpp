#include "administration/Administrator.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "common/Allocate.h"
#include "common/BuildSettings.h"
#include "common/Report.h"
#include "common/Text.h"
#include "engine/Printer.h"

LinkedListInstance g_UserInfoList;
int32_t g_nextUserIdx;

// ---------------------------------------------------------------- registry

void InitAdmin()
{
    CreateLinkedListInstance("USER_INFO_LIST", &g_UserInfoList, UserInfoDestructor);
}

void UserInfoDestructor(void *)
{
}

static UserInfo *FindUser(const char *name)
{
    for (ListNode *node = GetFirstNode(&g_UserInfoList); node != nullptr && !IsTailer(&g_UserInfoList, node);
         node = GetNextNode(node)) {
        UserInfo *user = static_cast<UserInfo *>(node->pData);
        if (strcmp(user->userName, name) == 0)
            return user;
    }
    return nullptr;
}

int FindUserID(const char *name)
{
    UserInfo *user = FindUser(name);
    return user != nullptr ? user->userID : -1;
}

bool AuthorizeCheck(const char *name)
{
    return FindUser(name) != nullptr;
}

constexpr char NAME_TAKEN_FORMAT[] = "%s is Already registed.";
constexpr char NAME_UNKNOWN_FORMAT[] = "%s is not registed.";
constexpr char UNKNOWN_USER_FORMAT[] = "'%s' is not registed user.";

// A message with one name in it.
static std::string NameMessage(const char *format, const char *name)
{
    char message[MESSAGE_BUFFER_SIZE] = {};
    snprintf(message, sizeof message, format, name);
    return message;
}

int AddUser(const char *name)
{
    if (AuthorizeCheck(name)) {
        DisplayError(NameMessage(NAME_TAKEN_FORMAT, name).c_str());
        return 0;
    }
    ListNode *node = AddNode(&g_UserInfoList);
    UserInfo *user = static_cast<UserInfo *>(AllocateZeroed(sizeof(UserInfo), "a user record"));
    node->pData = user;
    snprintf(user->userName, sizeof user->userName, "%s", name);
    user->userID = g_nextUserIdx++;
    return 1;
}

int DeleteUser(const char *name)
{
    for (ListNode *node = GetFirstNode(&g_UserInfoList); node != nullptr && !IsTailer(&g_UserInfoList, node);
         node = GetNextNode(node)) {
        if (strcmp(static_cast<UserInfo *>(node->pData)->userName, name) == 0) {
            DeleteNode(&g_UserInfoList, node);
            return 1;
        }
    }
    DisplayError(NameMessage(NAME_UNKNOWN_FORMAT, name).c_str());
    return 0;
}

void ShowUserList()
{
    display(DISPLAY_USER_LIST);
}

// ---------------------------------------------------------------- stock

void RefilInk(int32_t amount)
{
    g_SuppliesData.ink += amount;
}

void RefillPaper(int32_t amount)
{
    g_SuppliesData.paper += amount;
}

// ---------------------------------------------------------------- commands

// Scanned in order, the first prefix that matches decides.
static const AdminCommandRow ADMIN_COMMANDS[] = {
    {"Refill", ADMIN_REFILL, "Ink=N Paper=N", "Ink=3000 Paper=100", "stock ink, paper"},
    {"Add User", ADMIN_ADD_USER, "NAME", "ann", "register a user"},
    {"Del User", ADMIN_DEL_USER, "NAME", "ann", "remove a user"},
    {"Show User List", ADMIN_SHOW_USER_LIST, "", "", "list the users"},
};

std::span<const AdminCommandRow> AdminCommandTable()
{
    return ADMIN_COMMANDS;
}

static AdminCommand FindAdminCommand(const char *text, const char **argument)
{
    for (const auto &row : ADMIN_COMMANDS) {
        if (StartsWithKeyword(text, row.keyword)) {
            *argument = AfterKeyword(text, row.keyword);
            return row.command;
        }
    }
    return ADMIN_NONE;
}

// ---------------------------------------------------------------- deciding

// A decision that shows a message and changes nothing.
static CommandDecision Refused(CommandDecision decision, CommandReason reason, std::string message)
{
    decision.action = COMMAND_REFUSED;
    decision.verdict = VERDICT_REFUSED;
    decision.reason = reason;
    decision.message = std::move(message);
    return decision;
}

static CommandDecision Runs(CommandDecision decision, CommandAction action)
{
    decision.action = action;
    decision.verdict = VERDICT_RUNS;
    return decision;
}

static CommandDecision Nothing(CommandReason reason, std::string word)
{
    CommandDecision decision;
    decision.reason = reason;
    decision.word = std::move(word);
    return decision;
}

// One stock of the Refill command: its key and its message.
struct RefillKey {
    const char *keyword;
    bool isInk;
    const char *invalidMessage;
};

static const RefillKey REFILL_KEYS[] = {
    {"Ink", true, "Invalid Input ink Value"},
    {"Paper", false, "Invalid Input paper Value"},
};

// A Refill pair as typed: from its key to the end of its value.
static std::string PairText(const char *key, const char *value)
{
    const char *end = strchr(value, ' ');
    return std::string(key, end != nullptr ? static_cast<size_t>(end - key) : strlen(key));
}

// What a Refill shows: its refusal's message, else a change of the stock.
static CommandVerdict RefillVerdict(const CommandDecision &decision)
{
    if (!decision.message.empty())
        return VERDICT_REFUSED;
    for (const StockAmount &stock : decision.amounts) {
        if (stock.amount != 0)
            return VERDICT_RUNS;
    }
    return VERDICT_NOTHING;
}

// "Refill" pairs: KEY=VALUE, as many as given, each value followed by a
// blank before the next key. An amount is refused, and ends the command,
// when it is negative (where the grammar checks the sign), beyond 32 bits,
// or would carry the stock beyond 32 bits; the stocks are counted as the
// amounts before it left them.
static CommandDecision DecideRefillPairs(const char *pairs)
{
    CommandDecision decision;
    decision.action = COMMAND_REFILL;
    int64_t inkStock = g_SuppliesData.ink;
    int64_t paperStock = g_SuppliesData.paper;
    bool checksSign = g_BuildSettings.grammar != GRAMMAR_EARLIEST;
    for (const char *position = pairs;;) {
        const char *equals = strchr(position, '=');
        if (equals == nullptr)
            return decision;
        const char *key = LTrim(position);
        const char *value = LTrim(equals + 1);
        const RefillKey *row = nullptr;
        for (const RefillKey &candidate : REFILL_KEYS) {
            if (row == nullptr && StartsWithKeyword(key, candidate.keyword))
                row = &candidate;
        }
        if (row == nullptr) {
            decision.skipped.push_back(PairText(key, value));
        } else {
            ParsedAmount amount = ParseAmount(value);
            int64_t &stock = row->isInk ? inkStock : paperStock;
            int64_t total = stock + amount.value;
            if (!amount.isInRange || (checksSign && amount.value < 0) || total > INT32_MAX || total < INT32_MIN) {
                decision.reason = REASON_AMOUNT_REFUSED;
                decision.word = PairText(key, value);
                if (checksSign)
                    decision.message = row->invalidMessage;
                return decision;
            }
            stock = total;
            decision.amounts.push_back({row->isInk, amount.value});
        }
        position = strchr(value, ' ');
        if (position == nullptr)
            return decision;
    }
}

static CommandDecision DecideRefill(const char *pairs)
{
    CommandDecision decision = DecideRefillPairs(pairs);
    decision.verdict = RefillVerdict(decision);
    return decision;
}

// Add User and Del User: the name runs to the end of the line, inner and
// trailing blanks included.
static CommandDecision DecideUserName(AdminCommand command, const char *argument)
{
    const char *name = LTrim(argument);
    size_t length = strlen(name);
    bool isCurrent = g_BuildSettings.grammar == GRAMMAR_CURRENT;
    // The earlier grammars pass an empty Del User name on to DeleteUser.
    bool isEmptyAllowed = !isCurrent && command == ADMIN_DEL_USER;
    if (length > MAX_USER_NAME_LEN || (length == 0 && !isEmptyAllowed)) {
        CommandDecision decision = Nothing(REASON_NAME_LENGTH, name);
        return isCurrent ? Refused(std::move(decision), REASON_NAME_LENGTH, "Incorrect UserName") : decision;
    }
    CommandDecision decision;
    decision.name = name;
    bool isRegistered = AuthorizeCheck(name);
    if (command == ADMIN_ADD_USER && isRegistered)
        return Refused(std::move(decision), REASON_NAME_TAKEN, NameMessage(NAME_TAKEN_FORMAT, name));
    if (command == ADMIN_DEL_USER && !isRegistered)
        return Refused(std::move(decision), REASON_NAME_UNKNOWN, NameMessage(NAME_UNKNOWN_FORMAT, name));
    return Runs(std::move(decision), command == ADMIN_ADD_USER ? COMMAND_ADD_USER : COMMAND_DEL_USER);
}

// A registered user's line: the name, a blank, then a printer command.
static CommandDecision DecideUserCommand(const char *line)
{
    const char *blank = strchr(line, ' ');
    if (blank == nullptr)
        return Nothing(REASON_NO_BLANK, line);
    std::string name(line, static_cast<size_t>(blank - line));
    if (name.size() > MAX_USER_NAME_LEN)
        return Nothing(REASON_FIRST_WORD_TOO_LONG, name);
    int userID = FindUserID(name.c_str());
    if (userID < 0) {
        CommandDecision decision = Nothing(REASON_UNKNOWN_USER, name);
        return Refused(std::move(decision), REASON_UNKNOWN_USER, NameMessage(UNKNOWN_USER_FORMAT, name.c_str()));
    }
    CommandDecision decision = DecidePrinterCommand(userID, LTrim(blank));
    decision.name = name;
    return decision;
}

CommandDecision DecideAdminCommand(const char *line)
{
    const char *commandText = line;
    if (g_BuildSettings.grammar == GRAMMAR_CURRENT) {
        if (!StartsWithKeyword(line, ADMIN_WORD))
            return DecideUserCommand(line);
        commandText = LTrim(AfterKeyword(line, ADMIN_WORD));
    }
    const char *argument = nullptr;
    AdminCommand command = FindAdminCommand(commandText, &argument);
    switch (command) {
    case ADMIN_REFILL: return DecideRefill(argument);
    case ADMIN_ADD_USER:
    case ADMIN_DEL_USER: return DecideUserName(command, argument);
    case ADMIN_SHOW_USER_LIST: return Runs(CommandDecision(), COMMAND_SHOW_USER_LIST);
    case ADMIN_NONE: break;
    }
    // The current grammar ignores "admin" with no known keyword; the earlier
    // ones read such a line as a user's command.
    if (g_BuildSettings.grammar == GRAMMAR_CURRENT)
        return Nothing(REASON_UNKNOWN_ADMIN_COMMAND, commandText);
    return DecideUserCommand(commandText);
}

// ---------------------------------------------------------------- carrying out

// The amounts go in, in order; a refused one ends the command.
static int CarryOutRefill(const CommandDecision &decision)
{
    for (const StockAmount &stock : decision.amounts) {
        if (stock.isInk)
            RefilInk(stock.amount);
        else
            RefillPaper(stock.amount);
    }
    if (!decision.message.empty())
        DisplayError(decision.message.c_str());
    return decision.reason == REASON_AMOUNT_REFUSED ? 0 : 1;
}

int CarryOutCommand(const CommandDecision &decision)
{
    switch (decision.action) {
    case COMMAND_REFILL: return CarryOutRefill(decision);
    case COMMAND_ADD_USER: return AddUser(decision.name.c_str());
    case COMMAND_DEL_USER: return DeleteUser(decision.name.c_str());
    case COMMAND_SHOW_USER_LIST:
        ShowUserList();
        return 1;
    default: return CarryOutPrinterCommand(decision);
    }
}

int AdminCommandParser(const char *line)
{
    return CarryOutCommand(DecideAdminCommand(line));
}
