// Sixteen bytes at a time in SSE2 registers, which every x86-64 processor
// has. Elsewhere this file is empty and the portable versions do the work.
#if defined(__SSE2__)

#include "engine/ByteScan.h"

#include <bit>
#include <emmintrin.h>

#include "engine/PrinterRecords.h"

static_assert(PRINT_LINE_WIDTH <= 31 && READ_INK_LOAD == 32, "the head fits two registers and a 32-bit mask");

// Lanes 0 to n - 1 set for PREFIX_LANES + 32 - n: the lanes within the head.
alignas(16) static const unsigned char PREFIX_LANES[64] = {
    0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
    0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
};

static __m128i Load(const unsigned char *bytes)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes));
}

// The lanes that are white space in the C locale: space, and tab to
// carriage return. Signed compares leave the bytes from 0x80 out.
static __m128i WhiteSpaceLanes(__m128i lanes)
{
    __m128i controls = _mm_and_si128(_mm_cmpgt_epi8(lanes, _mm_set1_epi8('\t' - 1)),
                                     _mm_cmplt_epi8(lanes, _mm_set1_epi8('\r' + 1)));
    return _mm_or_si128(_mm_cmpeq_epi8(lanes, _mm_set1_epi8(' ')), controls);
}

// The number of set lanes within the head mask.
static __m128i CountInk(__m128i lanes, const unsigned char *head)
{
    __m128i ink = _mm_andnot_si128(WhiteSpaceLanes(lanes), Load(head));
    return _mm_sad_epu8(_mm_and_si128(ink, _mm_set1_epi8(1)), _mm_setzero_si128());
}

void FindLineFeeds_Sse2(const unsigned char *bytes, size_t chunks, uint64_t *masks)
{
    const __m128i lineFeed = _mm_set1_epi8('\n');
    for (size_t chunk = 0; chunk < chunks; chunk++) {
        uint64_t mask = 0;
        for (size_t lane = 0; lane < SCAN_CHUNK / 16; lane++) {
            __m128i matches = _mm_cmpeq_epi8(Load(bytes + 16 * lane), lineFeed);
            mask |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(matches))) << (16 * lane);
        }
        masks[chunk] = mask;
        bytes += SCAN_CHUNK;
    }
}

uint64_t ReadInk_Sse2(const unsigned char *bytes, size_t length)
{
    unsigned limit = length < PRINT_LINE_WIDTH ? static_cast<unsigned>(length) : PRINT_LINE_WIDTH;
    __m128i low = Load(bytes);
    __m128i high = Load(bytes + 16);
    __m128i zero = _mm_setzero_si128();
    uint32_t zeros = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, zero))) |
                     static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, zero))) << 16;
    zeros &= (uint32_t{1} << limit) - 1;
    if (zeros != 0)
        limit = static_cast<unsigned>(std::countr_zero(zeros));  // a zero byte ends the print line
    const unsigned char *head = PREFIX_LANES + 32 - limit;
    __m128i sums = _mm_add_epi64(CountInk(low, head), CountInk(high, head + 16));
    return static_cast<uint64_t>(_mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4));
}

#endif
