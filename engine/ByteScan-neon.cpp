// Sixteen bytes at a time in NEON registers, which every 64-bit ARM
// processor has, so the path is chosen when the program is built for one.
// Elsewhere the path is unavailable and falls back to the portable one.
#include "engine/ByteScan.h"

#if defined(__aarch64__) && defined(__ARM_NEON) && defined(__ORDER_LITTLE_ENDIAN__) && \
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__

#include <arm_neon.h>

#include "engine/ByteScanBlock.h"

constexpr size_t BATCH_BLOCKS = 4;  // blocks looked at at once for zero bytes

// Four parts of compare results (lanes of 0xff or 0) as 64 bits, lane j of
// part p as bit 16 * p + j: each lane keeps a bit of its own, and three
// pairwise adds fold the sixteen lanes of every part into two bytes.
static inline uint64_t LaneBits(uint8x16_t part0, uint8x16_t part1, uint8x16_t part2, uint8x16_t part3)
{
    const uint8x16_t weights = {1, 2, 4, 8, 16, 32, 64, 128, 1, 2, 4, 8, 16, 32, 64, 128};
    uint8x16_t sum01 = vpaddq_u8(vandq_u8(part0, weights), vandq_u8(part1, weights));
    uint8x16_t sum23 = vpaddq_u8(vandq_u8(part2, weights), vandq_u8(part3, weights));
    uint8x16_t sum = vpaddq_u8(sum01, sum23);
    return vgetq_lane_u64(vreinterpretq_u64_u8(vpaddq_u8(sum, sum)), 0);
}

// White space of the C locale: space, and tab to carriage return; an
// unsigned compare after subtracting the tab leaves every other byte out.
static inline uint8x16_t WhiteSpaceLanes(uint8x16_t lanes)
{
    uint8x16_t controls = vcleq_u8(vsubq_u8(lanes, vdupq_n_u8('\t')), vdupq_n_u8('\r' - '\t'));
    return vorrq_u8(vceqq_u8(lanes, vdupq_n_u8(' ')), controls);
}

// The masks of a block known to hold no zero byte.
static inline BlockMasks ClassifyTextBlock(const unsigned char *bytes)
{
    uint8x16x4_t lanes = vld1q_u8_x4(bytes);
    const uint8x16_t lineFeed = vdupq_n_u8('\n');
    uint64_t lineFeeds = LaneBits(vceqq_u8(lanes.val[0], lineFeed), vceqq_u8(lanes.val[1], lineFeed),
                                  vceqq_u8(lanes.val[2], lineFeed), vceqq_u8(lanes.val[3], lineFeed));
    uint64_t whiteSpace = LaneBits(WhiteSpaceLanes(lanes.val[0]), WhiteSpaceLanes(lanes.val[1]),
                                   WhiteSpaceLanes(lanes.val[2]), WhiteSpaceLanes(lanes.val[3]));
    return {lineFeeds, ~whiteSpace, 0};
}

static inline BlockMasks ClassifyBlock(const unsigned char *bytes)
{
    BlockMasks masks = ClassifyTextBlock(bytes);
    uint8x16x4_t lanes = vld1q_u8_x4(bytes);
    masks.zeros = LaneBits(vceqzq_u8(lanes.val[0]), vceqzq_u8(lanes.val[1]), vceqzq_u8(lanes.val[2]),
                           vceqzq_u8(lanes.val[3]));
    masks.inkBytes &= ~masks.zeros;
    return masks;
}

// Zero bytes are rare in text: one test for a batch of blocks spares
// looking for them, and for the rare cases, block by block.
static inline bool HasZeroByte(const unsigned char *bytes)
{
    uint8x16_t least = vld1q_u8(bytes);
    for (size_t part = 1; part < BATCH_BLOCKS * SCAN_BLOCK / 16; part++)
        least = vminq_u8(least, vld1q_u8(bytes + 16 * part));
    return vminvq_u8(least) == 0;
}

void ScanBlocks_Neon(const unsigned char *bytes, size_t blocks, InkScan *scan)
{
    InkScan local = *scan;
    size_t i = 0;
    for (; i + BATCH_BLOCKS <= blocks; i += BATCH_BLOCKS, bytes += BATCH_BLOCKS * SCAN_BLOCK) {
        if (ArePlainBlocksAhead(local, BATCH_BLOCKS) && !HasZeroByte(bytes)) {
            for (size_t j = 0; j < BATCH_BLOCKS; j++) {
                BlockMasks masks = ClassifyTextBlock(bytes + j * SCAN_BLOCK);
                ScanPlainBlock(masks, HeadBytes(masks.lineFeeds, local.readBytes), local);
            }
        } else {
            for (size_t j = 0; j < BATCH_BLOCKS; j++)
                ScanBlock(ClassifyBlock(bytes + j * SCAN_BLOCK), local);
        }
    }
    for (; i < blocks; i++, bytes += SCAN_BLOCK)
        ScanBlock(ClassifyBlock(bytes), local);
    *scan = local;
}

bool IsNeonAvailable()
{
    return true;
}

#else

void ScanBlocks_Neon(const unsigned char *bytes, size_t blocks, InkScan *scan)
{
    ScanBlocks_Portable(bytes, blocks, scan);
}

bool IsNeonAvailable()
{
    return false;
}

#endif
