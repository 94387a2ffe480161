// The background pattern painters: black, solid, the three 5-pixel mazes and
// the bubbles.
#include "app/background_pattern.h"

#include "support/random.h"

#include <cstdint>

namespace {

constexpr int cell = 5;
constexpr int bubble_cell = 16;
const trel_colour black{0, 0, 0};

// The three 5 by 5 cell patterns differ only in the line a random number
// draws from a cell's corner.
enum maze_kind { maze_lines, maze_lines_sparse_first, maze_diagonals };

void paint_maze(trel_bitmap &target, maze_kind kind, const trel_background_colours &c,
                trel_random &generator) {
  for (int y = 0; y < target.height(); y += cell) {
    generator.restore();
    generator.stir(static_cast<uint32_t>(y));
    for (int x = 0; x < target.width(); x += cell) {
      const uint32_t r = generator.next();
      if (kind == maze_diagonals) {
        const trel_colour &colour = (r & 2) ? c.second : c.first;
        if (r & 1)
          target.draw_line(x, y, x + cell, y + cell, colour);
        else
          target.draw_line(x + cell, y, x, y + cell, colour);
        continue;
      }
      // One cell in eight of the sparse kind takes the first colour.
      const bool first = kind == maze_lines_sparse_first && ((r >> 2) & 7) == 0;
      const trel_colour &colour = first ? c.first : c.second;
      switch (r & 3) {
      case 0:
        target.draw_line(x, y, x + cell, y, colour);
        break;
      case 1:
        target.draw_line(x, y, x, y + cell, colour);
        break;
      case 2:
        target.draw_line(x, y, x - cell, y, colour);
        break;
      default:
        target.draw_line(x, y, x, y - cell, colour);
        break;
      }
    }
  }
}

// Four passes of rings on a 16-pixel grid, the later passes in the brighter
// colours over the earlier ones.
void paint_bubbles(trel_bitmap &target, const trel_background_colours &c, trel_random &generator) {
  const trel_colour *pass_colour[4] = {&c.third, &c.third, &c.second, &c.first};
  for (uint32_t i = 0; i < 4; i++) {
    for (int j = 0; bubble_cell * j < target.height(); j++) {
      generator.restore();
      // Unsigned, so the seed wraps the same way on every machine.
      generator.stir(169135679u + 137u * i + static_cast<uint32_t>(j) * (19753072u + 16u * i));
      for (int k = 0; bubble_cell * k - bubble_cell < target.width(); k++) {
        const uint32_t r1 = generator.next();
        const uint32_t r2 = generator.next();
        const uint32_t r3 = generator.next();
        const int x = bubble_cell * k - bubble_cell + static_cast<int>(r1 % bubble_cell);
        const int y = bubble_cell * j + static_cast<int>(r2 % bubble_cell);
        const int s = static_cast<int>((r3 / 4) % 4);
        target.DrawFilledCircle(x, y, s + 2, *pass_colour[i]);
        target.DrawFilledCircle(x, y, s + 1, black);
      }
    }
  }
}

} // namespace

void trel_paint_background_pattern(trel_bitmap &target, int theme_bg_setting,
                                   const trel_background_colours &colours, trel_random &generator) {
  target.Clear(black);
  switch (theme_bg_setting) {
  case TREL_BACKGROUND_NONE:
    break;
  case TREL_BACKGROUND_SOLID:
    target.Clear(colours.third);
    break;
  case TREL_BACKGROUND_MAZE1:
    paint_maze(target, maze_lines, colours, generator);
    break;
  case TREL_BACKGROUND_BUBBLES:
    paint_bubbles(target, colours, generator);
    break;
  case TREL_BACKGROUND_MAZE3:
    paint_maze(target, maze_diagonals, colours, generator);
    break;
  default: // Maze2, and any value this client does not know
    paint_maze(target, maze_lines_sparse_first, colours, generator);
    break;
  }
}
