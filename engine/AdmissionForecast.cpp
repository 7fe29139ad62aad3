#include "engine/AdmissionForecast.h"

#include <sys/stat.h>
#include <unistd.h>

#include "common/RegularFile.h"
#include "engine/PrintLine.h"
#include "engine/PrintMeasure.h"
#include "engine/Printer.h"

constexpr MeasurePlan FORECAST_PLAN = {1, -1};  // one thread: a small file is not worth a second

// The one file measured last, so that typing after its name costs no read.
static struct {
    std::string name;
    dev_t device;
    ino_t inode;
    off_t size;
    struct timespec modified;
    PrintMeasure measure;
    bool isKnown;
} s_lastMeasured;

static bool IsSameFile(const std::string &name, const struct stat &status)
{
    return s_lastMeasured.isKnown && s_lastMeasured.name == name && s_lastMeasured.device == status.st_dev &&
           s_lastMeasured.inode == status.st_ino && s_lastMeasured.size == status.st_size &&
           s_lastMeasured.modified.tv_sec == status.st_mtim.tv_sec &&
           s_lastMeasured.modified.tv_nsec == status.st_mtim.tv_nsec;
}

// The measure of a small regular file, opened as admission opens it. False
// when it cannot be read.
static bool MeasureSmallFile(const char *fileName, const struct stat &status, PrintMeasure *measure)
{
    if (IsSameFile(fileName, status)) {
        *measure = s_lastMeasured.measure;
        return true;
    }
    FILE *input = OpenRegularFile(fileName);
    if (input == nullptr)
        return false;
    *measure = MeasurePrintFileWith(input, FORECAST_PLAN);
    fclose(input);
    if (!measure->isReadable)
        return false;
    s_lastMeasured = {fileName, status.st_dev, status.st_ino, status.st_size, status.st_mtim, *measure, true};
    return true;
}

static PrintFileKind KindOf(const char *fileName, struct stat *status)
{
    if (stat(fileName, status) != 0)
        return PRINT_FILE_MISSING;
    if (S_ISDIR(status->st_mode))
        return PRINT_FILE_DIRECTORY;
    if (!S_ISREG(status->st_mode))
        return PRINT_FILE_NOT_REGULAR;
    return access(fileName, R_OK) == 0 ? PRINT_FILE_REGULAR : PRINT_FILE_UNREADABLE;
}

AdmissionForecast ForecastAdmission(const char *fileName)
{
    struct stat status;
    AdmissionForecast forecast = {KindOf(fileName, &status), 0, false, 0, 0, ""};
    if (forecast.kind != PRINT_FILE_REGULAR) {
        forecast.message = "request file fopen failed.";
        return forecast;
    }
    forecast.size = static_cast<uint64_t>(status.st_size);
    if (forecast.size > FORECAST_MEASURE_BYTES)
        return forecast;
    PrintMeasure measure;
    if (!MeasureSmallFile(fileName, status, &measure)) {
        forecast.message = "request file fopen failed.";
        return forecast;
    }
    forecast.isMeasured = true;
    forecast.ink = measure.ink;
    forecast.sheets = SheetsForReads(measure.reads);
    forecast.message = Printer_SuppliesMessage(forecast.ink, forecast.sheets);
    return forecast;
}
