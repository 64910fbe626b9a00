// zorvex-make-images OUTDIR [--contact-sheet PNG]: writes every picture of the program below
// OUTDIR (the installation folder's layout), and optionally a sheet of them all for review.
#include "ContactSheet.h"
#include "ImageSet.h"
#include "ImageWriters.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    std::string strOut;
    std::string strSheet;
    bool bUsage = false;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--contact-sheet" && i + 1 < argc)
            strSheet = argv[++i];
        else if (strOut.empty() && !arg.starts_with("--"))
            strOut = arg;
        else
            bUsage = true;
    }
    if (strOut.empty() || bUsage)
    {
        std::fprintf(stderr, "usage: zorvex-make-images OUTDIR [--contact-sheet PNG]\n");
        return 2;
    }

    const ImageSet set = BuildImageSet();
    int nResult = 0;
    for (const std::string& strPath : WriteImageSet(set, strOut))
    {
        std::fprintf(stderr, "cannot write %s\n", strPath.c_str());
        nResult = 1;
    }
    if (!strSheet.empty() && !WriteFileBytes(strSheet, EncodePng(BuildContactSheet(set))))
    {
        std::fprintf(stderr, "cannot write %s\n", strSheet.c_str());
        nResult = 1;
    }
    if (nResult == 0)
        std::printf("%zu images written below %s\n", set.size(), strOut.c_str());
    return nResult;
}
