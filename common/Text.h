// Scanning helpers of the command languages. Only the space (0x20) is a
// blank, and keywords compare ASCII letters without regard to case whatever
// the locale, so a UTF-8 byte never matches a letter.
#pragma once

#include <cstddef>
#include <cstdint>

// The first character of text that is not a space; tabs are not skipped.
inline const char *LTrim(const char *text)
{
    while (*text == ' ')
        text++;
    return text;
}

inline char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when text begins with keyword, ASCII letter case ignored. Nothing
// needs to follow the keyword; a text shorter than the keyword never matches.
inline bool StartsWithKeyword(const char *text, const char *keyword)
{
    for (; *keyword != '\0'; text++, keyword++) {
        if (*text == '\0' || AsciiLower(*text) != AsciiLower(*keyword))
            return false;
    }
    return true;
}

// The text right after a keyword that text begins with (as StartsWithKeyword
// found it), so no caller counts the keyword's letters itself.
inline const char *AfterKeyword(const char *text, const char *keyword)
{
    while (*keyword != '\0') {
        text++;
        keyword++;
    }
    return text;
}

// Decimal conversion in the manner of atoi (leading white space, an optional
// sign, digits up to the first other character; no digits give 0), but
// without overflow: isInRange is false when the number does not fit in a
// signed 32-bit integer.
struct ParsedAmount {
    int32_t value;
    bool isInRange;
};

inline ParsedAmount ParseAmount(const char *text)
{
    while (*text == ' ' || (*text >= '\t' && *text <= '\r'))
        text++;
    bool isNegative = *text == '-';
    if (*text == '-' || *text == '+')
        text++;
    int64_t magnitude = 0;
    const int64_t limit = int64_t{INT32_MAX} + 1;
    for (; *text >= '0' && *text <= '9'; text++) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > limit)
            magnitude = limit + 1;  // saturate: the exact size no longer matters
    }
    int64_t value = isNegative ? -magnitude : magnitude;
    if (value > INT32_MAX || value < INT32_MIN)
        return {0, false};
    return {static_cast<int32_t>(value), true};
}
