// A test fixture with fresh records of the line-mode program, in a scratch
// working directory of its own that holds a small print file, notes.txt.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "line/Line.h"

class LineFixture : public ::testing::Test {
public:
    // The names of the registered users, in list order.
    static std::vector<std::string> Users()
    {
        std::vector<std::string> names;
        for (ListNode *n = GetFirstNode(&linemode::g_UserInfoList); n != nullptr && !IsTailer(&linemode::g_UserInfoList, n);
             n = GetNextNode(n))
            names.push_back(static_cast<UserInfo *>(n->pData)->userName);
        return names;
    }
    // The userIDs of the registered users, in list order.
    static std::vector<int32_t> UserIDs()
    {
        std::vector<int32_t> ids;
        for (ListNode *n = GetFirstNode(&linemode::g_UserInfoList); n != nullptr && !IsTailer(&linemode::g_UserInfoList, n);
             n = GetNextNode(n))
            ids.push_back(static_cast<UserInfo *>(n->pData)->userID);
        return ids;
    }
    // The owners of the waiting jobs, in list order.
    static std::vector<int32_t> Jobs()
    {
        std::vector<int32_t> owners;
        for (ListNode *n = GetFirstNode(&linemode::g_JobWaitList); n != nullptr && !IsTailer(&linemode::g_JobWaitList, n);
             n = GetNextNode(n))
            owners.push_back(static_cast<PrintJob *>(n->pData)->userID);
        return owners;
    }
    static void WriteFile(const std::string &name, const std::string &content)
    {
        std::ofstream(name, std::ios::binary) << content;
    }

protected:
    void SetUp() override
    {
        originalDirectory = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "quillbay-line-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        scratchDirectory = pattern;
        std::filesystem::current_path(scratchDirectory);
        WriteFile("notes.txt", "hello\n");
        ResetRecords();
    }
    void TearDown() override
    {
        DestroyLists();
        std::filesystem::current_path(originalDirectory);
        std::filesystem::remove_all(scratchDirectory);
    }
    // Fresh, empty records, as at program start.
    static void ResetRecords()
    {
        DestroyLists();
        linemode::g_PrinterContext = {};
        linemode::g_SuppliesData = {};
        linemode::CreateLists();
        s_areListsCreated = true;
    }

    std::string scratchDirectory;
    std::filesystem::path originalDirectory;

private:
    // Deletes every node (closing the jobs' files) and the sentinels.
    static void DestroyLists()
    {
        if (!s_areListsCreated)
            return;
        DestructLinkedListInstance(&linemode::g_UserInfoList);
        DestructLinkedListInstance(&linemode::g_JobWaitList);
        linemode::g_UserInfoList = {};
        linemode::g_JobWaitList = {};
        s_areListsCreated = false;
    }
    static inline bool s_areListsCreated = false;
};
