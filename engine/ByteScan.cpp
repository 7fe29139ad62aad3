// Chooses the scanning path at run time: the processor the program runs on
// may have more than the one it was built for.
#include "engine/ByteScan.h"

#include <atomic>

typedef void (*ScanBlocksFunction)(const unsigned char *, size_t, InkScan *);

struct ScanPathRow {
    ScanBlocksFunction scan;
    bool (*isAvailable)();
};

static bool IsAlwaysAvailable()
{
    return true;
}

// Indexed by ScanPath, slowest first among the paths of one processor
// family; a build has the paths of one family at most.
static const ScanPathRow SCAN_PATHS[SCAN_PATH_COUNT] = {
    {ScanBlocks_Portable, IsAlwaysAvailable},
    {ScanBlocks_Sse2, IsSse2Available},
    {ScanBlocks_Avx2, IsAvx2Available},
    {ScanBlocks_Neon, IsNeonAvailable},
};

bool IsScanPathAvailable(ScanPath path)
{
    return path >= 0 && path < SCAN_PATH_COUNT && SCAN_PATHS[path].isAvailable();
}

ScanPath BestScanPath()
{
    int best = SCAN_PATH_COUNT - 1;
    while (!IsScanPathAvailable(static_cast<ScanPath>(best)))
        best--;
    return static_cast<ScanPath>(best);
}

static std::atomic<ScanBlocksFunction> s_chosenScan{SCAN_PATHS[BestScanPath()].scan};

bool ForceScanPath(ScanPath path)
{
    if (!IsScanPathAvailable(path))
        return false;
    s_chosenScan.store(SCAN_PATHS[path].scan, std::memory_order_relaxed);
    return true;
}

void ScanBlocks(const unsigned char *bytes, size_t blocks, InkScan *scan)
{
    s_chosenScan.load(std::memory_order_relaxed)(bytes, blocks, scan);
}
