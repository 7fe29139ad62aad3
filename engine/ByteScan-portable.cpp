// Eight bytes at a time in a 64-bit word, on any processor; and the exact
// byte-by-byte rule that every path falls back on.
#include "engine/ByteScan.h"

#include <bit>
#include <cstring>

#include "engine/ByteScanBlock.h"

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

// The flags as eight bits, byte 0's in bit 0: the multiply gathers the high
// bit of every byte into the top byte.
static uint64_t PackFlags(uint64_t flags)
{
    return ((flags >> 7) * 0x0102040810204080ULL) >> 56;
}

static BlockMasks ClassifyBlock(const unsigned char *bytes)
{
    BlockMasks masks = {0, 0, 0};
#pragma GCC unroll 8
    for (size_t i = 0; i < SCAN_BLOCK / 8; i++) {
        uint64_t word = LoadWord(bytes + 8 * i);
        uint64_t zeros = ZeroBytes(word);
        masks.lineFeeds |= PackFlags(ZeroBytes(word ^ (ONES * '\n'))) << (8 * i);
        masks.inkBytes |= PackFlags(~(WhiteSpaceBytes(word) | zeros) & HIGH_BITS) << (8 * i);
        masks.zeros |= PackFlags(zeros) << (8 * i);
    }
    return masks;
}

void ScanBlocks_Portable(const unsigned char *bytes, size_t blocks, InkScan *scan)
{
    InkScan local = *scan;
    for (size_t i = 0; i < blocks; i++, bytes += SCAN_BLOCK)
        ScanBlock(ClassifyBlock(bytes), local);
    *scan = local;
}

void ScanBlockByteByByte(const BlockMasks &masks, size_t length, InkScan *scan)
{
    for (size_t i = 0; i < length; i++) {
        uint64_t bit = uint64_t{1} << i;
        if (scan->readBytes < PRINT_LINE_WIDTH && !scan->isHeadCut) {
            scan->isHeadCut = (masks.zeros & bit) != 0;  // the print line ends at a zero byte
            scan->ink += (masks.inkBytes & bit) != 0;
        }
        scan->readBytes++;
        if ((masks.lineFeeds & bit) != 0 || scan->readBytes == READ_LIMIT) {
            scan->reads++;
            scan->readBytes = 0;
            scan->isHeadCut = false;
        } else if (scan->readBytes >= PRINT_LINE_WIDTH) {
            scan->isHeadCut = false;  // past the head, a zero byte changes nothing
        }
    }
}

void ScanShortBlock(const unsigned char *bytes, size_t length, InkScan *scan)
{
    unsigned char block[SCAN_BLOCK] = {};
    memcpy(block, bytes, length);
    ScanBlockByteByByte(ClassifyBlock(block), length, scan);
}
