// Thirty-two bytes at a time in AVX2 registers, on the x86-64 processors
// that have them (with the bit-manipulation and population-count
// instructions that came with them); the functions carry the instruction set themselves, so
// the rest of the program runs on any x86-64 processor. Elsewhere the path
// is unavailable and falls back to the portable one.
#include "engine/ByteScan.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))

#include <immintrin.h>

#define SCAN_HAS_POPCNT  // the functions below carry the instruction
#include "engine/ByteScanBlock.h"

#define AVX2_CODE __attribute__((target("avx2,bmi,bmi2,popcnt")))
#define AVX2_INLINE __attribute__((target("avx2,bmi,bmi2,popcnt"), always_inline)) inline

constexpr size_t BATCH_BLOCKS = 4;  // blocks looked at at once for zero bytes

AVX2_INLINE static __m256i Load(const unsigned char *bytes)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i *>(bytes));
}

AVX2_INLINE static uint64_t LaneBits(__m256i lanes, size_t part)
{
    return static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(lanes))) << (32 * part);
}

// White space of the C locale by a table lookup: space, tab, LF, VT, FF and
// CR each have a low nibble of their own, and the table holds the one white
// byte of each nibble (0xff matches no byte of that nibble). Bytes from
// 0x80 on look up 0 and match nothing either.
AVX2_INLINE static __m256i WhiteSpaceLanes(__m256i lanes)
{
    const __m256i table = _mm256_setr_epi8(' ', -1, -1, -1, -1, -1, -1, -1, -1, '\t', '\n', '\v', '\f', '\r', -1, -1,
                                           ' ', -1, -1, -1, -1, -1, -1, -1, -1, '\t', '\n', '\v', '\f', '\r', -1, -1);
    return _mm256_cmpeq_epi8(_mm256_shuffle_epi8(table, lanes), lanes);
}

// The masks of a block known to hold no zero byte.
AVX2_INLINE static BlockMasks ClassifyTextBlock(const unsigned char *bytes)
{
    BlockMasks masks = {0, 0, 0};
#pragma GCC unroll 8
    for (size_t part = 0; part < SCAN_BLOCK / 32; part++) {
        __m256i lanes = Load(bytes + 32 * part);
        masks.lineFeeds |= LaneBits(_mm256_cmpeq_epi8(lanes, _mm256_set1_epi8('\n')), part);
        masks.inkBytes |= LaneBits(WhiteSpaceLanes(lanes), part);
    }
    masks.inkBytes = ~masks.inkBytes;
    return masks;
}

AVX2_INLINE static BlockMasks ClassifyBlock(const unsigned char *bytes)
{
    BlockMasks masks = ClassifyTextBlock(bytes);
#pragma GCC unroll 8
    for (size_t part = 0; part < SCAN_BLOCK / 32; part++)
        masks.zeros |= LaneBits(_mm256_cmpeq_epi8(Load(bytes + 32 * part), _mm256_setzero_si256()), part);
    masks.inkBytes &= ~masks.zeros;
    return masks;
}

// Zero bytes are rare in text: one test for a batch of blocks spares
// looking for them, and for the rare cases, block by block.
AVX2_INLINE static bool HasZeroByte(const unsigned char *bytes)
{
    __m256i least = Load(bytes);
#pragma GCC unroll 8
    for (size_t part = 1; part < BATCH_BLOCKS * SCAN_BLOCK / 32; part++)
        least = _mm256_min_epu8(least, Load(bytes + 32 * part));
    __m256i zeros = _mm256_cmpeq_epi8(least, _mm256_setzero_si256());
    return !_mm256_testz_si256(zeros, zeros);
}

AVX2_CODE void ScanBlocks_Avx2(const unsigned char *bytes, size_t blocks, InkScan *scan)
{
    InkScan local = *scan;
    size_t i = 0;
    for (; i + BATCH_BLOCKS <= blocks; i += BATCH_BLOCKS, bytes += BATCH_BLOCKS * SCAN_BLOCK) {
        if (ArePlainBlocksAhead(local, BATCH_BLOCKS) && !HasZeroByte(bytes)) {
#pragma GCC unroll 8
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

bool IsAvx2Available()
{
    __builtin_cpu_init();  // may run before the constructors that would do it
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2") &&
           __builtin_cpu_supports("popcnt");
}

#else

void ScanBlocks_Avx2(const unsigned char *bytes, size_t blocks, InkScan *scan)
{
    ScanBlocks_Portable(bytes, blocks, scan);
}

bool IsAvx2Available()
{
    return false;
}

#endif
