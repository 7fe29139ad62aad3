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

#include "common/Interrupted.h"
#include "engine/ByteScan.h"

// Bytes asked of the file at once: the buffer stays in the processor's
// second-level cache while it is scanned, which a larger one does not.
constexpr size_t READ_SIZE = size_t{128} << 10;
constexpr uint64_t SLICE_SIZE = uint64_t{4} << 20;        // bytes one slice measures
constexpr uint64_t SPLIT_SEARCH_LIMIT = uint64_t{1} << 20;  // how far a split looks for a line feed
constexpr size_t SPLIT_SEARCH_READ = 4096;
constexpr auto SECOND_HALF_WAIT = std::chrono::milliseconds(20);  // one slice of waiting for it

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
    return RetryInterrupted([&] { return pread(fd, into, size, offset); });
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

// The one measuring in slices; only the command flow measures, one file
// at a time.
struct MeasureRun {
    FILE *input;
    off_t start, fileEnd;
    off_t split;      // where the second half begins; -1: one part
    bool isDone;      // every part measured
    bool isWhole;     // measured at once, print line by print line: the counts are in `whole`
    PrintMeasure whole;
    FilePart first, second;
    MeasureShared shared;
    std::future<void> secondDone;
};
static MeasureRun s_run;

void PrintMeasure_Start(FILE *input, const MeasurePlan &plan)
{
    MeasureRun &run = s_run;
    run.input = input;
    run.split = -1;
    run.isDone = run.isWhole = false;
    run.shared.measuredBytes = 0;
    run.shared.isAbandoned = false;
    run.start = ftello(input);
    if (run.start < 0 || IsPrintInputDone(input) || !ReserveMeasureBuffers()) {
        run.whole = MeasurePrintFile(input);
        run.isDone = run.isWhole = true;
        return;
    }
    int fd = fileno(input);
    run.fileEnd = std::max(FileEnd(fd), run.start);
    run.split = ChooseSplit(fd, run.start, run.fileEnd, plan);
    StartPart(run.first, 0, fd, run.start, run.split, run.split < 0);
    if (run.split >= 0 && !StartSecondHalf(run.second, fd, run.split, run.fileEnd, run.shared, &run.secondDone)) {
        run.split = -1;  // the first half goes on to the end
        run.first.isLast = true;
    }
}

bool PrintMeasure_NextSlice()
{
    MeasureRun &run = s_run;
    if (run.isDone)
        return true;
    bool hasSecond = run.split >= 0;
    if (!run.first.isDone)
        MeasureSlice(run.first, SLICE_SIZE, run.shared);
    else if (hasSecond)
        run.secondDone.wait_for(SECOND_HALF_WAIT);
    run.isDone = run.first.isDone &&
                 (!hasSecond || run.secondDone.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
    return run.isDone;
}

MeasureProgress PrintMeasure_Progress()
{
    if (s_run.isWhole)
        return {0, 0};
    return {s_run.shared.measuredBytes.load(), static_cast<uint64_t>(s_run.fileEnd - s_run.start)};
}

void PrintMeasure_Stop()
{
    MeasureRun &run = s_run;
    if (run.isWhole || run.isDone)
        return;
    run.shared.isAbandoned = true;
    if (run.split >= 0)
        run.secondDone.wait();
}

PrintMeasure PrintMeasure_Finish()
{
    MeasureRun &run = s_run;
    if (run.isWhole)
        return run.whole;
    run.shared.isAbandoned = !run.isDone;
    if (run.split >= 0)
        run.secondDone.wait();
    bool isWhole = run.split < 0 || run.first.isAtFileEnd;
    // The descriptor was read with pread, so only the stream's position
    // moves; seeking also drops whatever stdio had buffered.
    fseeko(run.input, isWhole ? run.first.offset : run.second.offset, SEEK_SET);
    return JoinParts(run.first, isWhole ? nullptr : &run.second);
}

PrintMeasure MeasurePrintFileWith(FILE *input, const MeasurePlan &plan)
{
    PrintMeasure_Start(input, plan);
    while (!PrintMeasure_NextSlice()) {
    }
    return PrintMeasure_Finish();
}

PrintMeasure MeasurePrintFileInBlocks(FILE *input)
{
    return MeasurePrintFileWith(input, DEFAULT_MEASURE_PLAN);
}
