#include "administration/Administrator.h"

#include <cstdlib>
#include <cstring>

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

// Shows a message with one name in it.
static void DisplayNameError(const char *format, const char *name)
{
    char message[MESSAGE_BUFFER_SIZE] = {};
    snprintf(message, sizeof message, format, name);
    DisplayError(message);
}

int AddUser(const char *name)
{
    if (AuthorizeCheck(name)) {
        DisplayNameError("%s is Already registed.", name);
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
    DisplayNameError("%s is not registed.", name);
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

// One stock of the Refill command: its key and its messages.
struct RefillKey {
    const char *keyword;
    int32_t *stock;
    void (*refill)(int32_t amount);
    const char *invalidMessage;
};

// Adds one amount to a stock. False when the amount is refused, which ends
// the command: negative (where the grammar checks the sign), beyond 32 bits,
// or carrying the stock beyond 32 bits.
static bool ApplyRefillAmount(const RefillKey &key, const char *value)
{
    ParsedAmount amount = ParseAmount(value);
    bool checksSign = g_BuildSettings.grammar != GRAMMAR_EARLIEST;
    int64_t total = int64_t{*key.stock} + amount.value;
    bool isRefused = !amount.isInRange || (checksSign && amount.value < 0) || total > INT32_MAX || total < INT32_MIN;
    if (isRefused) {
        if (checksSign)
            DisplayError(key.invalidMessage);
        return false;
    }
    key.refill(amount.value);
    return true;
}

// "Refill" pairs: KEY=VALUE, as many as given, each value followed by a
// blank before the next key.
static int RefillCommand(const char *pairs)
{
    const RefillKey keys[] = {
        {"Ink", &g_SuppliesData.ink, RefilInk, "Invalid Input ink Value"},
        {"Paper", &g_SuppliesData.paper, RefillPaper, "Invalid Input paper Value"},
    };
    const char *position = pairs;
    for (;;) {
        const char *equals = strchr(position, '=');
        if (equals == nullptr)
            return 1;
        const char *key = LTrim(position);
        const char *value = LTrim(equals + 1);
        for (const RefillKey &row : keys) {
            if (StartsWithKeyword(key, row.keyword)) {
                if (!ApplyRefillAmount(row, value))
                    return 0;
                break;
            }
        }
        position = strchr(value, ' ');
        if (position == nullptr)
            return 1;
    }
}

// Add User and Del User: the name runs to the end of the line, inner and
// trailing blanks included.
static int UserNameCommand(AdminCommand command, const char *argument)
{
    const char *name = LTrim(argument);
    size_t length = strlen(name);
    bool isCurrent = g_BuildSettings.grammar == GRAMMAR_CURRENT;
    // The earlier grammars pass an empty Del User name on to DeleteUser.
    bool isEmptyAllowed = !isCurrent && command == ADMIN_DEL_USER;
    if (length > MAX_USER_NAME_LEN || (length == 0 && !isEmptyAllowed)) {
        if (isCurrent)
            DisplayError("Incorrect UserName");
        return 0;
    }
    char userName[MAX_USER_NAME_LEN + 1] = {};
    memcpy(userName, name, length);
    return command == ADMIN_ADD_USER ? AddUser(userName) : DeleteUser(userName);
}

// A registered user's line: the name, a blank, then a printer command.
static int UserCommand(const char *line)
{
    const char *blank = strchr(line, ' ');
    if (blank == nullptr)
        return 0;
    size_t length = static_cast<size_t>(blank - line);
    if (length > MAX_USER_NAME_LEN)
        return 0;
    char userName[MAX_USER_NAME_LEN + 1] = {};
    memcpy(userName, line, length);
    if (!AuthorizeCheck(userName)) {
        DisplayNameError("'%s' is not registed user.", userName);
        return 0;
    }
    return PrinterCommandParser(FindUserID(userName), LTrim(blank));
}

int AdminCommandParser(const char *line)
{
    const char *commandText = line;
    if (g_BuildSettings.grammar == GRAMMAR_CURRENT) {
        if (!StartsWithKeyword(line, ADMIN_WORD))
            return UserCommand(line);
        commandText = LTrim(AfterKeyword(line, ADMIN_WORD));
    }
    const char *argument = nullptr;
    AdminCommand command = FindAdminCommand(commandText, &argument);
    switch (command) {
    case ADMIN_REFILL:
        return RefillCommand(argument);
    case ADMIN_ADD_USER:
    case ADMIN_DEL_USER:
        return UserNameCommand(command, argument);
    case ADMIN_SHOW_USER_LIST:
        ShowUserList();
        return 1;
    case ADMIN_NONE:
        break;
    }
    // The current grammar ignores "admin" with no known keyword; the earlier
    // ones read such a line as a user's command.
    return g_BuildSettings.grammar == GRAMMAR_CURRENT ? 0 : UserCommand(commandText);
}
