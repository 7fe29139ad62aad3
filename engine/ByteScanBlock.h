// The arithmetic every path shares once it has the masks of a block. Only
// the path files include it: it is inlined into each path's loop, so that
// the population counts use the instructions of that path.
#pragma once

#include "engine/ByteScan.h"
#include "engine/PrinterRecords.h"

constexpr uint32_t READ_LIMIT = LINE_BUFFER_SIZE - 1;  // bytes one fgets read returns at most
// A read shorter than this cannot reach READ_LIMIT within the next block.
constexpr uint32_t SHORT_READ_LIMIT = READ_LIMIT - SCAN_BLOCK;

// The bytes of a block within the first PRINT_LINE_WIDTH of their read.
// A read starts after each line feed; the one under way at the block's
// start reaches in from the block before. A line feed in the block's last
// byte starts a read in the next block, which its readBytes of 0 covers.
// No branch: whether a line feed or a read's head falls in a block is as
// good as random in ordinary text.
__attribute__((always_inline)) static inline uint64_t HeadBytes(uint64_t lineFeeds, uint32_t readBytes)
{
    static_assert(PRINT_LINE_WIDTH == 16 + 14, "the smear below covers 30 bytes");
    uint64_t heads = lineFeeds << 1;
    heads |= heads << 1;
    heads |= heads << 2;
    heads |= heads << 4;
    heads |= heads << 8;
    heads |= heads << 14;
    uint32_t headLeft = PRINT_LINE_WIDTH - (readBytes < PRINT_LINE_WIDTH ? readBytes : PRINT_LINE_WIDTH);
    return heads | ((uint64_t{1} << headLeft) - 1);
}

// The bits set in a word. Where the path has an instruction for it the
// builtin is that instruction; on x86-64 without one, the builtin calls a
// library function, slower than the shifts and adds below. A path whose
// functions carry the instruction themselves defines SCAN_HAS_POPCNT.
__attribute__((always_inline)) static inline uint64_t CountBits(uint64_t bits)
{
#if defined(__x86_64__) && !defined(__POPCNT__) && !defined(SCAN_HAS_POPCNT)
    bits -= (bits >> 1) & 0x5555555555555555ULL;
    bits = (bits & 0x3333333333333333ULL) + ((bits >> 2) & 0x3333333333333333ULL);
    bits = (bits + (bits >> 4)) & 0x0f0f0f0f0f0f0f0fULL;
    return (bits * 0x0101010101010101ULL) >> 56;
#else
    return static_cast<uint64_t>(__builtin_popcountll(bits));
#endif
}

// One block known to hold no zero byte at the head of a read and no read
// that reaches READ_LIMIT, with no read's print line cut short before it.
// Its reads are left to the caller, who may count them another way.
__attribute__((always_inline)) static inline void ScanPlainBlockButReads(const BlockMasks &masks, uint64_t heads,
                                                                        InkScan &scan)
{
    scan.ink += CountBits(heads & masks.inkBytes);
    uint32_t afterLastLineFeed = static_cast<uint32_t>(__builtin_clzll(masks.lineFeeds | 1));
    uint32_t longer = scan.readBytes + static_cast<uint32_t>(SCAN_BLOCK);
    scan.readBytes = masks.lineFeeds != 0 ? afterLastLineFeed : longer;
}

__attribute__((always_inline)) static inline void ScanPlainBlock(const BlockMasks &masks, uint64_t heads, InkScan &scan)
{
    ScanPlainBlockButReads(masks, heads, scan);
    scan.reads += CountBits(masks.lineFeeds);
}

// One block. The common case takes no loop at all; a zero byte at the
// head of a read, or a read that may reach READ_LIMIT, goes byte by byte.
__attribute__((always_inline)) static inline void ScanBlock(const BlockMasks &masks, InkScan &scan)
{
    uint64_t heads = HeadBytes(masks.lineFeeds, scan.readBytes);
    if (((masks.zeros & heads) != 0) | scan.isHeadCut | (scan.readBytes >= SHORT_READ_LIMIT)) {
        InkScan held = scan;  // a copy, so that the caller's scan can stay in registers
        ScanBlockByteByByte(masks, SCAN_BLOCK, &held);
        scan = held;
        return;
    }
    ScanPlainBlock(masks, heads, scan);
}

// Whether the next `blocks` blocks, if they hold no zero byte, can all be
// scanned as plain blocks: no read can reach READ_LIMIT within them.
__attribute__((always_inline)) static inline bool ArePlainBlocksAhead(const InkScan &scan, size_t blocks)
{
    return !scan.isHeadCut && scan.readBytes < SHORT_READ_LIMIT - (blocks - 1) * SCAN_BLOCK;
}
