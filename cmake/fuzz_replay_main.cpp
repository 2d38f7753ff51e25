// Runs a fuzz target's LLVMFuzzerTestOneInput once on the empty input and
// once on every file of the folders (or files) given as arguments, so that
// the seed corpus and the saved reproducers are replayed as an ordinary test
// under the sanitizers. A missing folder is skipped: a target need not have
// reproducers.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));

namespace fs = std::filesystem;

namespace {

// Runs the target on one file. The bytes sit in a block of exactly their
// size, so a read past the end is a sanitizer report here as in the fuzzer.
void runFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.eof() && in.fail()) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        std::exit(2);
    }
    std::printf("%s (%zu bytes)\n", path.c_str(), bytes.size());
    std::fflush(stdout);
    std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[std::max<std::size_t>(bytes.size(), 1)]);
    std::copy(bytes.begin(), bytes.end(), data.get());
    LLVMFuzzerTestOneInput(data.get(), bytes.size());
}

}  // namespace

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    LLVMFuzzerTestOneInput(nullptr, 0);
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        fs::path arg(argv[i]);
        if (fs::is_regular_file(arg)) {
            runFile(arg);
            ++count;
            continue;
        }
        if (!fs::is_directory(arg))
            continue;
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(arg))
            if (entry.is_regular_file())
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const auto& file : files)
            runFile(file);
        count += files.size();
    }
    std::printf("replayed %zu inputs\n", count);
    return 0;
}
