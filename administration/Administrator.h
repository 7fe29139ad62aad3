// The user registry, the administrator's supplies stock and the
// administrator command language, which also forwards a registered user's
// printer commands. Reports through DisplayError, redraws through display.
#pragma once

#include <cstdint>
#include <span>

#include "administration/UserRecords.h"
#include "common/CommandDecision.h"
#include "common/Commands.h"
#include "list/LinkedList.h"

constexpr const char ADMIN_WORD[] = "admin";  // begins every administrator command line

// The administrator's commands.
enum AdminCommand {
    ADMIN_REFILL,
    ADMIN_ADD_USER,
    ADMIN_DEL_USER,
    ADMIN_SHOW_USER_LIST,
    ADMIN_NONE,
};

using AdminCommandRow = CommandRow<AdminCommand>;

extern LinkedListInstance g_UserInfoList;
extern int32_t g_nextUserIdx;  // identifier of the next registration; never lowered

// Creates the empty user list.
void InitAdmin();
// The user list's destructor: a UserInfo holds nothing to release.
void UserInfoDestructor(void *data);
// The userID of the user with exactly this name, or -1.
int FindUserID(const char *name);
// 1 when a user with exactly this name is registered, else 0.
bool AuthorizeCheck(const char *name);
// Registers a name under the next identifier. 1 when registered, 0 when the
// name is taken (with a message).
int AddUser(const char *name);
// Removes the first user of exactly this name. 1 when removed, 0 when none
// (with a message).
int DeleteUser(const char *name);
// Redraws the status window with the user names.
void ShowUserList();

// The administrator's commands in the order the parser tries them.
std::span<const AdminCommandRow> AdminCommandTable();
// What an administrator command or a registered user's command line will
// do, decided from the records without changing anything.
CommandDecision DecideAdminCommand(const char *line);
// Carries out a decision of either parser. 1 when a command was carried
// out, 0 when ignored or refused.
int CarryOutCommand(const CommandDecision &decision);
// Decides an administrator command or a registered user's command line and
// carries it out. Returns 1 when a command was carried out, 0 when ignored
// or refused.
int AdminCommandParser(const char *line);
// Add to the stock. The caller keeps the stock within 32 bits.
void RefilInk(int32_t amount);
void RefillPaper(int32_t amount);
