// main() of the benchmarks that make windows: the window system offscreen (no display needed),
// the bundled installation as the installation folder.
#pragma once

#include "install/InstallFolder.h"
#include "platform/System.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

inline int RunOffscreenBenchmarks(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    InitPlatform(argc, argv);
    SetInstallFolder(std::filesystem::path(ZORVEX_ASSETS_DIR).wstring());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ExitPlatform();
    return 0;
}
