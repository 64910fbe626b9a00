// zorvex-make-sample: lays out a sample installation folder, or writes the bundled language file.
//
//     zorvex-make-sample [--assets PATH] DIR
//     zorvex-make-sample --write-language-file PATH
#include "SampleInstall.h"

#include <iostream>
#include <string_view>

namespace
{

int Usage()
{
    std::cerr << "usage: zorvex-make-sample [--assets PATH] DIR\n"
                 "       zorvex-make-sample --write-language-file PATH\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string_view first = argc > 1 ? argv[1] : "";
    if (argc == 3 && first == "--write-language-file")
        return WriteLanguageFile(argv[2], std::cerr) ? 0 : 1;

    std::filesystem::path assets = DefaultAssetsFolder();
    int nArg = 1;
    if (argc == 4 && first == "--assets")
    {
        assets = argv[2];
        // A folder named on purpose must be there; the default may not exist yet.
        if (!std::filesystem::is_directory(assets))
        {
            std::cerr << "zorvex-make-sample: " << assets.string() << " is not a folder\n";
            return 2;
        }
        nArg = 3;
    }
    if (argc != nArg + 1 || std::string_view(argv[nArg]).starts_with("--"))
        return Usage();
    if (!LayOutSampleInstall(argv[nArg], assets, std::cerr))
        return 1;
    std::cout << "sample installation in " << argv[nArg] << "\n";
    return 0;
}
