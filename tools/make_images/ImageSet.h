// The catalogue of every picture the program shows: where each file goes below the installation
// folder, its pixels and its file form.
#pragma once

#include "Canvas.h"

#include <filesystem>
#include <string>
#include <vector>

enum class EFileForm
{
    Bmp24,
    Bmp8,
    Png,
};

struct SImageFile
{
    std::string strPath; // relative to the installation folder, with '/'
    CCanvas canvas;
    EFileForm eForm = EFileForm::Bmp24;
};

using ImageSet = std::vector<SImageFile>;

inline constexpr const char* SKIN_DIR = "Data/Skins/Default/";
inline constexpr const char* IMAGES_DIR = "Data/Images/";
inline constexpr const char* FLAGS_DIR = "Data/Images/Flags/";
inline constexpr const char* ICONS_DIR = "Data/Icons/";

// The families, in the order the contact sheet shows them.
void AddSkinFrame(ImageSet& set);
void AddSkinButtons(ImageSet& set);
void AddWindowIcons(ImageSet& set);
void AddFlags(ImageSet& set);
void AddAppIcons(ImageSet& set);

ImageSet BuildImageSet();
// The image of the set with this path; null when there is none.
const SImageFile* FindImage(const ImageSet& set, const std::string& strPath);

// Writes every file of the set below the folder; the relative paths of the files that could not
// be written (empty when all went well).
std::vector<std::string> WriteImageSet(const ImageSet& set, const std::filesystem::path& folder);
