// A window as a picture: its pixels as it paints them now, fully transparent outside its shape
// (the window region) and opaque inside.
#pragma once

#include <filesystem>
#include <string>

class CWnd;

// Writes the picture as an RGBA PNG of exactly the window's size. On failure returns false and
// says why in *pError.
bool SaveWindowPng(CWnd& wnd, const std::filesystem::path& path, std::string* pError);
