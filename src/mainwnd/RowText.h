// The part of a text that one row of the list lays out and draws. A row shows the start of its
// text only (the row clips the rest), and laying out a text of thousands of lines on every paint
// would freeze the window: the text is cut after ROW_TEXT_MAX_LINES lines and each line after
// ROW_TEXT_MAX_LINE_CHARS characters, far more than a row can show; a cut is marked with an
// ellipsis at the end of the line where it happened.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline constexpr std::size_t ROW_TEXT_MAX_LINES = 4;
inline constexpr std::size_t ROW_TEXT_MAX_LINE_CHARS = 256;

std::wstring BoundedRowText(std::wstring_view strText);
