// The three fonts every pane shares, created at start-up.
#pragma once
#include <wx/font.h>

extern wxFont *main_font;
extern wxFont *small_font;
extern wxFont *label_font;

constexpr int DEFAULT_MAIN_FONT_SIZE = 8;

// Creates the fonts in the order main, small, label.
void create_shared_fonts(int main_font_size);
