#include "engine/OutputFile.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/BuildSettings.h"
#include "common/Interrupted.h"
#include "common/Report.h"

OutputFileCalls g_OutputFileCalls = {pwrite, ftruncate};

static const char PRINT_DIRECTORY[] = "PRINT";
constexpr int MAX_OUTPUT_NAME_SUFFIX = 9999;  // "-1" to "-9999" before giving up
constexpr size_t COPY_BUFFER_SIZE = 16384;    // bytes moved at once into a remade file
constexpr int NAME_SHOWN = 256;               // of a file name in a message, at most

// The output of the job being printed. One job prints at a time.
static struct {
    struct tm startTime;               // names the file, and a remade one
    char name[MESSAGE_BUFFER_SIZE];    // path of the file under PRINT
    off_t sheetsEnd;                   // bytes of the whole sheets written so far
} s_output;

// ---------------------------------------------------------------- creating

// Formats "PRINT/<local start time>.txt", with "-N" before ".txt" from the
// first retry on.
static void FormatOutputName(char *name, const struct tm &local, int suffix)
{
    char stamp[64] = {};
    snprintf(stamp, sizeof stamp, "%d%02d%02d%02d%02d%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
             local.tm_hour, local.tm_min, local.tm_sec);
    if (suffix == 0)
        snprintf(name, MESSAGE_BUFFER_SIZE, "%s/%s.txt", PRINT_DIRECTORY, stamp);
    else
        snprintf(name, MESSAGE_BUFFER_SIZE, "%s/%s-%d.txt", PRINT_DIRECTORY, stamp, suffix);
}

int MakePrintDirectory()
{
    return mkdir(PRINT_DIRECTORY, g_BuildSettings.printDirMode) == 0 ? 0 : errno;
}

// Creates the output file exclusively, so that no existing file is ever
// replaced: a taken name gets "-1", "-2" and so on. NULL when it cannot.
static FILE *CreateUniqueOutputFile(const struct tm &local, char *name)
{
    for (int suffix = 0; suffix <= MAX_OUTPUT_NAME_SUFFIX; suffix++) {
        FormatOutputName(name, local, suffix);
        int fd = open(name, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);  // read back when remade
        if (fd >= 0) {
            FILE *file = fdopen(fd, "w");
            if (file == nullptr)
                close(fd);
            return file;
        }
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

// PRINT is made again if it went missing while the program ran.
static FILE *CreateOutputFile(const struct tm &local, char *name)
{
    FILE *file = CreateUniqueOutputFile(local, name);
    if (file == nullptr && errno == ENOENT && MakePrintDirectory() == 0)
        file = CreateUniqueOutputFile(local, name);
    return file;
}

// A print file's name is its start time: it must not wrap in 2038.
static_assert(sizeof(time_t) >= 8, "time_t is 32 bits: build with _TIME_BITS=64");

FILE *OutputFile_Start()
{
    time_t now = time(nullptr);
    localtime_r(&now, &s_output.startTime);
    s_output.sheetsEnd = 0;
    return CreateOutputFile(s_output.startTime, s_output.name);
}

// ---------------------------------------------------------------- writing

static void ReportFailure(const char *what, int error)
{
    char message[MESSAGE_BUFFER_SIZE] = {};
    snprintf(message, sizeof message, "print file %s failed: %s", what, strerror(error));
    DisplayError(message);
}

// Writes all of data at offset. 0, or the errno of the write that failed.
static int WriteAt(int fd, const char *data, size_t size, off_t offset)
{
    while (size > 0) {
        ssize_t count = RetryInterrupted([&] { return g_OutputFileCalls.write(fd, data, size, offset); });
        if (count <= 0)
            return count < 0 ? errno : ENOSPC;
        data += count;
        size -= static_cast<size_t>(count);
        offset += count;
    }
    return 0;
}

// True while the stream's file is the one named under PRINT: neither it
// nor PRINT was removed or replaced.
static bool IsStillLinked(FILE *file)
{
    struct stat opened, named;
    if (fstat(fileno(file), &opened) != 0)
        return true;  // nothing to compare with; writing will tell
    return opened.st_nlink > 0 && stat(s_output.name, &named) == 0 && named.st_dev == opened.st_dev &&
           named.st_ino == opened.st_ino;
}

// Copies the whole sheets of the old file into the new one. 0, or an errno.
static int CopySheets(int from, int to)
{
    static char buffer[COPY_BUFFER_SIZE];
    for (off_t offset = 0; offset < s_output.sheetsEnd;) {
        size_t wanted = static_cast<size_t>(s_output.sheetsEnd - offset);
        ssize_t count =
            RetryInterrupted([&] { return pread(from, buffer, wanted < sizeof buffer ? wanted : sizeof buffer, offset); });
        if (count <= 0)
            return count < 0 ? errno : EIO;
        int error = WriteAt(to, buffer, static_cast<size_t>(count), offset);
        if (error != 0)
            return error;
        offset += count;
    }
    return 0;
}

// The output file was removed: makes a new one under the usual name rules,
// with every sheet printed so far, and goes on there. False when it cannot
// yet (said on the error row); the old file stays, so nothing is lost.
static bool RemakeOutputFile(PrintJob *job)
{
    char name[MESSAGE_BUFFER_SIZE] = {};
    FILE *file = CreateOutputFile(s_output.startTime, name);
    if (file == nullptr) {
        ReportFailure("create", errno);
        return false;
    }
    int error = CopySheets(fileno(job->pOutputFile), fileno(file));
    if (error != 0) {
        fclose(file);
        unlink(name);
        ReportFailure("write", error);
        return false;
    }
    fclose(job->pOutputFile);
    job->pOutputFile = file;
    memcpy(s_output.name, name, sizeof name);
    char message[MESSAGE_BUFFER_SIZE] = {};
    snprintf(message, sizeof message, "print file was removed; printing goes on in %.*s", NAME_SHOWN, name);
    DisplayError(message);
    return true;
}

bool OutputFile_WriteSheet(PrintJob *job, const char *sheet, size_t size)
{
    if (!IsStillLinked(job->pOutputFile) && !RemakeOutputFile(job))
        return false;
    int fd = fileno(job->pOutputFile);
    int error = WriteAt(fd, sheet, size, s_output.sheetsEnd);
    if (error == 0 && !IsStillLinked(job->pOutputFile))
        error = ENOENT;  // removed while written: the next try makes it again
    if (error != 0) {
        g_OutputFileCalls.truncate(fd, s_output.sheetsEnd);
        ReportFailure("write", error);
        return false;
    }
    s_output.sheetsEnd += static_cast<off_t>(size);
    return true;
}
