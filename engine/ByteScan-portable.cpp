// Eight bytes at a time in a 64-bit word, on any processor.
#include "engine/ByteScan.h"

#include <bit>
#include <cstring>

#include "engine/PrinterRecords.h"

// Byte masks of a 64-bit word: each byte's flag is its high bit.
constexpr uint64_t ONES = 0x0101010101010101ULL;
constexpr uint64_t HIGH_BITS = 0x8080808080808080ULL;
constexpr uint64_t LOW_SEVEN = 0x7f7f7f7f7f7f7f7fULL;

// Eight bytes with byte 0 in the low bits, whatever the machine's order.
static uint64_t LoadWord(const unsigned char *bytes)
{
    uint64_t word;
    memcpy(&word, bytes, sizeof word);
    if constexpr (std::endian::native == std::endian::big)
        word = __builtin_bswap64(word);
    return word;
}

// Flags the zero bytes. Exact: no carry crosses from one byte to the next.
static uint64_t ZeroBytes(uint64_t word)
{
    return ~(((word & LOW_SEVEN) + LOW_SEVEN) | word) & HIGH_BITS;
}

// Flags the white space of the C locale: space, and tab to carriage return.
static uint64_t WhiteSpaceBytes(uint64_t word)
{
    uint64_t low = word & LOW_SEVEN;
    uint64_t fromTab = low + ONES * (0x80 - '\t');
    uint64_t pastReturn = low + ONES * (0x80 - '\r' - 1);
    uint64_t controls = fromTab & ~pastReturn & ~word & HIGH_BITS;
    return ZeroBytes(word ^ (ONES * ' ')) | controls;
}

// The flags as eight bits, byte 0's in bit 0: the multiply gathers the low
// bit of every byte into the top byte.
static uint64_t PackFlags(uint64_t flags)
{
    return ((flags >> 7) * 0x0102040810204080ULL) >> 56;
}

void FindLineFeeds_Portable(const unsigned char *bytes, size_t chunks, uint64_t *masks)
{
    for (size_t chunk = 0; chunk < chunks; chunk++) {
        uint64_t mask = 0;
        for (size_t word = 0; word < SCAN_CHUNK / 8; word++) {
            uint64_t lineFeeds = ZeroBytes(LoadWord(bytes + 8 * word) ^ (ONES * '\n'));
            mask |= PackFlags(lineFeeds) << (8 * word);
        }
        masks[chunk] = mask;
        bytes += SCAN_CHUNK;
    }
}

// The number of flagged bytes (at most 8, so the byte sum cannot overflow).
static uint64_t CountFlags(uint64_t flags)
{
    return ((flags >> 7) * ONES) >> 56;
}

uint64_t ReadInk_Portable(const unsigned char *bytes, size_t length)
{
    size_t limit = length < PRINT_LINE_WIDTH ? length : PRINT_LINE_WIDTH;
    uint64_t ink = 0;
    for (size_t offset = 0; offset < limit; offset += 8) {
        uint64_t word = LoadWord(bytes + offset);
        size_t taken = limit - offset;
        uint64_t inRead = taken >= 8 ? HIGH_BITS : HIGH_BITS & ((uint64_t{1} << (8 * taken)) - 1);
        uint64_t zeros = ZeroBytes(word) & inRead;
        if (zeros != 0)
            inRead &= (zeros & (~zeros + 1)) - 1;  // bytes before the first zero byte
        ink += CountFlags(~WhiteSpaceBytes(word) & inRead);
        if (zeros != 0)
            break;
    }
    return ink;
}
