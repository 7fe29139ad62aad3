#include "line/Line.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/Allocate.h"
#include "common/RegularFile.h"
#include "common/Report.h"  // the display modes
#include "common/Text.h"

namespace linemode {

LinkedListInstance g_UserInfoList;
LinkedListInstance g_JobWaitList;
PrinterContext g_PrinterContext;
SuppliesData g_SuppliesData;
std::mutex g_EngineLock;

typedef std::lock_guard<std::mutex> EngineLockGuard;


// ---------------------------------------------------------------- start-up

void CreateLists()
{
    CreateLinkedListInstance("USER_INFO_LIST", &g_UserInfoList, UserInfoDestructor);
    CreateLinkedListInstance("JOB_WAIT_LIST", &g_JobWaitList, JobDestructor);
}

ThreadHandle SetDigitalClock()
{
    uint32_t dwTID = 0;
    return CreateThread(nullptr, 0, ThreadProc, nullptr, 0, &dwTID);
}

uint32_t ThreadProc(void *)
{
    for (;;) {
        RunEngineStep();
        Sleep(ENGINE_PERIOD_MS);
    }
}

void RunEngineStep()
{
    EngineLockGuard lock(g_EngineLock);
    PrinterEngineController();
}

void HandleCommandLine(const char *line)
{
    EngineLockGuard lock(g_EngineLock);
    CommandSelector(line);
}

void CommandLoop()
{
    CommandLineReader reader = {};
    for (;;) {
        char chunk[INPUT_CHUNK_SIZE];
        size_t count = ReadStandardInput(chunk, sizeof chunk);
        if (count == 0) {
            // The input is over: a last line without a line feed still
            // counts, then waiting costs nothing, since no command can come.
            if (reader.length > 0 && !reader.isSkipping)
                HandleCommandLine(reader.line);
            SleepForever();
        }
        for (const char *position = chunk; position < chunk + count;) {
            if (!TakeCommandBytes(&reader, &position, chunk + count))
                break;
            HandleCommandLine(reader.line);
            ClearCommandLine(&reader);
            Sleep(COMMAND_PAUSE_MS);
        }
    }
}

// ---------------------------------------------------------------- commands

bool MatchKeyword(const char *text, const char *keyword)
{
    return StartsWithKeyword(text, keyword) && text[strlen(keyword)] == ' ';
}

void CommandSelector(const char *line)
{
    if (MatchKeyword(line, "admin"))
        AdminCommandParser(LTrim(AfterKeyword(line, "admin")));
    else if (MatchKeyword(line, "PRINTER"))
        PrinterCommandParser(ADMINISTRATOR_USER_ID, LTrim(AfterKeyword(line, "PRINTER")));
    else
        AdminCommandParser(line);
}

enum AdminCommand {
    ADMIN_REFILL,
    ADMIN_ADD_USER,
    ADMIN_DEL_USER,
    ADMIN_SHOW_USER_LIST,
    ADMIN_USER_COMMAND,  // none of the words: a registered user's command
};

// Scanned in order with MatchKeyword (a blank must follow each word); the
// first row that matches decides. No word is a prefix of another.
static const struct {
    const char *keyword;
    AdminCommand command;
} ADMIN_COMMANDS[] = {
    {"Refill", ADMIN_REFILL},
    {"Add User", ADMIN_ADD_USER},
    {"Del User", ADMIN_DEL_USER},
    {"Show User List", ADMIN_SHOW_USER_LIST},
};

// The command of text and, in *argument, the text after its word.
static AdminCommand FindAdminCommand(const char *text, const char **argument)
{
    for (const auto &row : ADMIN_COMMANDS) {
        if (MatchKeyword(text, row.keyword)) {
            *argument = AfterKeyword(text, row.keyword);
            return row.command;
        }
    }
    *argument = text;
    return ADMIN_USER_COMMAND;
}

// One Refill pair: the word at key names the stock; another word changes
// nothing.
static void RefillPair(const char *key, int32_t amount)
{
    if (MatchKeyword(key, "Ink"))
        RefilInk(amount);
    else if (MatchKeyword(key, "Paper"))
        RefillPaper(amount);
}

// Refill pairs: a word, a blank, "=", then the amount; any number of pairs,
// in any order, the next one after a blank that follows the amount.
static void RefillCommand(const char *pairs)
{
    const char *position = LTrim(pairs);
    for (;;) {
        const char *equals = strchr(position, '=');
        if (equals == nullptr)
            return;
        const char *value = LTrim(equals + 1);
        ParsedAmount amount = ParseAmount(value);
        if (amount.isInRange)  // an amount beyond 32 bits changes nothing
            RefillPair(position, amount.value);
        const char *blank = strchr(value, ' ');
        if (blank == nullptr)
            return;
        position = LTrim(blank);
    }
}

// Add User and Del User: the name runs to the end of the line, trailing
// blanks included; a name over 20 characters ends the command. Del User
// removes the first user of exactly that name, silently.
static void UserNameCommand(AdminCommand command, const char *argument)
{
    const char *name = LTrim(argument);
    size_t length = strlen(name);
    if (length > MAX_USER_NAME_LEN)
        return;
    char szUserName[MAX_USER_NAME_LEN + 1] = {};
    memcpy(szUserName, name, length);
    if (command == ADMIN_DEL_USER) {
        DeleteUser(szUserName);
        return;
    }
    if (AuthorizeCheck(szUserName) == 1)
        return;
    AddUser(szUserName);
}

// A registered user's line: the name, a blank, then a printer command.
static void UserCommand(const char *text)
{
    const char *blank = strchr(text, ' ');
    if (blank == nullptr)
        return;
    size_t length = static_cast<size_t>(blank - text);
    if (length > MAX_USER_NAME_LEN)
        return;
    char szUserName[MAX_USER_NAME_LEN + 1] = {};
    memcpy(szUserName, text, length);
    if (AuthorizeCheck(szUserName) != 1)
        return;
    PrinterCommandParser(FindUserID(szUserName), LTrim(blank));
}

void AdminCommandParser(const char *text)
{
    const char *argument = nullptr;
    AdminCommand command = FindAdminCommand(text, &argument);
    switch (command) {
    case ADMIN_REFILL:
        RefillCommand(argument);
        break;
    case ADMIN_ADD_USER:
    case ADMIN_DEL_USER:
        UserNameCommand(command, argument);
        break;
    case ADMIN_SHOW_USER_LIST:
        ShowUserList();
        break;
    case ADMIN_USER_COMMAND:
        UserCommand(text);
        break;
    }
}

// True when text begins with word, letter case counting; nothing needs to
// follow the word.
static bool StartsWithWord(const char *text, const char *word)
{
    return strncmp(text, word, strlen(word)) == 0;
}

void PrinterCommandParser(int32_t userID, const char *text)
{
    if (userID == ADMINISTRATOR_USER_ID) {
        if (StartsWithWord(text, "Print"))
            Printer_AddJob(userID, LTrim(AfterKeyword(text, "Print")));
        else if (StartsWithWord(text, "Cancel"))
            DeleteJob(userID);
        return;
    }
    if (StartsWithWord(text, "Cancel All"))
        CancelAll();
}

// ---------------------------------------------------------------- jobs

void JobDestructor(void *data)
{
    PrintJob *job = static_cast<PrintJob *>(data);
    if (job->pInputFile != nullptr)
        fclose(job->pInputFile);
}

int Printer_AddJob(int32_t userID, const char *path)
{
    if (GetNodeCount(&g_JobWaitList) >= MAX_WAIT_JOBS)
        return 0;
    FILE *input = OpenRegularFile(path);
    if (input == nullptr)
        return 0;
    ListNode *node = AddNode(&g_JobWaitList);
    PrintJob *job = static_cast<PrintJob *>(AllocateZeroed(sizeof(PrintJob), "a print job"));
    node->pData = job;
    job->needInk = 0;
    job->needPaper = 0;
    job->pInputFile = input;
    job->userID = userID;
    return 1;
}

int DeleteJob(int32_t userID)
{
    for (ListNode *node = GetFirstNode(&g_JobWaitList); node != nullptr && !IsTailer(&g_JobWaitList, node);
         node = GetNextNode(node)) {
        if (static_cast<PrintJob *>(node->pData)->userID == userID) {
            DeleteNode(&g_JobWaitList, node);
            return 1;
        }
    }
    return 0;
}

void CancelAll()
{
    g_PrinterContext.state = PRINTER_REQUEST_CANCEL;
    DeleteAllNodes(&g_JobWaitList);
}

void PrinterEngineController()
{
    switch (g_PrinterContext.state) {
    case PRINTER_WAITING: {
        if (GetNodeCount(&g_JobWaitList) == 0)
            return;
        const PrintJob *job = static_cast<const PrintJob *>(GetFirstNode(&g_JobWaitList)->pData);
        // Unsigned comparisons, as everywhere with the printer's levels.
        bool isEnough = static_cast<uint32_t>(job->needInk) < g_PrinterContext.ink &&
                        static_cast<uint32_t>(job->needPaper) < g_PrinterContext.paper;
        g_PrinterContext.state = isEnough ? PRINTER_PRINTING : PRINTER_NEED_SUPPLIES;
        return;
    }
    default:
        return;  // nothing leads out of any other state
    }
}

// ---------------------------------------------------------------- registry

void UserInfoDestructor(void *)
{
}

// The first user of exactly this name, or NULL.
static ListNode *FindUserNode(const char *name)
{
    for (ListNode *node = GetFirstNode(&g_UserInfoList); node != nullptr && !IsTailer(&g_UserInfoList, node);
         node = GetNextNode(node)) {
        if (strcmp(static_cast<UserInfo *>(node->pData)->userName, name) == 0)
            return node;
    }
    return nullptr;
}

int AuthorizeCheck(const char *name)
{
    return FindUserNode(name) != nullptr ? 1 : 0;
}

int FindUserID(const char *name)
{
    ListNode *node = FindUserNode(name);
    return node != nullptr ? static_cast<UserInfo *>(node->pData)->userID : -1;
}

int AddUser(const char *name)
{
    if (AuthorizeCheck(name) == 1)
        return 0;
    ListNode *node = AddNode(&g_UserInfoList);
    UserInfo *user = static_cast<UserInfo *>(AllocateZeroed(sizeof(UserInfo), "a user record"));
    node->pData = user;
    snprintf(user->userName, sizeof user->userName, "%s", name);
    return 1;
}

int DeleteUser(const char *name)
{
    ListNode *node = FindUserNode(name);
    if (node == nullptr)
        return 0;
    DeleteNode(&g_UserInfoList, node);
    return 1;
}

void ShowUserList()
{
    display(DISPLAY_USER_LIST);
}

void display(int mode)
{
    if (mode == DISPLAY_USER_LIST)
        userList_display();
}

void userList_display()
{
    for (ListNode *node = GetFirstNode(&g_UserInfoList); node != nullptr && !IsTailer(&g_UserInfoList, node);
         node = GetNextNode(node))
        printf("user Name : %s \n", static_cast<UserInfo *>(node->pData)->userName);
    // The program is only ever ended from outside: a listing left in the
    // buffer of a pipe or a file would be lost.
    fflush(stdout);
}

// ---------------------------------------------------------------- stock

// Adds an amount to a stock unless the total would leave 32 bits.
static int32_t AddToStock(int32_t *stock, int32_t amount)
{
    int64_t total = int64_t{*stock} + amount;
    if (total >= INT32_MIN && total <= INT32_MAX)
        *stock = static_cast<int32_t>(total);
    return *stock;
}

int32_t RefilInk(int32_t amount)
{
    return AddToStock(&g_SuppliesData.ink, amount);
}

int32_t RefillPaper(int32_t amount)
{
    return AddToStock(&g_SuppliesData.paper, amount);
}

}  // namespace linemode
