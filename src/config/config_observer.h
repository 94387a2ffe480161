// What a change of settings asks of the window around the configuration
// store: check marks, pane visibility, layout, themes, fonts and audio. The
// store stays display-free; the main window implements this interface.
#pragma once

// The menu items with a check mark of their own.
enum class trel_menu_check {
  number_pad,           // "Move Using &Number Pad"
  url_linking,          // "Enable URL Linking"
  compact_font,         // "Compact Font"
  select_last_command,  // "Select &Last Command"
  local_echo,           // "&Enable Local Echo"
  command_separator,    // "Command Separator"
  direction_buttons,    // "&Direction Buttons"
  hint_buttons,         // "&Hint Buttons"
  function_key_buttons, // "&Function Key Buttons"
  status_bar,           // "&Status Bar"
  sky_bar,              // "S&ky Bar"
  exp_bar,              // "E&xp Bar"
  hp_bar,               // "HP Bar"
  enemy_hp_bar,         // "Enemy HP Bar"
  popup_buttons,        // "&Popup Buttons"
  main_scrollbar,       // "Main Scrollbar"
  locking_scrollback,   // "Locking Scrollback"
  bar_invert,           // "Bar Invert"
  colour_flash,         // "Show &Color Flash Events"
  channel_window,       // "Tabbed &Channel Window"
  channel_dupe,         // "D&uplicate Channel Sends in Main Window"
  automap,              // "&Automap"
  docked_map,           // "Docked Map"
  enable_sounds,        // "Enable Sounds"
};

// The groups of menu items of which exactly one carries the mark.
enum class trel_menu_choice {
  layout,            // current_layout: "Embedded", "Left Top", "Left Bottom"
  group_display,     // group_status_display: "Off", "Vertical", "Horizontal"
  button_colors,     // current_theme, theme numbers
  background_colors, // current_background_theme, theme numbers
  background_styles, // theme_bg_setting, style numbers
};

// The label of a check item.
const char *trel_menu_check_label(trel_menu_check item);
// The label of the item of group that stands for value, or nullptr when no
// item does (a theme number outside the table checks nothing).
const char *trel_menu_choice_label(trel_menu_choice group, int value);

// Every operation does nothing by default, so a test or a tool can run the
// store without a window, and the window overrides only what it shows.
class trel_config_observer {
public:
  virtual ~trel_config_observer() = default;

  // Set the check mark of item (on is 0 or 1).
  virtual void check_menu_item(trel_menu_check /*item*/, int /*on*/) {}
  // Mark the item of group that stands for value; values without an item
  // (trel_menu_choice_label gives nullptr) mark nothing.
  virtual void check_menu_choice(trel_menu_choice /*group*/, int /*value*/) {}
  // Whether a character is logged in: some panes only show or hide then.
  virtual bool is_logged_in() { return false; }
  // Run relayout on the main window and repaint it.
  virtual void relayout() {}
  // The settings record must be sent to the server again.
  virtual void mark_status_dirty() {}

  // Give the main font to every pane that uses it (apply_main_font).
  virtual void apply_main_font() {}
  // Give the button fonts to every pane that uses them (apply_button_fonts).
  virtual void apply_button_fonts() {}
  // Make the shared fonts those of the descriptions at the given point sizes
  // (the label font at button_font_size + 2); a description the toolkit
  // cannot parse only changes the size of the font it names.
  virtual void apply_font_descriptions(const char * /*font*/, int /*font_size*/,
                                       const char * /*button_font*/, int /*button_font_size*/) {}

  // Called only while logged in.
  virtual void show_status_bar(int /*on*/) {}
  virtual void show_sky_bar(int /*on*/) {}
  virtual void show_status_display(int /*on*/) {}
  // The status display learns which of its bars are on.
  virtual void set_status_display_bars(int /*exp_display*/, int /*hpbar_enable*/,
                                       int /*enemy_hpbar_enable*/) {}
  // Show or hide the main pane's scroll bar and repaint the pane.
  virtual void show_main_scrollbar(int /*on*/) {}
  virtual void hide_group_display() {}
  virtual void enable_channel_window(int /*on*/) {}
  virtual void set_automap_size(int /*size*/) {}
  // Bring the panes that follow settings up to date (scroll bar visibility
  // and the like).
  virtual void update_dependent_panes() {}
  virtual void apply_layout_change() {}
  // Re-colour the buttons; force_background also rebuilds the backgrounds.
  virtual void apply_theme_change(int /*force_background*/) {}

  // The audio output: start gives 1 when the output is running.
  virtual void stop_audio() {}
  virtual int start_audio() { return 1; }
};
