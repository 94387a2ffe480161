// The three fonts every pane shares, created at start-up.
#pragma once
#include "widgets/font.h"

extern trel_font *main_font;
extern trel_font *small_font;
extern trel_font *label_font;

constexpr int DEFAULT_MAIN_FONT_SIZE = 8;

// Creates the fonts in the order main, small, label.
void create_shared_fonts(int main_font_size);
