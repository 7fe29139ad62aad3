#include "list/LinkedList.h"

#include "common/Allocate.h"

#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static ListNode *AllocateNode()
{
    return static_cast<ListNode *>(AllocateZeroed(sizeof(ListNode), "a list node"));
}

int CreateLinkedListInstance(const char *name, LinkedListInstance *list, DataDestructor destructor)
{
    list->pHeader = AllocateNode();
    list->pTailer = AllocateNode();
    snprintf(list->listName, sizeof list->listName, "%s", name);
    list->pHeader->pNext = list->pTailer;
    list->pTailer->pPrev = list->pHeader;
    list->destructor = destructor;
    return 1;  // AllocateZeroed never returns NULL: both sentinels exist
}

void DeleteAllNodes(LinkedListInstance *list)
{
    ListNode *node = GetFirstNode(list);
    while (node != nullptr && !IsTailer(list, node)) {
        ListNode *next = GetNextNode(node);
        DeleteNode(list, node);
        node = next;
    }
}

int DestructLinkedListInstance(LinkedListInstance *list)
{
    DeleteAllNodes(list);
    free(list->pHeader);
    free(list->pTailer);
    return 1;
}

ListNode *GetFirstNode(LinkedListInstance *list)
{
    return list->nodeCnt == 0 ? nullptr : list->pHeader->pNext;
}

ListNode *GetLastNode(LinkedListInstance *list)
{
    return list->nodeCnt == 0 ? nullptr : list->pTailer->pPrev;
}

ListNode *GetNextNode(ListNode *node)
{
    return node->pNext;
}

ListNode *GetPrevNode(ListNode *node)
{
    return node->pPrev;
}

ListNode *AddNode(LinkedListInstance *list)
{
    ListNode *last = list->pTailer->pPrev;
    ListNode *node = AllocateNode();
    node->pPrev = last;
    node->pNext = list->pTailer;
    last->pNext = node;
    list->pTailer->pPrev = node;
    list->nodeCnt++;
    return node;
}

void DeleteNode(LinkedListInstance *list, ListNode *node)
{
    assert(node != nullptr && node != list->pHeader && node != list->pTailer);
    ListNode *prev = node->pPrev;
    ListNode *next = node->pNext;
    if (prev != nullptr)
        prev->pNext = next;
    if (next != nullptr)
        next->pPrev = prev;
    if (node->pData != nullptr) {
        list->destructor(node->pData);
        free(node->pData);
    }
    free(node);
    list->nodeCnt--;
}

bool IsTailer(LinkedListInstance *list, ListNode *node)
{
    return node == list->pTailer;
}

bool IsHeader(LinkedListInstance *list, ListNode *node)
{
    return node == list->pHeader;
}

int32_t GetNodeCount(LinkedListInstance *list)
{
    return list->nodeCnt;
}
