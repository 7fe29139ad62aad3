#include "engine/PrintMeasure.h"

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "engine/ByteScan.h"

constexpr size_t READ_LIMIT = LINE_BUFFER_SIZE - 1;  // bytes one fgets read returns at most
constexpr size_t BLOCK_SIZE = size_t{1} << 20;       // bytes asked of the file at once, at most
constexpr size_t SMALL_BLOCK_SIZE = 4096;            // ... at least

// The file seen through a buffer: buffer[0] is the byte at fileOffset,
// [lineStart, end) are read from the file but not yet measured. What is
// kept from one block to the next holds no line feed and is shorter than
// READ_LIMIT, so a block never needs more than READ_LIMIT bytes in front.
struct BlockScan {
    int fd;
    off_t fileOffset;
    size_t blockSize;                          // bytes asked of the file at once
    unsigned char *buffer;                     // kept bytes, one block, then slack for the loads
    uint64_t *lineFeeds;                       // a bit per buffer byte: is it a line feed
    size_t lineStart, end;
    PrintMeasure measure;
};

static size_t ChunksFor(size_t bytes)
{
    return (bytes + SCAN_CHUNK - 1) / SCAN_CHUNK;
}

// A block as large as what is left of the file, within limits: a small
// file needs no large buffer, and a file that grows meanwhile only takes
// more blocks.
static size_t ChooseBlockSize(int fd, off_t start)
{
    struct stat status;
    if (fstat(fd, &status) != 0 || status.st_size <= start)
        return SMALL_BLOCK_SIZE;
    uint64_t rest = static_cast<uint64_t>(status.st_size - start);
    return rest < SMALL_BLOCK_SIZE ? SMALL_BLOCK_SIZE : rest > BLOCK_SIZE ? BLOCK_SIZE : static_cast<size_t>(rest);
}

// The buffers for the largest block, allocated once, so that measuring a
// large file never meets an allocation failure once the program runs.
static std::unique_ptr<unsigned char[]> s_buffer;
static std::unique_ptr<uint64_t[]> s_lineFeeds;

bool ReserveMeasureBuffers()
{
    if (s_buffer != nullptr)
        return true;
    size_t chunks = ChunksFor(READ_LIMIT + BLOCK_SIZE) + 1;  // the last chunk's loads stay inside
    // Zeroed, so loads past the last byte read find defined bytes.
    s_buffer.reset(new (std::nothrow) unsigned char[chunks * SCAN_CHUNK]());
    s_lineFeeds.reset(new (std::nothrow) uint64_t[chunks]());
    if (s_buffer == nullptr || s_lineFeeds == nullptr) {
        s_buffer.reset();
        s_lineFeeds.reset();
        return false;
    }
    return true;
}

static void StartScan(BlockScan &scan, int fd, off_t start)
{
    scan.fd = fd;
    scan.fileOffset = start;
    scan.blockSize = ChooseBlockSize(fd, start);
    scan.buffer = s_buffer.get();
    scan.lineFeeds = s_lineFeeds.get();
    scan.lineStart = scan.end = 0;
    scan.measure = {0, 0, true};
}

// Moves the unmeasured bytes to the front and reads the next block behind
// them. The number of bytes read: 0 at the end of the file, -1 on an error.
static ssize_t ReadNextBlock(BlockScan &scan)
{
    size_t kept = scan.end - scan.lineStart;
    memmove(scan.buffer, scan.buffer + scan.lineStart, kept);
    scan.fileOffset += static_cast<off_t>(scan.lineStart);
    scan.lineStart = 0;
    scan.end = kept;
    ssize_t count;
    do {
        count = pread(scan.fd, scan.buffer + kept, scan.blockSize, scan.fileOffset + static_cast<off_t>(kept));
    } while (count < 0 && errno == EINTR);
    if (count > 0)
        scan.end += static_cast<size_t>(count);
    return count;
}

static void CountRead(BlockScan &scan, size_t length)
{
    scan.measure.reads++;
    scan.measure.ink += ReadInk(scan.buffer + scan.lineStart, length);
    scan.lineStart += length;
}

// The reads of a line that ends with the line feed at `lineFeed`: as many
// READ_LIMIT bytes long as it takes, then the rest, line feed included.
static void CountLine(BlockScan &scan, size_t lineFeed)
{
    while (lineFeed + 1 - scan.lineStart > READ_LIMIT)
        CountRead(scan, READ_LIMIT);
    CountRead(scan, lineFeed + 1 - scan.lineStart);
}

// Counts every read that the block settles: each line that ends in it, and
// each full READ_LIMIT of a line that goes on, since such a read stops
// without looking at what follows.
static void CountBlock(BlockScan &scan)
{
    size_t chunks = ChunksFor(scan.end);
    FindLineFeeds(scan.buffer, chunks, scan.lineFeeds);
    if (scan.end % SCAN_CHUNK != 0)
        scan.lineFeeds[chunks - 1] &= (uint64_t{1} << (scan.end % SCAN_CHUNK)) - 1;  // bytes past the end
    for (size_t chunk = 0; chunk < chunks; chunk++) {
        for (uint64_t mask = scan.lineFeeds[chunk]; mask != 0; mask &= mask - 1)
            CountLine(scan, chunk * SCAN_CHUNK + static_cast<size_t>(std::countr_zero(mask)));
    }
    while (scan.end - scan.lineStart >= READ_LIMIT)
        CountRead(scan, READ_LIMIT);
}

static PrintMeasure ScanBlocks(BlockScan &scan)
{
    for (;;) {
        ssize_t count = ReadNextBlock(scan);
        if (count < 0) {
            scan.measure.isReadable = false;
            return scan.measure;
        }
        if (count == 0) {
            // The last read runs into the end of the file: what is left, or nothing.
            CountRead(scan, scan.end - scan.lineStart);
            return scan.measure;
        }
        CountBlock(scan);
    }
}

PrintMeasure MeasurePrintFileInBlocks(FILE *input)
{
    off_t start = ftello(input);
    if (start < 0 || IsPrintInputDone(input) || !ReserveMeasureBuffers())
        return MeasurePrintFile(input);
    BlockScan scan;
    StartScan(scan, fileno(input), start);
    PrintMeasure measure = ScanBlocks(scan);
    // The descriptor was read with pread, so only the stream's position
    // moves; seeking also drops whatever stdio had buffered.
    fseeko(input, scan.fileOffset + static_cast<off_t>(scan.lineStart), SEEK_SET);
    return measure;
}
