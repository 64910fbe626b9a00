// Writes the language file the program loads at start-up from a list of texts.
#pragma once

#include "res/TextIds.h"

#include <span>
#include <string>

// The file's bytes: UTF-16LE with a byte-order mark, one "id=text" line per text ended by CR LF,
// with carriage returns, line feeds and double quotes written as \r, \n and \". False, with the
// reason in strError, when a text would not read back as it is (the file has no escape for a
// backslash, and an empty text is not loaded).
bool BuildLanguageFile(std::span<const STextId> texts, std::string& bytes, std::string& strError);
