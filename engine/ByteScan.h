// The two inner steps of measuring a print file, done a word or a vector at
// a time instead of a byte at a time: finding the line feeds of a block,
// and counting the ink of the head of one read. Each comes portable and,
// where the processor has it, in SSE2; the plain names pick the best.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t SCAN_CHUNK = 64;     // bytes per line-feed mask
constexpr size_t READ_INK_LOAD = 32;  // bytes loaded from a read's start

// Sets masks[i] bit j when bytes[i * SCAN_CHUNK + j] is a line feed, for
// `chunks` whole chunks.
void FindLineFeeds_Portable(const unsigned char *bytes, size_t chunks, uint64_t *masks);
void FindLineFeeds_Sse2(const unsigned char *bytes, size_t chunks, uint64_t *masks);  // x86 only

// The ink of one read of `length` bytes: its bytes that are not white space
// among the first PRINT_LINE_WIDTH, up to its first zero byte, which ends
// the print line. READ_INK_LOAD bytes from `bytes` on must be addressable;
// those past the read do not count.
uint64_t ReadInk_Portable(const unsigned char *bytes, size_t length);
uint64_t ReadInk_Sse2(const unsigned char *bytes, size_t length);  // x86 only

#if defined(__SSE2__)
inline void FindLineFeeds(const unsigned char *bytes, size_t chunks, uint64_t *masks)
{
    FindLineFeeds_Sse2(bytes, chunks, masks);
}
inline uint64_t ReadInk(const unsigned char *bytes, size_t length)
{
    return ReadInk_Sse2(bytes, length);
}
#else
inline void FindLineFeeds(const unsigned char *bytes, size_t chunks, uint64_t *masks)
{
    FindLineFeeds_Portable(bytes, chunks, masks);
}
inline uint64_t ReadInk(const unsigned char *bytes, size_t length)
{
    return ReadInk_Portable(bytes, length);
}
#endif
