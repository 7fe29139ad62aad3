// Sixteen bytes at a time in the compiler's generic vectors, which GCC and
// clang turn into the processor's own vector instructions (SSE2, NEON, the
// s390x vector facility) or, on a processor without them, into plain
// words; and the exact byte-by-byte rule that every path falls back on.
// A comparison gives a lane of all ones or zero for each byte; processors
// have no common instruction that gathers those into a bit mask, so the
// flags of a block's four parts are stacked into the bits of one vector's
// lanes, and a transpose of the bits of each 8x8 square turns them into
// masks.
#include "engine/ByteScan.h"

#include <bit>
#include <cstring>

#include "engine/ByteScanBlock.h"

typedef unsigned char Bytes __attribute__((vector_size(16)));
typedef uint64_t Words __attribute__((vector_size(16)));

constexpr size_t PARTS = SCAN_BLOCK / sizeof(Bytes);
constexpr size_t PLANES = 8;  // flags stacked in a lane: two masks of a block
constexpr size_t BATCH_BLOCKS = 4;  // blocks looked at at once for bytes below a tab

__attribute__((always_inline)) static inline Bytes Load(const unsigned char *bytes)
{
    Bytes lanes;
    memcpy(&lanes, bytes, sizeof lanes);
    return lanes;
}

// Byte k of each word (from the least significant) is lane k of its half,
// whatever the machine's byte order.
__attribute__((always_inline)) static inline Bytes InWordOrder(Bytes lanes)
{
    if constexpr (std::endian::native == std::endian::big)
        return __builtin_shufflevector(lanes, lanes, 7, 6, 5, 4, 3, 2, 1, 0, 15, 14, 13, 12, 11, 10, 9, 8);
    return lanes;
}

__attribute__((always_inline)) static inline Words AsWords(Bytes lanes)
{
    return reinterpret_cast<Words>(InWordOrder(lanes));
}

__attribute__((always_inline)) static inline Bytes AsBytes(Words words)
{
    return InWordOrder(reinterpret_cast<Bytes>(words));
}

// Bit 8r + c of each word becomes bit 8c + r: three swaps of ever larger
// squares.
__attribute__((always_inline)) static inline Words TransposeBits(Words x)
{
    Words t = (x ^ (x >> 7)) & 0x00aa00aa00aa00aaULL;
    x = x ^ t ^ (t << 7);
    t = (x ^ (x >> 14)) & 0x0000cccc0000ccccULL;
    x = x ^ t ^ (t << 14);
    t = (x ^ (x >> 28)) & 0x00000000f0f0f0f0ULL;
    return x ^ t ^ (t << 28);
}

// `planes` holds in bit p of lane j the flag of byte 16p + j of a block (p
// from 0 to 3), and in bit 4 + p that of the same byte for a second mask.
// The two masks, bit i for byte i. After the transpose, byte p of word h
// holds the flags of bytes 16p + 8h to 16p + 8h + 7, in order; interleaving
// the words' bytes puts them where the masks want them.
__attribute__((always_inline)) static inline void PlanesToMasks(Bytes planes, uint64_t *first, uint64_t *second)
{
    Words words = TransposeBits(AsWords(planes));
    Words swapped = __builtin_shufflevector(words, words, 1, 0);
    Words masks = AsWords(__builtin_shufflevector(AsBytes(words), AsBytes(swapped), 0, 16, 1, 17, 2, 18, 3, 19, 4,
                                                  20, 5, 21, 6, 22, 7, 23));
    *first = masks[0];
    *second = masks[1];
}

// Comparison results (lanes of all ones or zero) stacked as bits: the flag
// of `flags[p]` in bit p of each lane. Bits masked and ORed as a tree, so
// that no long chain of dependent steps holds up the next block.
__attribute__((always_inline)) static inline Bytes StackPlanes(const Bytes (&flags)[PLANES])
{
    // Bit p in every lane. (A scalar other than a constant does not mix
    // with a vector of narrower lanes.)
    static const Bytes PLANE_BITS[PLANES] = {Bytes{} + 0x01, Bytes{} + 0x02, Bytes{} + 0x04, Bytes{} + 0x08,
                                             Bytes{} + 0x10, Bytes{} + 0x20, Bytes{} + 0x40, Bytes{} + 0x80};
    Bytes bits[PLANES];
#pragma GCC unroll 8
    for (size_t p = 0; p < PLANES; p++)
        bits[p] = flags[p] & PLANE_BITS[p];
    return ((bits[0] | bits[1]) | (bits[2] | bits[3])) | ((bits[4] | bits[5]) | (bits[6] | bits[7]));
}

// White space of the C locale: space, and tab to carriage return; an
// unsigned compare after subtracting the tab leaves every other byte out.
__attribute__((always_inline)) static inline Bytes WhiteSpaceLanes(Bytes lanes)
{
    return reinterpret_cast<Bytes>((lanes == ' ') | (static_cast<Bytes>(lanes - '\t') <= '\r' - '\t'));
}

// The same for a block known to hold no byte below a tab, as most text:
// there white space is a space or a byte below 0x0e.
__attribute__((always_inline)) static inline Bytes TextWhiteSpaceLanes(Bytes lanes)
{
    return reinterpret_cast<Bytes>((lanes == ' ') | (lanes <= '\r'));
}

// The masks of a block, but its zero bytes; with `isText` the block is known
// to hold no byte below a tab. Each lane of `lineFeedCount` goes down by one
// for each line feed in it.
template <bool isText>
__attribute__((always_inline)) static inline BlockMasks ClassifyTextBlock(const unsigned char *bytes,
                                                                         Bytes *lineFeedCount)
{
    Bytes lanes[PARTS];
#pragma GCC unroll 4
    for (size_t part = 0; part < PARTS; part++)
        lanes[part] = Load(bytes + sizeof(Bytes) * part);
    Bytes flags[PLANES];
#pragma GCC unroll 4
    for (size_t part = 0; part < PARTS; part++) {
        flags[part] = reinterpret_cast<Bytes>(lanes[part] == '\n');
        *lineFeedCount += flags[part];
        flags[PARTS + part] = isText ? TextWhiteSpaceLanes(lanes[part]) : WhiteSpaceLanes(lanes[part]);
    }
    Bytes planes = StackPlanes(flags);
    uint64_t lineFeeds, whiteSpace;
    PlanesToMasks(planes, &lineFeeds, &whiteSpace);
    return {lineFeeds, ~whiteSpace, 0};
}

static BlockMasks ClassifyBlock(const unsigned char *bytes)
{
    Bytes unused = {};
    BlockMasks masks = ClassifyTextBlock<false>(bytes, &unused);
    Bytes flags[PLANES] = {};
    for (size_t part = 0; part < PARTS; part++)
        flags[part] = reinterpret_cast<Bytes>(Load(bytes + sizeof(Bytes) * part) == 0);
    Bytes planes = StackPlanes(flags);
    uint64_t none;
    PlanesToMasks(planes, &masks.zeros, &none);
    masks.inkBytes &= ~masks.zeros;
    return masks;
}

// Bytes below a tab, zero among them, are rare in text: one test for a
// batch of blocks spares looking for them, and for the rare cases, block by
// block.
__attribute__((always_inline)) static inline bool HasByteBelowTab(const unsigned char *bytes)
{
    Bytes least = Load(bytes);
    for (size_t part = 1; part < BATCH_BLOCKS * PARTS; part++) {
        Bytes lanes = Load(bytes + sizeof(Bytes) * part);
        least = least < lanes ? least : lanes;
    }
    Words below = reinterpret_cast<Words>(least < '\t');
    return (below[0] | below[1]) != 0;
}

// The sum of the lanes, none above 16. Each word's bytes add up in its top
// byte, whatever the byte order.
__attribute__((always_inline)) static inline uint64_t SumOfLanes(Bytes lanes)
{
    Words words = reinterpret_cast<Words>(lanes);
    return ((words[0] * 0x0101010101010101ULL) >> 56) + ((words[1] * 0x0101010101010101ULL) >> 56);
}

void ScanBlocks_Portable(const unsigned char *bytes, size_t blocks, InkScan *scan)
{
    InkScan local = *scan;
    size_t i = 0;
    for (; i + BATCH_BLOCKS <= blocks; i += BATCH_BLOCKS, bytes += BATCH_BLOCKS * SCAN_BLOCK) {
        if (ArePlainBlocksAhead(local, BATCH_BLOCKS) && !HasByteBelowTab(bytes)) {
            // The masks of the whole batch first: each block's take a
            // chain of dependent steps, and those of four blocks overlap.
            // Its line feeds are counted in the vectors, which costs less
            // than counting the bits of four masks without an instruction
            // for it; no lane counts past 16.
            BlockMasks masks[BATCH_BLOCKS];
            Bytes lineFeedCount = {};
#pragma GCC unroll 4
            for (size_t j = 0; j < BATCH_BLOCKS; j++)
                masks[j] = ClassifyTextBlock<true>(bytes + j * SCAN_BLOCK, &lineFeedCount);
#pragma GCC unroll 4
            for (size_t j = 0; j < BATCH_BLOCKS; j++)
                ScanPlainBlockButReads(masks[j], HeadBytes(masks[j].lineFeeds, local.readBytes), local);
            local.reads += SumOfLanes(-lineFeedCount);
        } else {
            for (size_t j = 0; j < BATCH_BLOCKS; j++)
                ScanBlock(ClassifyBlock(bytes + j * SCAN_BLOCK), local);
        }
    }
    for (; i < blocks; i++, bytes += SCAN_BLOCK)
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
