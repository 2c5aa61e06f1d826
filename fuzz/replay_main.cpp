// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds files to a fuzz target without libFuzzer, so that any compiler can replay the kept
// inputs: each argument is a file or a directory of files, read in name order.
#include "fuzz_check.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> inputsOf(const fs::path& argument)
{
    std::vector<fs::path> files;
    if (fs::is_directory(argument)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(argument)) {
            if (entry.is_regular_file())
                files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
    } else if (fs::is_regular_file(argument)) {
        files.push_back(argument);
    }
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        // A target without kept regressions has no directory for them yet.
        if (!fs::exists(argv[i]))
            std::cerr << argv[i] << ": absent, nothing to replay\n";
        for (const fs::path& file : inputsOf(argv[i])) {
            std::ifstream stream(file, std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(stream),
                                          std::istreambuf_iterator<char>()};
            std::cerr << "replay " << file.string() << " (" << bytes.size() << " bytes)\n";
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
            ++count;
        }
    }
    std::cerr << count << " inputs replayed\n";
    // A corpus that went missing must not pass as a clean run.
    return count > 0 ? 0 : 1;
}
