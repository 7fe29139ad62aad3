#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "list/LinkedList.h"

namespace {

std::vector<void *> g_destroyed;

void RecordDestruction(void *data)
{
    g_destroyed.push_back(data);
    // The record must still be intact when the destructor runs.
    EXPECT_EQ(*static_cast<int *>(data) & 0xff00, 0x4200);
}

struct ListTest : ::testing::Test {
    LinkedListInstance list = {};
    void SetUp() override
    {
        g_destroyed.clear();
        ASSERT_EQ(CreateLinkedListInstance("JOB_WAIT_LIST", &list, RecordDestruction), 1);
    }
    void TearDown() override { DestructLinkedListInstance(&list); }

    ListNode *Add(int value)
    {
        ListNode *node = AddNode(&list);
        EXPECT_EQ(node->pData, nullptr);
        int *data = static_cast<int *>(malloc(sizeof(int)));
        *data = 0x4200 | value;
        node->pData = data;
        return node;
    }
    std::vector<int> Forward()
    {
        std::vector<int> values;
        for (ListNode *n = GetFirstNode(&list); n != nullptr && !IsTailer(&list, n); n = GetNextNode(n))
            values.push_back(*static_cast<int *>(n->pData) & 0xff);
        return values;
    }
    std::vector<int> Backward()
    {
        std::vector<int> values;
        for (ListNode *n = GetLastNode(&list); n != nullptr && !IsHeader(&list, n); n = GetPrevNode(n))
            values.push_back(*static_cast<int *>(n->pData) & 0xff);
        return values;
    }
};

TEST_F(ListTest, FreshListIsEmpty)
{
    EXPECT_EQ(GetNodeCount(&list), 0);
    EXPECT_EQ(GetFirstNode(&list), nullptr);
    EXPECT_EQ(GetLastNode(&list), nullptr);
    EXPECT_TRUE(IsTailer(&list, GetNextNode(list.pHeader)));
    EXPECT_TRUE(IsHeader(&list, list.pHeader));
    EXPECT_FALSE(IsHeader(&list, list.pTailer));
    EXPECT_EQ(list.pHeader->pPrev, nullptr);
    EXPECT_EQ(list.pTailer->pNext, nullptr);
}

TEST_F(ListTest, BothSystemNamesFitWhole)
{
    EXPECT_STREQ(list.listName, "JOB_WAIT_LIST");
    LinkedListInstance users = {};
    CreateLinkedListInstance("USER_INFO_LIST", &users, RecordDestruction);
    EXPECT_STREQ(users.listName, "USER_INFO_LIST");
    DestructLinkedListInstance(&users);

    LinkedListInstance longName = {};
    std::string name(100, 'x');
    CreateLinkedListInstance(name.c_str(), &longName, RecordDestruction);
    EXPECT_EQ(strlen(longName.listName), sizeof longName.listName - 1);  // cut, never overflowed
    DestructLinkedListInstance(&longName);
}

TEST_F(ListTest, OneNodeIsFirstAndLast)
{
    ListNode *node = Add(1);
    EXPECT_EQ(GetFirstNode(&list), node);
    EXPECT_EQ(GetLastNode(&list), node);
    EXPECT_TRUE(IsHeader(&list, GetPrevNode(node)));
    EXPECT_TRUE(IsTailer(&list, GetNextNode(node)));
    EXPECT_EQ(GetNodeCount(&list), 1);
}

TEST_F(ListTest, KeepsOrderBothWays)
{
    Add(1), Add(2), Add(3);
    EXPECT_EQ(Forward(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Backward(), (std::vector<int>{3, 2, 1}));
}

TEST_F(ListTest, DeleteRelinksAndDestroys)
{
    Add(1);
    ListNode *middle = Add(2);
    Add(3);
    void *data = middle->pData;
    DeleteNode(&list, middle);
    EXPECT_EQ(g_destroyed, std::vector<void *>{data});
    EXPECT_EQ(GetNodeCount(&list), 2);
    EXPECT_EQ(Forward(), (std::vector<int>{1, 3}));
    EXPECT_EQ(Backward(), (std::vector<int>{3, 1}));
}

TEST_F(ListTest, DeletingOnlyNodeEmpties)
{
    DeleteNode(&list, Add(7));
    EXPECT_EQ(GetFirstNode(&list), nullptr);
    EXPECT_TRUE(IsTailer(&list, list.pHeader->pNext));
    EXPECT_TRUE(IsHeader(&list, list.pTailer->pPrev));
}

TEST_F(ListTest, NoDataNoDestructor)
{
    DeleteNode(&list, AddNode(&list));
    EXPECT_TRUE(g_destroyed.empty());
    EXPECT_EQ(GetNodeCount(&list), 0);
}

TEST_F(ListTest, DestroyDeletesInOrder)
{
    void *first = Add(1)->pData;
    void *second = Add(2)->pData;
    DestructLinkedListInstance(&list);
    EXPECT_EQ(g_destroyed, (std::vector<void *>{first, second}));
    CreateLinkedListInstance("JOB_WAIT_LIST", &(list = {}), RecordDestruction);  // for TearDown
}

TEST_F(ListTest, DeletingWalkVisitsAll)
{
    for (int i = 0; i < 5; i++)
        Add(i);
    ListNode *node = GetFirstNode(&list);
    while (node != nullptr && !IsTailer(&list, node)) {
        ListNode *next = GetNextNode(node);
        DeleteNode(&list, node);
        node = next;
    }
    EXPECT_EQ(g_destroyed.size(), 5u);
    EXPECT_EQ(GetNodeCount(&list), 0);
}

}  // namespace
