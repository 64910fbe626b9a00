// The game server's eight-digit dates ("20090305") as shown to the user ("March 5, 2009").
#pragma once

#include <string>
#include <string_view>

std::wstring FormatServerDate(std::string_view strDate);
