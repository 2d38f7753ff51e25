// Runs a fuzz target's LLVMFuzzerTestOneInput once on the empty input and
// once on every file of the folders (or files) given as arguments, so that
// the seed corpus and the saved reproducers are replayed as an ordinary test
// under the sanitizers. The first argument is the seed corpus: the replay
// fails (status 2) when it is not given, does not exist or holds no file,
// since a replay of nothing would pass unseen. Further folders (the saved
// reproducers) may be missing: a target need not have any.
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

// The file named, or the files of the folder named in name order; none
// when the path does not exist.
std::vector<fs::path> inputsOf(const fs::path& arg)
{
    std::vector<fs::path> files;
    if (fs::is_regular_file(arg)) {
        files.push_back(arg);
        return files;
    }
    if (!fs::is_directory(arg))
        return files;
    for (const auto& entry : fs::directory_iterator(arg))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS [REPRODUCERS...]\n", argv[0]);
        return 2;
    }
    LLVMFuzzerTestOneInput(nullptr, 0);
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::vector<fs::path> files = inputsOf(argv[i]);
        if (i == 1 && files.empty()) {
            std::fprintf(stderr, "no seed inputs in %s\n", argv[i]);
            return 2;
        }
        for (const auto& file : files)
            runFile(file);
        count += files.size();
    }
    std::printf("replayed %zu inputs\n", count);
    return 0;
}
