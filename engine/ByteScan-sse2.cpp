// Sixteen bytes at a time in SSE2 registers, which every x86-64 processor
// has. Elsewhere the path is unavailable and falls back to the portable one.
#include "engine/ByteScan.h"

#if defined(__SSE2__)

#include <emmintrin.h>

#include "engine/ByteScanBlock.h"

static __m128i Load(const unsigned char *bytes)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes));
}

static uint64_t LaneBits(__m128i lanes, size_t part)
{
    return static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(lanes))) << (16 * part);
}

// White space of the C locale: space, and tab to carriage return. Signed
// compares leave the bytes from 0x80 out.
static __m128i WhiteSpaceLanes(__m128i lanes)
{
    __m128i controls = _mm_and_si128(_mm_cmpgt_epi8(lanes, _mm_set1_epi8('\t' - 1)),
                                     _mm_cmplt_epi8(lanes, _mm_set1_epi8('\r' + 1)));
    return _mm_or_si128(_mm_cmpeq_epi8(lanes, _mm_set1_epi8(' ')), controls);
}

static BlockMasks ClassifyBlock(const unsigned char *bytes)
{
    BlockMasks masks = {0, 0, 0};
#pragma GCC unroll 8
    for (size_t part = 0; part < SCAN_BLOCK / 16; part++) {
        __m128i lanes = Load(bytes + 16 * part);
        __m128i zeros = _mm_cmpeq_epi8(lanes, _mm_setzero_si128());
        masks.lineFeeds |= LaneBits(_mm_cmpeq_epi8(lanes, _mm_set1_epi8('\n')), part);
        masks.zeros |= LaneBits(zeros, part);
        masks.inkBytes |= LaneBits(_mm_or_si128(WhiteSpaceLanes(lanes), zeros), part);
    }
    masks.inkBytes = ~masks.inkBytes;
    return masks;
}

void ScanBlocks_Sse2(const unsigned char *bytes, size_t blocks, InkScan *scan)
{
    InkScan local = *scan;
    for (size_t i = 0; i < blocks; i++, bytes += SCAN_BLOCK)
        ScanBlock(ClassifyBlock(bytes), local);
    *scan = local;
}

bool IsSse2Available()
{
    return true;
}

#else

void ScanBlocks_Sse2(const unsigned char *bytes, size_t blocks, InkScan *scan)
{
    ScanBlocks_Portable(bytes, blocks, scan);
}

bool IsSse2Available()
{
    return false;
}

#endif
