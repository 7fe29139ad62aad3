// Eight bytes at a time in 64-bit words, for the processors that a build
// gives no vector unit (armhf and s390x as Debian builds them): there the
// compiler spells the generic vectors of the portable path out lane by
// lane, which takes several times the instructions. Each byte's flag is
// first the high bit of its byte in the word; a multiply then gathers the
// eight flags of a word into eight bits of a mask.
#include "engine/ByteScan.h"

#include <bit>
#include <cstring>

#include "engine/ByteScanBlock.h"

constexpr uint64_t ONES = 0x0101010101010101ULL;
constexpr uint64_t HIGH_BITS = 0x8080808080808080ULL;
constexpr uint64_t LOW_SEVEN = 0x7f7f7f7f7f7f7f7fULL;
// Times a word of high-bit flags: the flag of byte k lands on bit 56 + k.
constexpr uint64_t GATHER_FLAGS = 0x0002040810204081ULL;

// Eight bytes with byte 0 in the low bits, whatever the machine's order.
__attribute__((always_inline)) static inline uint64_t LoadWord(const unsigned char *bytes)
{
    uint64_t word;
    memcpy(&word, bytes, sizeof word);
    if constexpr (std::endian::native == std::endian::big)
        word = __builtin_bswap64(word);
    return word;
}

// A byte's low seven bits plus `value`: the sum's high bit says whether they
// reach 0x80 - value. Exact: no sum passes 0xff, so no carry crosses bytes.
__attribute__((always_inline)) static inline uint64_t AddToLowSeven(uint64_t low, unsigned value)
{
    return low + ONES * value;
}

// The eight high-bit flags of a word as the bits `8 * part` to `8 * part + 7`.
__attribute__((always_inline)) static inline uint64_t GatherFlags(uint64_t flags, size_t part)
{
    return (flags * GATHER_FLAGS) >> 56 << (8 * part);
}

// The masks of a block that has no byte below a tab, the common case in
// text: white space in the C locale is a space, and tab to carriage
// return, so here a byte is white space if it is a space or below 0x0e.
// `noneBelowTab` keeps a high bit clear wherever a byte is below a tab;
// for such a block the masks are wrong and ClassifyBlock must make them.
// Bytes from 0x80 on are ink. The line feeds are gathered as the bytes
// that are not one, which spares inverting each word's flags. With
// `isAscii` every byte is known to be below 0x80, so no byte needs its
// high bit masked off before the adds or set again after them.
template <bool isAscii>
__attribute__((always_inline)) static inline BlockMasks ClassifyTextBlock(const unsigned char *bytes,
                                                                         uint64_t *noneBelowTab)
{
    uint64_t notLineFeeds = 0, inkBytes = 0;
#pragma GCC unroll 8
    for (size_t part = 0; part < SCAN_BLOCK / 8; part++) {
        uint64_t word = LoadWord(bytes + 8 * part);
        uint64_t low = isAscii ? word : word & LOW_SEVEN;
        uint64_t high = isAscii ? 0 : word;
        uint64_t notSpace = AddToLowSeven(low ^ (ONES * ' '), 0x7f);
        uint64_t notLineFeed = AddToLowSeven(low ^ (ONES * '\n'), 0x7f);
        uint64_t pastReturn = AddToLowSeven(low, 0x80 - '\r' - 1);
        *noneBelowTab &= AddToLowSeven(low, 0x80 - '\t') | high;
        notLineFeeds |= GatherFlags((notLineFeed | high) & HIGH_BITS, part);
        inkBytes |= GatherFlags(((notSpace & pastReturn) | high) & HIGH_BITS, part);
    }
    return {~notLineFeeds, inkBytes, 0};
}

// Whether no byte of a block reaches 0x80, as in most text.
__attribute__((always_inline)) static inline bool IsAsciiBlock(const unsigned char *bytes)
{
    uint64_t any = 0;
#pragma GCC unroll 8
    for (size_t part = 0; part < SCAN_BLOCK / 8; part++)
        any |= LoadWord(bytes + 8 * part);
    return (any & HIGH_BITS) == 0;
}

// The flags of a word's ink bytes, whatever its bytes: neither white
// space nor zero.
__attribute__((always_inline)) static inline uint64_t InkFlags(uint64_t word)
{
    uint64_t low = word & LOW_SEVEN;
    uint64_t notSpace = AddToLowSeven(low ^ (ONES * ' '), 0x7f);
    uint64_t fromTab = AddToLowSeven(low, 0x80 - '\t');
    uint64_t pastReturn = AddToLowSeven(low, 0x80 - '\r' - 1);
    uint64_t notZero = AddToLowSeven(low, 0x7f);
    return ((notSpace & ~(fromTab ^ pastReturn) & notZero) | word) & HIGH_BITS;
}

// Flags the zero bytes. Exact: no carry crosses from one byte to the next.
__attribute__((always_inline)) static inline uint64_t ZeroBytes(uint64_t word)
{
    return ~(AddToLowSeven(word & LOW_SEVEN, 0x7f) | word) & HIGH_BITS;
}

// The masks of any block, the rare one with a byte below a tab included.
static BlockMasks ClassifyBlock(const unsigned char *bytes)
{
    uint64_t notLineFeeds = 0, inkBytes = 0, zeros = 0;
    for (size_t part = 0; part < SCAN_BLOCK / 8; part++) {
        uint64_t word = LoadWord(bytes + 8 * part);
        uint64_t low = word & LOW_SEVEN;
        notLineFeeds |= GatherFlags((AddToLowSeven(low ^ (ONES * '\n'), 0x7f) | word) & HIGH_BITS, part);
        inkBytes |= GatherFlags(InkFlags(word), part);
        zeros |= GatherFlags(ZeroBytes(word), part);
    }
    return {~notLineFeeds, inkBytes, zeros};
}

// Text rarely has a byte below a tab, so a block is classified in full,
// its zero bytes included, only where it has one.
void ScanBlocks_Words(const unsigned char *bytes, size_t blocks, InkScan *scan)
{
    InkScan local = *scan;
    for (size_t i = 0; i < blocks; i++, bytes += SCAN_BLOCK) {
        uint64_t noneBelowTab = HIGH_BITS;
        bool isAscii = IsAsciiBlock(bytes);
        // Loading the words again costs less than keeping eight of them in
        // registers, which the compiler would otherwise spill.
        asm("" : "+r"(bytes));
        BlockMasks masks = isAscii ? ClassifyTextBlock<true>(bytes, &noneBelowTab)
                                               : ClassifyTextBlock<false>(bytes, &noneBelowTab);
        if ((noneBelowTab & HIGH_BITS) != HIGH_BITS)
            masks = ClassifyBlock(bytes);
        ScanBlock(masks, local);
    }
    *scan = local;
}
