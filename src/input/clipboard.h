// The client's clipboard: plain text on the X11 primary selection, shared by
// the input line and the text panes. The client's byte strings are
// single-byte (Latin-1) text; the toolkit offers and reads them as Unicode.
#pragma once
#include <string>

// Puts text on the primary selection. Returns true on success; false when
// text is null or the clipboard cannot be opened (reported at level 2).
bool set_clipboard_data(const char *text);

// Reads the primary selection as single-byte text into text (characters
// beyond Latin-1 become '?'). Returns true on success; false when the
// clipboard cannot be opened (reported at level 2) or holds no text, and
// then text is left unchanged.
bool get_clipboard_data(std::string &text);
