#include <gtest/gtest.h>

#include <vector>

#include "administration/Administrator.h"
#include "tests/support/HeadlessScreen.h"
#include "tests/support/ListRecords.h"

namespace {

using RegistryTest = HeadlessScreen;

std::vector<std::pair<std::string, int>> Users()
{
    std::vector<std::pair<std::string, int>> users;
    for (const UserInfo *user : ListRecords<UserInfo>(&g_UserInfoList))
        users.emplace_back(user->userName, user->userID);
    return users;
}

std::string ErrorRow()
{
    return HeadlessScreen::Cells(g_pCommandWindow, 1, 2, 40);
}

TEST_F(RegistryTest, EmptyFindsNobody)
{
    EXPECT_FALSE(AuthorizeCheck("ann"));
    EXPECT_EQ(FindUserID("ann"), -1);
    EXPECT_FALSE(AuthorizeCheck(""));
}

TEST_F(RegistryTest, IdsAreNeverReused)
{
    EXPECT_EQ(AddUser("ann"), 1);
    EXPECT_EQ(AddUser("bob"), 1);
    EXPECT_EQ(AddUser("cy"), 1);
    EXPECT_EQ(Users(), (std::vector<std::pair<std::string, int>>{{"ann", 0}, {"bob", 1}, {"cy", 2}}));
    EXPECT_EQ(DeleteUser("bob"), 1);
    EXPECT_EQ(AddUser("dee"), 1);
    EXPECT_EQ(AddUser("bob"), 1);
    EXPECT_EQ(Users(), (std::vector<std::pair<std::string, int>>{{"ann", 0}, {"cy", 2}, {"dee", 3}, {"bob", 4}}));
    EXPECT_EQ(FindUserID("bob"), 4);
    EXPECT_EQ(ErrorRow(), std::string(40, ' '));  // success says nothing
}

TEST_F(RegistryTest, NamesAreCaseSensitive)
{
    AddUser("bob");
    EXPECT_EQ(AddUser("Bob"), 1);
    EXPECT_EQ(FindUserID("Bob"), 1);
    EXPECT_EQ(FindUserID("BOB"), -1);
}

TEST_F(RegistryTest, RefusalsNameTheUser)
{
    AddUser("ann");
    EXPECT_EQ(AddUser("ann"), 0);
    EXPECT_EQ(ErrorRow().substr(0, 30), "ERROR:ann is Already registed.");
    EXPECT_EQ(g_nextUserIdx, 1);
    EXPECT_EQ(GetNodeCount(&g_UserInfoList), 1);

    werase(g_pCommandWindow);
    EXPECT_EQ(DeleteUser("zed"), 0);
    EXPECT_EQ(ErrorRow().substr(0, 26), "ERROR:zed is not registed.");
}

TEST_F(RegistryTest, DeletesOnlyExactName)
{
    AddUser("ann");
    AddUser("Ann");
    EXPECT_EQ(DeleteUser("Ann"), 1);
    EXPECT_EQ(Users(), (std::vector<std::pair<std::string, int>>{{"ann", 0}}));
}

}  // namespace
