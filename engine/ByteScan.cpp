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

// Where the build has a vector unit to put them in, the generic vectors
// beat 64-bit words; elsewhere the compiler spells them out lane by lane,
// four to seven times the instructions (armhf and s390x as Debian builds
// them), and the words are the faster portable path.
#if defined(__SSE2__) || defined(__ARM_NEON) || defined(__ALTIVEC__) || defined(__VX__) || \
    defined(__riscv_vector) || defined(__loongarch_sx) || defined(__mips_msa) || defined(__wasm_simd128__)
constexpr ScanPath FASTER_PORTABLE_PATH = SCAN_PATH_PORTABLE;
#else
constexpr ScanPath FASTER_PORTABLE_PATH = SCAN_PATH_WORDS;
#endif

// Indexed by ScanPath, slowest first among the paths of one processor
// family (the portable ones come first); a build has the paths of one
// family at most.
static const ScanPathRow SCAN_PATHS[SCAN_PATH_COUNT] = {
    {ScanBlocks_Words, IsAlwaysAvailable},
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
    while (best > SCAN_PATH_PORTABLE && !IsScanPathAvailable(static_cast<ScanPath>(best)))
        best--;
    return best > SCAN_PATH_PORTABLE ? static_cast<ScanPath>(best) : FASTER_PORTABLE_PATH;
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
