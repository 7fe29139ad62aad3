// Generic doubly linked list with a head and a tail sentinel, a name and a
// per-list destructor for the data records. Nodes are appended at the end
// and removed anywhere, so a list keeps insertion order (a FIFO queue).
//
// Traversal form used everywhere:
//   for (ListNode *n = GetFirstNode(l); n && !IsTailer(l, n); n = GetNextNode(n))
// A walk that deletes takes GetNextNode(n) before DeleteNode(l, n).
#pragma once

#include <cstdint>

constexpr int LIST_NAME_SIZE = 32;  // bytes of listName, terminator included

// Releases what a data record holds (open files, say), never the record
// itself: the list frees the record right after the call.
typedef void (*DataDestructor)(void *data);

struct ListNode {
    void *pData;      // data record; NULL in sentinels and in a fresh node
    ListNode *pPrev;  // NULL in the head sentinel
    ListNode *pNext;  // NULL in the tail sentinel
};

// Storage supplied by the caller (a zero-filled global); the container never
// allocates or frees the record itself.
struct LinkedListInstance {
    char listName[LIST_NAME_SIZE];  // identification only; cut to fit
    DataDestructor destructor;      // called before a data record is freed
    ListNode *pHeader;              // head sentinel
    ListNode *pTailer;              // tail sentinel
    int32_t nodeCnt;                // data nodes, sentinels not counted
};

// Creates both sentinels. Always returns 1: a failed allocation ends the
// program (AllocateZeroed), so both sentinels exist. nodeCnt must be 0 on
// entry (a zero-filled record guarantees it).
int CreateLinkedListInstance(const char *name, LinkedListInstance *list, DataDestructor destructor);
// Deletes every data node as DeleteNode does, then frees the sentinels.
// Always returns 1; the record is unusable until created again.
int DestructLinkedListInstance(LinkedListInstance *list);

// First or last data node; NULL when nodeCnt is 0.
ListNode *GetFirstNode(LinkedListInstance *list);
ListNode *GetLastNode(LinkedListInstance *list);
// The link itself, untested: a sentinel past the ends, NULL beyond it.
ListNode *GetNextNode(ListNode *node);
ListNode *GetPrevNode(ListNode *node);

// Appends a node with NULL data; the caller stores its record in pData.
ListNode *AddNode(LinkedListInstance *list);
// Unlinks a data node of this list, calls the destructor on its data (if
// any), frees the data record and the node. Can't fail.
void DeleteNode(LinkedListInstance *list, ListNode *node);
// Deletes every data node, first to last, as DeleteNode does; the list
// stays usable and empty.
void DeleteAllNodes(LinkedListInstance *list);

bool IsTailer(LinkedListInstance *list, ListNode *node);
bool IsHeader(LinkedListInstance *list, ListNode *node);
int32_t GetNodeCount(LinkedListInstance *list);
