// The inner loop of measuring a print file, without a loop over its lines:
// each block of 64 bytes becomes three bit masks (line feeds, ink bytes,
// zero bytes), and the reads and the ink of the block follow from a few
// shifts and population counts of those masks. The masks come from the
// compiler's generic vectors on any processor (the portable path), from
// 64-bit words where a build has no vector unit, and from instructions of
// the processor's own where those are faster (SSE2, AVX2, NEON); which one
// runs is chosen at run time and can be forced for tests and benchmarks.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t SCAN_BLOCK = 64;  // bytes per set of masks

// What scanning carries from one block to the next. A scan starts at the
// start of a read (the file's start, or just after a line feed) zeroed.
struct InkScan {
    uint64_t reads;      // reads that ended so far
    uint64_t ink;        // ink of their print lines and of the current one so far
    uint32_t readBytes;  // bytes of the current read so far
    bool isHeadCut;      // a zero byte ended the current read's print line
};

// The masks of one block: bit j stands for byte j.
struct BlockMasks {
    uint64_t lineFeeds;
    uint64_t inkBytes;  // neither white space in the C locale nor zero
    uint64_t zeros;
};

enum ScanPath {
    SCAN_PATH_WORDS,     // 64-bit words, any processor
    SCAN_PATH_PORTABLE,  // the compiler's generic vectors, any processor
    SCAN_PATH_SSE2,      // every x86-64 processor
    SCAN_PATH_AVX2,      // x86-64 processors that have it
    SCAN_PATH_NEON,      // every 64-bit ARM processor
};
constexpr int SCAN_PATH_COUNT = 5;

// Scans `blocks` whole blocks from `bytes` into `scan`.
void ScanBlocks_Words(const unsigned char *bytes, size_t blocks, InkScan *scan);
void ScanBlocks_Portable(const unsigned char *bytes, size_t blocks, InkScan *scan);
void ScanBlocks_Sse2(const unsigned char *bytes, size_t blocks, InkScan *scan);  // x86-64 only
void ScanBlocks_Avx2(const unsigned char *bytes, size_t blocks, InkScan *scan);  // x86-64 only
void ScanBlocks_Neon(const unsigned char *bytes, size_t blocks, InkScan *scan);  // 64-bit ARM only
// Whether this build and this processor have the instructions of the path.
bool IsSse2Available();
bool IsAvx2Available();
bool IsNeonAvailable();

// True when this build and this processor can run the path.
bool IsScanPathAvailable(ScanPath path);
// The fastest available path; the one ScanBlocks uses unless forced.
ScanPath BestScanPath();
// Makes ScanBlocks use `path`. False (and nothing changed) when it is not
// available. Not to be called while a measuring runs.
bool ForceScanPath(ScanPath path);
// Scans with the chosen path.
void ScanBlocks(const unsigned char *bytes, size_t blocks, InkScan *scan);
// Scans fewer than SCAN_BLOCK bytes: the last ones of a stretch of the file.
void ScanShortBlock(const unsigned char *bytes, size_t length, InkScan *scan);

// The exact rule for one block, byte by byte: for the rare blocks with a
// zero byte at the head of a read, or in which a read reaches 2047 bytes.
// `length` bytes of the block count (SCAN_BLOCK but at the end of a file).
void ScanBlockByteByByte(const BlockMasks &masks, size_t length, InkScan *scan);
