// Runs a fuzz target without a fuzzing engine: over the files named on the command line, then
// over a fixed number of pseudo-random mutations of them. The compilers of this project's normal
// build have no fuzzing engine; this keeps the targets built and exercised under the sanitizers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace
{

void Run(const std::string& input)
{
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

std::string Mutate(std::string input, std::mt19937& random)
{
    const int nSteps = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < nSteps; ++i)
    {
        const std::size_t pos = input.empty() ? 0 : random() % input.size();
        switch (random() % 5)
        {
        case 0: // flip a byte
            if (!input.empty())
                input[pos] = static_cast<char>(random());
            break;
        case 1: // insert bytes
            input.insert(pos, std::string(1 + random() % 8, static_cast<char>(random())));
            break;
        case 2: // cut the end
            input.resize(pos);
            break;
        case 3: // an extreme 32-bit value
            if (input.size() >= 4)
            {
                const std::uint32_t values[] = {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x10000u};
                const std::uint32_t v = values[random() % 4];
                const std::size_t at = pos > input.size() - 4 ? input.size() - 4 : pos;
                for (int b = 0; b < 4; ++b)
                    input[at + b] = static_cast<char>((v >> (8 * b)) & 0xFF);
            }
            break;
        default: // duplicate a run
            input.insert(pos, input.substr(pos / 2, 16));
            break;
        }
    }
    return input;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> seeds;
    for (int i = 1; i < argc; ++i)
    {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in)
        {
            std::cerr << "cannot read " << argv[i] << "\n";
            return 2;
        }
        seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    seeds.emplace_back();
    const char* pszRuns = std::getenv("FUZZ_REPLAY_RUNS");
    const int nRuns = pszRuns != nullptr ? std::atoi(pszRuns) : 3000;

    std::mt19937 random(12345);
    for (const std::string& seed : seeds)
        Run(seed);
    for (int i = 0; i < nRuns; ++i)
        Run(Mutate(seeds[random() % seeds.size()], random));
    std::cout << seeds.size() << " seeds, " << nRuns << " mutations\n";
    return 0;
}
