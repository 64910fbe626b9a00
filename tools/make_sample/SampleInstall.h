// A sample installation folder of the game, as the program finds it beside the game: images,
// language file, game list with stored event files, and a stand-in for the game program.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

// The repository's assets folder (images and the bundled language file).
std::filesystem::path DefaultAssetsFolder();

// The game list of the sample: four entries of three games, one of them the shared entry of a
// game, with players whose flags name the nations the demo server gives them.
std::string SampleGameListBytes();

// Lays out the sample in dir (created when missing): a copy of the assets folder's contents (a
// missing assets folder copies nothing), "RawEnglishUnicode.txt", "PBEM/PBEM.data", a few event
// files, and "Zorvex.exe", a shell script that appends its arguments as one line to
// "ZorvexExeCalls.log" beside itself. False, with a message on err, when something could not be
// written.
bool LayOutSampleInstall(const std::filesystem::path& dir, const std::filesystem::path& assets,
                         std::ostream& err);

// Writes the language file of every text the program shows.
bool WriteLanguageFile(const std::filesystem::path& path, std::ostream& err);
