// The nine background themes (three colours each) that colour the main
// window's background patterns, looked up by the stored theme index.
#pragma once
#include "app/background_pattern.h"

// The colours for current_background_theme: 2 Red, 40 Brown, 0 Yellow,
// 50 YGreen, 60 Green, 70 Cyan, 80 Purple, 90 Grey, any other value Blue.
trel_background_colours trel_background_theme(int index);
