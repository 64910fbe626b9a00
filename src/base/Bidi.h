// Keeps the direction controls of one piece of text inside it. A text from a file or the server
// may open an embedding, override or isolate (U+202A/B/D/E, U+2066..U+2068) and never close it;
// where such texts are joined into one label, the next text would then be drawn under it (an
// open right-to-left override reverses the following lines). Text renderers differ in whether a
// line feed ends them, so they are closed at the end of every line.
#pragma once

#include <string>
#include <string_view>

// The text with the matching PDF (U+202C) or PDI (U+2069) added, innermost first, before each
// line end (LF, CR, U+2029 and the other paragraph separators) and at the end, for every control
// still open there. Closers that match nothing of the text are kept as they are.
std::wstring CloseOpenBidi(std::wstring_view text);
