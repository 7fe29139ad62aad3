// The benchmarks' print file: short lines of printable text, the same bytes
// on every run.
#pragma once

#include <cstdint>
#include <cstdio>

constexpr uint64_t BENCH_TEXT_LINES = 12000000;  // about 800 MB at 65 bytes a line
constexpr int BENCH_LINE_MAX_LENGTH = 128;        // line feed excluded; 64 on average

// Writes `lines` lines, each of 0 to BENCH_LINE_MAX_LENGTH bytes plus a line
// feed. False when a write fails.
bool WriteBenchText(FILE *output, uint64_t lines);
