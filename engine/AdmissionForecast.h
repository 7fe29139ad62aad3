// What admission will make of a print file, foreseen before Enter for the
// prompt's hint without waiting on the file: what the file is comes from
// stat, and its needs from measuring it only when it is small. Admission
// itself (Printer.h) opens and measures the file whole; both check the
// needs against the supplies with Printer_SuppliesMessage.
#pragma once

#include <cstdint>
#include <string>

constexpr uint64_t FORECAST_MEASURE_BYTES = uint64_t{1} << 20;  // a larger file is measured when printed

// What a print file is, as admission will find it.
enum PrintFileKind {
    PRINT_FILE_MISSING,      // no such file, or its directory cannot be searched
    PRINT_FILE_DIRECTORY,
    PRINT_FILE_NOT_REGULAR,  // a FIFO, a device, a socket
    PRINT_FILE_UNREADABLE,   // a regular file this user may not read
    PRINT_FILE_REGULAR,
};

struct AdmissionForecast {
    PrintFileKind kind;
    uint64_t size;        // bytes, of a regular file
    bool isMeasured;      // small enough to be measured now: the needs and the message hold
    uint64_t ink;         // the job's needs, when measured
    uint64_t sheets;
    std::string message;  // what admission will show; empty when it will queue the job, or cannot tell yet
};

// The forecast for a file, with the printer's levels as they are now. A
// file of at most FORECAST_MEASURE_BYTES is read, once for as long as it
// stays the same file of the same size and time.
AdmissionForecast ForecastAdmission(const char *fileName);
