// The menu labels behind the check marks that settings changes set.
#include "config/config_observer.h"

#include <cstddef>

namespace {

struct numbered_label {
  int value;
  const char *label;
};

// The colour themes share one numbering for button and background colours.
const numbered_label colour_theme_items[] = {
    {0, "Yellow"}, {1, "Blue"},  {2, "Red"},     {40, "Brown"}, {50, "YGreen"},
    {60, "Green"}, {70, "Cyan"}, {80, "Purple"}, {90, "Grey"},
};

// Style 4 is "Bubbles" and 5 is "Maze3", the reverse of their menu order.
const numbered_label background_style_items[] = {
    {0, "None"}, {1, "Solid"}, {2, "Maze1"}, {3, "Maze2"}, {4, "Bubbles"}, {5, "Maze3"},
};

const numbered_label layout_items[] = {{0, "Embedded"}, {1, "Left Top"}, {2, "Left Bottom"}};
const numbered_label group_display_items[] = {{0, "Off"}, {1, "Vertical"}, {2, "Horizontal"}};

template <std::size_t count>
const char *label_for(const numbered_label (&items)[count], int value) {
  for (const numbered_label &item : items)
    if (item.value == value)
      return item.label;
  return nullptr;
}

} // namespace

const char *trel_menu_check_label(trel_menu_check item) {
  switch (item) {
  case trel_menu_check::number_pad:
    return "Move Using &Number Pad";
  case trel_menu_check::url_linking:
    return "Enable URL Linking";
  case trel_menu_check::compact_font:
    return "Compact Font";
  case trel_menu_check::select_last_command:
    return "Select &Last Command";
  case trel_menu_check::local_echo:
    return "&Enable Local Echo";
  case trel_menu_check::command_separator:
    return "Command Separator";
  case trel_menu_check::direction_buttons:
    return "&Direction Buttons";
  case trel_menu_check::hint_buttons:
    return "&Hint Buttons";
  case trel_menu_check::function_key_buttons:
    return "&Function Key Buttons";
  case trel_menu_check::status_bar:
    return "&Status Bar";
  case trel_menu_check::sky_bar:
    return "S&ky Bar";
  case trel_menu_check::exp_bar:
    return "E&xp Bar";
  case trel_menu_check::hp_bar:
    return "HP Bar";
  case trel_menu_check::enemy_hp_bar:
    return "Enemy HP Bar";
  case trel_menu_check::popup_buttons:
    return "&Popup Buttons";
  case trel_menu_check::main_scrollbar:
    return "Main Scrollbar";
  case trel_menu_check::locking_scrollback:
    return "Locking Scrollback";
  case trel_menu_check::bar_invert:
    return "Bar Invert";
  case trel_menu_check::colour_flash:
    return "Show &Color Flash Events";
  case trel_menu_check::channel_window:
    return "Tabbed &Channel Window";
  case trel_menu_check::channel_dupe:
    return "D&uplicate Channel Sends in Main Window";
  case trel_menu_check::automap:
    return "&Automap";
  case trel_menu_check::docked_map:
    return "Docked Map";
  case trel_menu_check::enable_sounds:
    return "Enable Sounds";
  }
  return "";
}

const char *trel_menu_choice_label(trel_menu_choice group, int value) {
  switch (group) {
  case trel_menu_choice::layout:
    return label_for(layout_items, value);
  case trel_menu_choice::group_display:
    return label_for(group_display_items, value);
  case trel_menu_choice::button_colors:
  case trel_menu_choice::background_colors:
    return label_for(colour_theme_items, value);
  case trel_menu_choice::background_styles:
    return label_for(background_style_items, value);
  }
  return nullptr;
}
