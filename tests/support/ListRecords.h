// The data records of a list, in list order, for tests to compare whole.
#pragma once

#include <vector>

#include "list/LinkedList.h"

template <typename Record>
std::vector<const Record *> ListRecords(LinkedListInstance *list)
{
    std::vector<const Record *> records;
    for (ListNode *node = GetFirstNode(list); node != nullptr && !IsTailer(list, node); node = GetNextNode(node))
        records.push_back(static_cast<const Record *>(node->pData));
    return records;
}
