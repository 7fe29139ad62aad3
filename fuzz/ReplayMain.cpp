// A main for a fuzz target where libFuzzer is not at hand (the arm64 cross
// build, run under an emulator): each file named on the command line is
// one input, run once. A finding aborts, as it does under libFuzzer.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

// The whole file, closed again before the input runs: the targets count
// the descriptors open around each input.
static bool ReadInput(const char *path, std::vector<uint8_t> *input)
{
    std::ifstream file(path, std::ios::binary);
    input->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad() && file.is_open();
}

int main(int argc, char **argv)
{
    LLVMFuzzerInitialize(&argc, &argv);  // anchors the paths, then enters the scratch directory
    for (int i = 1; i < argc; i++) {
        std::vector<uint8_t> input;
        if (!ReadInput(argv[i], &input)) {
            fprintf(stderr, "%s: cannot read\n", argv[i]);
            return 1;
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
        printf("%s: passed\n", argv[i]);
    }
    return 0;
}
