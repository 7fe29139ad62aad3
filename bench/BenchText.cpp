#include "bench/BenchText.h"

#include <random>
#include <string>
#include <vector>

constexpr size_t POOL_SIZE = 1 << 16;          // text the lines are cut from
constexpr size_t OUTPUT_CHUNK = size_t{1} << 20;  // bytes handed to fwrite at once

static const char *const WORDS[] = {"printer", "ink", "paper", "sheet", "job", "queue", "the", "a",
                                    "of", "line", "tick", "stock", "refill", "cancel", "user", "admin"};

// Words between single blanks, with a tab now and then.
static std::string MakePool(std::mt19937_64 &random)
{
    std::string pool;
    std::uniform_int_distribution<size_t> word(0, std::size(WORDS) - 1);
    std::uniform_int_distribution<int> separator(0, 15);
    while (pool.size() < POOL_SIZE + BENCH_LINE_MAX_LENGTH) {
        pool += WORDS[word(random)];
        pool += separator(random) == 0 ? '\t' : ' ';
    }
    return pool;
}

bool WriteBenchText(FILE *output, uint64_t lines)
{
    std::mt19937_64 random(65);
    const std::string pool = MakePool(random);
    std::uniform_int_distribution<size_t> start(0, POOL_SIZE - 1);
    std::uniform_int_distribution<size_t> length(0, BENCH_LINE_MAX_LENGTH);
    std::vector<char> chunk;
    chunk.reserve(OUTPUT_CHUNK + BENCH_LINE_MAX_LENGTH + 1);
    for (uint64_t i = 0; i < lines; i++) {
        const char *from = pool.data() + start(random);
        chunk.insert(chunk.end(), from, from + length(random));
        chunk.push_back('\n');
        if (chunk.size() >= OUTPUT_CHUNK || i + 1 == lines) {
            if (fwrite(chunk.data(), 1, chunk.size(), output) != chunk.size())
                return false;
            chunk.clear();
        }
    }
    return fflush(output) == 0;
}
