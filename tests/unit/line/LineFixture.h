// A test fixture with fresh records of the line-mode program, in a scratch
// working directory of its own that holds a small print file, notes.txt.
#pragma once

#include <string>
#include <vector>

#include "line/Line.h"
#include "tests/support/ListRecords.h"
#include "tests/support/Records.h"
#include "tests/support/ScratchDirectory.h"

class LineFixture : public ScratchDirectory {
public:
    // The names of the registered users, in list order.
    static std::vector<std::string> Users()
    {
        std::vector<std::string> names;
        for (const UserInfo *user : ListRecords<UserInfo>(&linemode::g_UserInfoList))
            names.push_back(user->userName);
        return names;
    }
    // The userIDs of the registered users, in list order.
    static std::vector<int32_t> UserIDs()
    {
        std::vector<int32_t> ids;
        for (const UserInfo *user : ListRecords<UserInfo>(&linemode::g_UserInfoList))
            ids.push_back(user->userID);
        return ids;
    }
    // The owners of the waiting jobs, in list order.
    static std::vector<int32_t> Jobs()
    {
        std::vector<int32_t> owners;
        for (const PrintJob *job : ListRecords<PrintJob>(&linemode::g_JobWaitList))
            owners.push_back(job->userID);
        return owners;
    }

protected:
    void SetUp() override
    {
        ScratchDirectory::SetUp();
        WriteFile("notes.txt", "hello\n");
        ResetLineRecords();
    }
    void TearDown() override
    {
        ResetLineRecords();  // closes the jobs' files
        ScratchDirectory::TearDown();
    }
};
