// Composing the "zvlstatus" settings record from the system settings and the
// current character set.
#include "config/status_record.h"

#include <cstdio>

namespace {

char flag(int value) {
  return value ? '1' : '0';
}

// "1" or "2" for those values, "0" for anything else.
char one_or_two(int value) {
  return value == 1 ? '1' : value == 2 ? '2' : '0';
}

// The font colour setting: its digit for 0 to 3, "9" for anything else.
char colour_setting(int value) {
  return value >= 0 && value <= 3 ? static_cast<char>('0' + value) : '9';
}

} // namespace

std::string compose_zvlstatus(const trel_system_config &system, const ZConfig *current) {
  // Without a current set every per-character value reads as 0.
  auto value = [current](int ZConfig::*field) { return current ? current->*field : 0; };
  const char fields[] = {
      flag(system.system_audio_enable),
      flag(value(&ZConfig::cmd_separator)),
      flag(value(&ZConfig::direction_button_enable)),
      flag(value(&ZConfig::hint_button_enable)),
      flag(value(&ZConfig::fkey_button_display)),
      flag(value(&ZConfig::status_bar)),
      flag(value(&ZConfig::sky_bar)),
      flag(value(&ZConfig::exp_display)),
      flag(value(&ZConfig::hpbar_enable)),
      flag(value(&ZConfig::enemy_hpbar_enable)),
      flag(value(&ZConfig::popup_display)),
      one_or_two(value(&ZConfig::group_status_display)),
      one_or_two(value(&ZConfig::current_layout)),
      flag(value(&ZConfig::automap_display)),
      flag(value(&ZConfig::automap_docked)),
      flag(value(&ZConfig::channel_window_enable)),
      flag(value(&ZConfig::channel_window_dupe)),
      flag(value(&ZConfig::colorflash_enable)),
      colour_setting(value(&ZConfig::font_colors_setting)),
      flag(system.voting_reminders),
  };
  std::string record = "zvlstatus ";
  record.append(fields, sizeof fields);
  char numbers[48];
  snprintf(numbers, sizeof numbers, " %2d %2d %2d", value(&ZConfig::current_theme),
           value(&ZConfig::current_background_theme), value(&ZConfig::theme_bg_setting));
  record += numbers;
  return record;
}
