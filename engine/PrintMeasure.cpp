#include "engine/PrintMeasure.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <new>
#include <exception>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "common/MeasureReport.h"
#include "engine/ByteScan.h"

// Bytes asked of the file at once: the buffer stays in the processor's
// second-level cache while it is scanned, which a larger one does not.
constexpr size_t READ_SIZE = size_t{128} << 10;
constexpr uint64_t SLICE_SIZE = uint64_t{4} << 20;        // bytes measured between two reports
constexpr uint64_t SPLIT_SEARCH_LIMIT = uint64_t{1} << 20;  // how far a split looks for a line feed
constexpr size_t SPLIT_SEARCH_READ = 4096;
constexpr auto SECOND_HALF_WAIT = std::chrono::milliseconds(20);  // one slice of waiting for it

typedef std::chrono::steady_clock Clock;

// One stretch of the file, measured by one thread. It begins at the start
// of a read, so its scan starts zeroed; the halves of a split file meet
// just after a line feed, where a read always starts.
struct FilePart {
    int fd;
    off_t offset;      // file offset of buffer[0]
    off_t end;         // where the part stops, unless it is the last part
    bool isLast;       // goes on to the end of the file, whatever its size by then
    size_t kept;       // bytes at the buffer's start, fewer than SCAN_BLOCK, not yet scanned
    bool isDone;
    bool isAtFileEnd;  // met the end of the file, and counted the read that meets it
    bool isReadable;   // false once a read failed
    InkScan scan;
    unsigned char *buffer;  // READ_SIZE bytes, reserved at start
};

// Progress shared between the two halves.
struct MeasureShared {
    std::atomic<uint64_t> measuredBytes{0};
    std::atomic<bool> isAbandoned{false};
};

// One read buffer for each part, allocated once, so that measuring a large
// file never meets an allocation failure once the program runs. Only the
// command flow measures, one file at a time.
static std::unique_ptr<unsigned char[]> s_partBuffers[2];

bool ReserveMeasureBuffers()
{
    for (auto &buffer : s_partBuffers) {
        if (buffer == nullptr)
            buffer.reset(new (std::nothrow) unsigned char[READ_SIZE]);
        if (buffer == nullptr)
            return false;
    }
    return true;
}

static void StartPart(FilePart &part, int index, int fd, off_t start, off_t end, bool isLast)
{
    part.fd = fd;
    part.offset = start;
    part.end = end;
    part.isLast = isLast;
    part.kept = 0;
    part.isDone = part.isAtFileEnd = false;
    part.isReadable = true;
    part.scan = {0, 0, 0, false};
    part.buffer = s_partBuffers[index].get();
}

static ssize_t ReadAt(int fd, unsigned char *into, size_t size, off_t offset)
{
    ssize_t count;
    do {
        count = pread(fd, into, size, offset);
    } while (count < 0 && errno == EINTR);
    return count;
}

// The bytes short of a whole block, at the part's end or the file's.
static void FinishPart(FilePart &part, bool isAtFileEnd)
{
    ScanShortBlock(part.buffer, part.kept, &part.scan);
    part.offset += static_cast<off_t>(part.kept);
    part.kept = 0;
    part.isDone = true;
    part.isAtFileEnd = isAtFileEnd;
    if (isAtFileEnd)
        part.scan.reads++;  // the read that meets the end of the file, empty or not
}

// Reads and scans up to READ_SIZE more bytes of the part. The number read.
static size_t MeasureNextRead(FilePart &part)
{
    off_t readAt = part.offset + static_cast<off_t>(part.kept);
    size_t size = READ_SIZE - part.kept;
    if (!part.isLast)
        size = static_cast<size_t>(std::min<off_t>(static_cast<off_t>(size), part.end - readAt));
    if (size == 0) {
        FinishPart(part, false);
        return 0;
    }
    ssize_t count = ReadAt(part.fd, part.buffer + part.kept, size, readAt);
    if (count <= 0) {
        part.isReadable = count == 0;
        FinishPart(part, true);
        return 0;
    }
    size_t filled = part.kept + static_cast<size_t>(count);
    size_t blocks = filled / SCAN_BLOCK;
    ScanBlocks(part.buffer, blocks, &part.scan);
    part.kept = filled - blocks * SCAN_BLOCK;
    memmove(part.buffer, part.buffer + blocks * SCAN_BLOCK, part.kept);
    part.offset += static_cast<off_t>(blocks * SCAN_BLOCK);
    return static_cast<size_t>(count);
}

// Measures about `bytes` more of the part, or all of it while the measuring
// goes on when `bytes` is 0.
static void MeasureSlice(FilePart &part, uint64_t bytes, MeasureShared &shared)
{
    uint64_t measured = 0;
    while (!part.isDone && !shared.isAbandoned.load(std::memory_order_relaxed) && (bytes == 0 || measured < bytes)) {
        size_t count = MeasureNextRead(part);
        measured += count;
        shared.measuredBytes.fetch_add(count, std::memory_order_relaxed);
    }
}

// Where the second half begins: just after the first line feed from
// `splitAt` on. -1 when none comes soon enough, or none before the end.
static off_t FindSplit(int fd, off_t splitAt, off_t fileEnd)
{
    unsigned char bytes[SPLIT_SEARCH_READ];
    for (off_t at = splitAt; at < fileEnd && at - splitAt < static_cast<off_t>(SPLIT_SEARCH_LIMIT);) {
        ssize_t count = ReadAt(fd, bytes, sizeof bytes, at);
        if (count <= 0)
            return -1;
        const void *lineFeed = memchr(bytes, '\n', static_cast<size_t>(count));
        if (lineFeed != nullptr) {
            off_t next = at + (static_cast<const unsigned char *>(lineFeed) - bytes) + 1;
            return next < fileEnd ? next : -1;
        }
        at += count;
    }
    return -1;
}

static off_t ChooseSplit(int fd, off_t start, off_t fileEnd, const MeasurePlan &plan)
{
    uint64_t size = static_cast<uint64_t>(fileEnd - start);
    bool isTwo = plan.threads == 2 || (plan.threads == 0 && size >= TWO_THREADS_FROM);
    if (!isTwo || size == 0)
        return -1;
    off_t splitAt = plan.splitAt < 0 ? start + static_cast<off_t>(size / 2) : static_cast<off_t>(plan.splitAt);
    return FindSplit(fd, std::clamp(splitAt, start, fileEnd), fileEnd);
}

static uint64_t ElapsedMs(Clock::time_point since)
{
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

// The first half on this thread, a slice at a time; between slices the
// rest of the program runs and the operator may abandon.
static void MeasureReported(FilePart &first, std::future<void> *second, MeasureShared &shared, uint64_t fileBytes)
{
    Clock::time_point started = Clock::now();
    bool isFirstDone = false;
    while (!shared.isAbandoned.load()) {
        BeginMeasureSlice();
        if (!isFirstDone)
            MeasureSlice(first, SLICE_SIZE, shared);
        else if (second != nullptr)
            second->wait_for(SECOND_HALF_WAIT);
        isFirstDone = first.isDone;
        bool isAllDone = isFirstDone && (second == nullptr || second->wait_for(std::chrono::seconds(0)) ==
                                                                   std::future_status::ready);
        MeasureProgress progress = {shared.measuredBytes.load(), fileBytes, ElapsedMs(started)};
        if (EndMeasureSlice(progress) == 0)
            shared.isAbandoned.store(true);
        else if (isAllDone)
            break;
    }
    EndMeasureProgress();
}

// The two halves' counts as one measuring. A first half that met the end
// of the file (which shrank meanwhile) is the whole file.
static PrintMeasure JoinParts(const FilePart &first, const FilePart *second)
{
    PrintMeasure measure = {first.scan.reads, first.scan.ink, first.isReadable};
    if (second != nullptr && !first.isAtFileEnd) {
        measure.reads += second->scan.reads;
        measure.ink += second->scan.ink;
        measure.isReadable = measure.isReadable && second->isReadable;
    }
    return measure;
}

// Measures the second half on a thread of its own. False when no thread
// can be had (a process limit), and nothing was started.
static bool StartSecondHalf(FilePart &second, int fd, off_t split, off_t fileEnd, MeasureShared &shared,
                            std::future<void> *done)
{
    StartPart(second, 1, fd, split, fileEnd, true);
    try {
        *done = std::async(std::launch::async, [&second, &shared] { MeasureSlice(second, 0, shared); });
        return true;
    } catch (const std::exception &) {  // no thread (a process limit), or no memory for it
        return false;
    }
}

static off_t FileEnd(int fd)
{
    struct stat status;
    return fstat(fd, &status) == 0 ? status.st_size : 0;
}

PrintMeasure MeasurePrintFileWith(FILE *input, const MeasurePlan &plan, bool *isAbandoned)
{
    *isAbandoned = false;
    off_t start = ftello(input);
    if (start < 0 || IsPrintInputDone(input) || !ReserveMeasureBuffers())
        return MeasurePrintFile(input);
    int fd = fileno(input);
    off_t fileEnd = std::max(FileEnd(fd), start);
    off_t split = ChooseSplit(fd, start, fileEnd, plan);
    FilePart first, second;
    StartPart(first, 0, fd, start, split, split < 0);
    MeasureShared shared;
    std::future<void> secondDone;
    if (split >= 0 && !StartSecondHalf(second, fd, split, fileEnd, shared, &secondDone)) {
        split = -1;  // the first half goes on to the end
        first.isLast = true;
    }
    std::future<void> *pSecondDone = split >= 0 ? &secondDone : nullptr;
    if (plan.isReported && static_cast<uint64_t>(fileEnd - start) > SLICE_SIZE)
        MeasureReported(first, pSecondDone, shared, static_cast<uint64_t>(fileEnd - start));
    else
        MeasureSlice(first, 0, shared);
    if (pSecondDone != nullptr)
        secondDone.wait();
    *isAbandoned = shared.isAbandoned.load();
    bool isWhole = split < 0 || first.isAtFileEnd;
    // The descriptor was read with pread, so only the stream's position
    // moves; seeking also drops whatever stdio had buffered.
    fseeko(input, isWhole ? first.offset : second.offset, SEEK_SET);
    return JoinParts(first, isWhole ? nullptr : &second);
}

PrintMeasure MeasurePrintFileInBlocks(FILE *input)
{
    bool isAbandoned;
    return MeasurePrintFileWith(input, DEFAULT_MEASURE_PLAN, &isAbandoned);
}
