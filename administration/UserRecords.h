// The user record, shared by the terminal programs and the line-mode program.
#pragma once

#include <cstdint>

constexpr int MAX_USER_NAME_LEN = 20;  // longest user name, in bytes

// One registered user; a zero-filled heap record owned by its list node.
struct UserInfo {
    int32_t userID;                         // identifier, unique for the process
    char userName[MAX_USER_NAME_LEN + 1];  // compared byte for byte
};
