// The input line's key map as a table of key presses in a given state and the
// action each must produce; also the key-held memory and the wheel steps.
#include "input/key_map.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

namespace {

using action = trel_key_action;
namespace k = trel_keys;

// Modifier sets.
enum mods { none = 0, ctrl = 1, shift = 2, alt = 4, meta = 8 };

// State tweaks applied to a default context (not walking, not logged in,
// nothing selected or locked, no key down).
using tweak = std::function<void(trel_key_context &)>;
const tweak plain = [](trel_key_context &) {};
const tweak walking = [](trel_key_context &c) { c.keypad_walking = true; };
const tweak walking_held = [](trel_key_context &c) {
  c.keypad_walking = true;
  c.key_was_down = true;
};
const tweak playing = [](trel_key_context &c) { c.logged_in = true; };
const tweak pushed = [](trel_key_context &c) {
  c.cmd_pushthrough = true;
  c.whole_text_selected = true;
  c.line_has_selection = true;
};
const tweak selected_no_pushthrough = [](trel_key_context &c) {
  c.whole_text_selected = true;
  c.line_has_selection = true;
};
const tweak line_selection = [](trel_key_context &c) { c.line_has_selection = true; };
const tweak main_selection = [](trel_key_context &c) { c.main_has_selection = true; };
const tweak both_selections = [](trel_key_context &c) {
  c.line_has_selection = true;
  c.main_has_selection = true;
};
const tweak main_locked = [](trel_key_context &c) { c.main_locked = true; };
const tweak channel_locked = [](trel_key_context &c) { c.channel_locked = true; };
const tweak both_locked = [](trel_key_context &c) {
  c.main_locked = true;
  c.channel_locked = true;
};
const tweak locked_lock_on = [](trel_key_context &c) {
  c.main_locked = true;
  c.locking_scrollback_enable = true;
};
// The same Ctrl key is still down from its previous press (auto-repeat).
tweak ctrl_repeat_of(int code) {
  return [code](trel_key_context &c) {
    c.key_was_down = true;
    c.previous_key = code;
    c.previous_ctrl = true;
  };
}

struct key_case {
  const char *name;
  int code;
  int modifiers;
  tweak state;
  action expected;
  std::string text;
  int amount;
};

void PrintTo(const key_case &c, std::ostream *os) {
  *os << c.name;
}

class key_map : public testing::TestWithParam<key_case> {};

TEST_P(key_map, GivesTheAction) {
  const key_case &c = GetParam();
  trel_key_press press;
  press.code = c.code;
  press.ctrl = c.modifiers & ctrl;
  press.shift = c.modifiers & shift;
  press.alt = c.modifiers & alt;
  press.meta = c.modifiers & meta;
  trel_key_context context;
  c.state(context);
  const trel_key_result result = trel_map_key(press, context);
  EXPECT_EQ(static_cast<int>(result.action), static_cast<int>(c.expected));
  EXPECT_EQ(result.text, c.text);
  EXPECT_EQ(result.amount, c.amount);
}

std::string case_name(const testing::TestParamInfo<key_case> &info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    keypad_walking, key_map,
    testing::Values(
        key_case{"Keypad7", k::numpad0 + 7, none, walking, action::walk, "northwest", 0},
        key_case{"Keypad8", k::numpad0 + 8, none, walking, action::walk, "north", 0},
        key_case{"Keypad9", k::numpad0 + 9, none, walking, action::walk, "northeast", 0},
        key_case{"Keypad4", k::numpad0 + 4, none, walking, action::walk, "west", 0},
        key_case{"Keypad5", k::numpad0 + 5, none, walking, action::walk, "scan -zv", 0},
        key_case{"Keypad6", k::numpad0 + 6, none, walking, action::walk, "east", 0},
        key_case{"Keypad1", k::numpad0 + 1, none, walking, action::walk, "southwest", 0},
        key_case{"Keypad2", k::numpad0 + 2, none, walking, action::walk, "south", 0},
        key_case{"Keypad3", k::numpad0 + 3, none, walking, action::walk, "southeast", 0},
        key_case{"KeypadPlus", k::numpad_add, none, walking, action::walk, "up", 0},
        key_case{"KeypadMinus", k::numpad_subtract, none, walking, action::walk, "down", 0},
        key_case{"KeypadHome", k::numpad_home, none, walking, action::walk, "northwest", 0},
        key_case{"KeypadUp", k::numpad_up, none, walking, action::walk, "north", 0},
        key_case{"KeypadPageUp", k::numpad_page_up, none, walking, action::walk, "northeast", 0},
        key_case{"KeypadLeft", k::numpad_left, none, walking, action::walk, "west", 0},
        key_case{"KeypadBegin", k::numpad_begin, none, walking, action::walk, "scan -zv", 0},
        key_case{"Clear", k::clear, none, walking, action::walk, "scan -zv", 0},
        key_case{"KeypadRight", k::numpad_right, none, walking, action::walk, "east", 0},
        key_case{"KeypadEnd", k::numpad_end, none, walking, action::walk, "southwest", 0},
        key_case{"KeypadDown", k::numpad_down, none, walking, action::walk, "south", 0},
        key_case{"KeypadPageDown", k::numpad_page_down, none, walking, action::walk, "southeast",
                 0},
        key_case{"HeldKeypad8WalksOnce", k::numpad0 + 8, none, walking_held, action::swallow, "",
                 0},
        key_case{"WalkingOffKeypad8IsTyped", k::numpad0 + 8, none, plain, action::pass_on, "", 0},
        key_case{"WalkingOffKeypadUpIsUp", k::numpad_up, none, plain, action::history_up, "", 0},
        key_case{"ShiftKeypad8IsTyped", k::numpad0 + 8, shift, walking, action::pass_on, "", 0},
        key_case{"CtrlKeypadPlusIsFontSize", k::numpad_add, ctrl, walking, action::font_size_step,
                 "", 1},
        key_case{"ArrowUpDoesNotWalk", k::up, none, walking, action::history_up, "", 0}),
    case_name);

INSTANTIATE_TEST_SUITE_P(
    pushed_through, key_map,
    testing::Values(
        key_case{"HomeEditsFromStart", k::home, none, pushed, action::caret_to_start, "", 0},
        key_case{"KeypadHomeEditsFromStart", k::numpad_home, none, pushed, action::caret_to_start,
                 "", 0},
        key_case{"LeftEditsFromStart", k::left, none, pushed, action::caret_to_start, "", 0},
        key_case{"UpShowsTheCommandBefore", k::up, none, pushed, action::pushed_through_up, "", 0},
        key_case{"ShiftUpIsPlainUp", k::up, shift, pushed, action::history_up, "", 0},
        key_case{"CtrlUpPagesUp", k::up, ctrl, pushed, action::page_up, "", 0},
        key_case{"HomeWithoutPushthroughIsEditing", k::home, none, selected_no_pushthrough,
                 action::pass_on, "", 0},
        key_case{"HomeWithoutSelectionIsEditing", k::home, none, plain, action::pass_on, "", 0}),
    case_name);

INSTANTIATE_TEST_SUITE_P(ctrl_table, key_map,
                         testing::Values(
                             key_case{"CtrlPlusFontLarger", '+', ctrl, plain,
                                      action::font_size_step, "", 1},
                             key_case{"CtrlEqualsFontLarger", '=', ctrl, plain,
                                      action::font_size_step, "", 1},
                             key_case{"CtrlMinusFontSmaller", '-', ctrl, plain,
                                      action::font_size_step, "", -1},
                             key_case{"CtrlUnderscoreFontSmaller", '_', ctrl, plain,
                                      action::font_size_step, "", -1},
                             key_case{"CtrlKeypadMinusFontSmaller", k::numpad_subtract, ctrl, plain,
                                      action::font_size_step, "", -1},
                             key_case{"CtrlShiftEqualsChannelTaller", '=', ctrl | shift, plain,
                                      action::step_setting, "channel_window_height", 5},
                             key_case{"CtrlShiftMinusChannelShorter", '-', ctrl | shift, plain,
                                      action::step_setting, "channel_window_height", -5},
                             key_case{"Ctrl1OpensPopup1", '1', ctrl, playing, action::popup_toggle,
                                      "", 1},
                             key_case{"Ctrl9OpensPopup9", '9', ctrl, playing, action::popup_toggle,
                                      "", 9},
                             key_case{"Ctrl0OpensPopup10", '0', ctrl, playing, action::popup_toggle,
                                      "", 10},
                             key_case{"Ctrl3BeforeLoginDoesNothing", '3', ctrl, plain,
                                      action::swallow, "", 0},
                             key_case{"CtrlShift1Automap", '1', ctrl | shift, plain,
                                      action::toggle_setting, "automap_display", 0},
                             key_case{"CtrlShift2Group", '2', ctrl | shift, plain,
                                      action::toggle_setting, "group_status_display", 0},
                             key_case{"CtrlShift3HpBar", '3', ctrl | shift, plain,
                                      action::toggle_setting, "hpbar_enable", 0},
                             key_case{"CtrlShift4EnemyBar", '4', ctrl | shift, plain,
                                      action::toggle_setting, "enemy_hpbar_enable", 0},
                             key_case{"CtrlShift5Exp", '5', ctrl | shift, plain,
                                      action::toggle_setting, "exp_display", 0},
                             key_case{"CtrlShift6Nothing", '6', ctrl | shift, plain,
                                      action::swallow, "", 0},
                             key_case{"CtrlShift7FunctionKeys", '7', ctrl | shift, plain,
                                      action::toggle_setting, "fkey_button_display", 0},
                             key_case{"CtrlShift8Popups", '8', ctrl | shift, plain,
                                      action::toggle_setting, "popup_display", 0},
                             key_case{"CtrlShift9Scrollbar", '9', ctrl | shift, plain,
                                      action::toggle_setting, "mw_scrollbar_enable", 0},
                             key_case{"CtrlShift0Nothing", '0', ctrl | shift, playing,
                                      action::swallow, "", 0},
                             key_case{"CtrlMAutomap", 'M', ctrl, plain, action::toggle_setting,
                                      "automap_display", 0},
                             key_case{"CtrlSmallMAutomap", 'm', ctrl, plain, action::toggle_setting,
                                      "automap_display", 0},
                             key_case{"CtrlShiftMAutomap", 'M', ctrl | shift, plain,
                                      action::toggle_setting, "automap_display", 0},
                             key_case{"CtrlPHpBar", 'P', ctrl, plain, action::toggle_setting,
                                      "hpbar_enable", 0},
                             key_case{"CtrlCCopiesLineSelection", 'C', ctrl, line_selection,
                                      action::copy_line_selection, "", 0},
                             key_case{"CtrlCLineSelectionFirst", 'C', ctrl, both_selections,
                                      action::copy_line_selection, "", 0},
                             key_case{"CtrlCClearsMainSelection", 'C', ctrl, main_selection,
                                      action::erase_clear_main_selection, "", 0},
                             key_case{"CtrlCSendsBreak", 'C', ctrl, plain, action::erase_send_break,
                                      "", 0},
                             key_case{"CtrlDSendsBreak", 'D', ctrl, main_selection,
                                      action::erase_send_break, "", 0},
                             key_case{"CtrlKErases", 'K', ctrl, plain, action::erase_line, "", 0},
                             key_case{"CtrlQUnlocksMain", 'Q', ctrl, both_locked,
                                      action::unlock_main, "", 0},
                             key_case{"CtrlQUnlocksChannel", 'Q', ctrl, channel_locked,
                                      action::unlock_channel, "", 0},
                             key_case{"CtrlQNothingLocked", 'Q', ctrl, plain,
                                      action::swallow, "", 0},
                             key_case{"CtrlSLocks", 'S', ctrl, plain, action::lock_main, "", 0},
                             key_case{"CtrlZLocks", 'Z', ctrl, plain, action::lock_main, "", 0},
                             key_case{"CtrlVPastes", 'V', ctrl, plain, action::paste, "", 0},
                             key_case{"CtrlBracketAutomapSmaller", '[', ctrl, plain,
                                      action::automap_size_step, "", -1},
                             key_case{"CtrlCloseBracketAutomapLarger", ']', ctrl, plain,
                                      action::automap_size_step, "", 1},
                             key_case{"CtrlShiftBracketInputShorter", '[',
                                      ctrl | shift, plain, action::step_setting, "input_height",
                                      -12},
                             key_case{"CtrlShiftCloseBracketInputTaller", ']',
                                      ctrl | shift, plain, action::step_setting, "input_height",
                                      12},
                             key_case{"CtrlBackslashAborts", '\\', ctrl,
                                      plain, action::erase_send_abort, "", 0},
                             key_case{"CtrlAIsTheControls", 'A', ctrl, plain,
                                      action::pass_on, "", 0},
                             key_case{"CtrlAReturnsToEnd", 'A', ctrl,
                                      main_locked, action::pass_on_following, "", 0},
                             key_case{"HeldCtrlMTogglesOnce", 'M', ctrl,
                                      ctrl_repeat_of('M'), action::swallow, "", 0},
                             key_case{"HeldCtrlBackspaceRepeats", k::back, ctrl,
                                      ctrl_repeat_of(k::back), action::pass_on, "", 0},
                             key_case{"CtrlMAfterOtherKeyToggles", 'M', ctrl,
                                      ctrl_repeat_of('P'), action::toggle_setting,
                                      "automap_display", 0},
                             key_case{"CtrlMAfterPlainMToggles", 'M', ctrl,
                                      [](trel_key_context &c) {
                                        c.key_was_down = true;
                                        c.previous_key = 'M';
                                        c.previous_ctrl = false;
                                      },
                                      action::toggle_setting, "automap_display", 0}),
                         case_name);

INSTANTIATE_TEST_SUITE_P(
    other_keys, key_map,
    testing::Values(
        key_case{"EnterSends", k::enter, none, plain, action::send_line, "", 0},
        key_case{"KeypadEnterSends", k::numpad_enter, none, plain, action::send_line, "", 0},
        key_case{"CtrlEnterBreaksTheLine", k::enter, ctrl, plain, action::insert_line_break, "", 0},
        key_case{"EscapeUnlocksMain", k::escape, none, both_locked, action::unlock_main, "", 0},
        key_case{"EscapeUnlocksChannel", k::escape, none, channel_locked, action::unlock_channel,
                 "", 0},
        key_case{"EscapeClears", k::escape, none, plain, action::escape_clear, "", 0},
        key_case{"UpBrowses", k::up, none, plain, action::history_up, "", 0},
        key_case{"CtrlUpPagesUp", k::up, ctrl, plain, action::page_up, "", 0},
        key_case{"PageUp", k::page_up, none, plain, action::page_up, "", 0},
        key_case{"DownBrowses", k::down, none, plain, action::history_down, "", 0},
        key_case{"CtrlDownPagesDownLocking", k::down, ctrl, plain, action::page_down_locking, "",
                 0},
        key_case{"PageDown", k::page_down, none, plain, action::page_down, "", 0},
        key_case{"F1", k::f1, none, playing, action::function_key, "f01", 0},
        key_case{"F12", k::f12, none, playing, action::function_key, "f12", 0},
        key_case{"ShiftF3", k::f1 + 2, shift, playing, action::function_key, "sf03", 0},
        key_case{"ShiftF3BeforeLogin", k::f1 + 2, shift, plain, action::swallow, "", 0},
        key_case{"CtrlF10", k::f1 + 9, ctrl, playing, action::function_key, "cf10", 0},
        key_case{"MetaF5", k::f1 + 4, meta, playing, action::function_key, "cf05", 0},
        key_case{"CtrlShiftF12", k::f12, ctrl | shift, playing, action::function_key, "cf12", 0},
        key_case{"AltF1PassedOn", k::f1, alt, playing, action::pass_on, "", 0},
        key_case{"LetterReturnsToEnd", 'a', none, main_locked, action::pass_on_following, "", 0},
        key_case{"LetterKeepsLockedView", 'a', none, locked_lock_on, action::pass_on, "", 0},
        key_case{"LetterWhileFollowing", 'a', none, plain, action::pass_on, "", 0},
        key_case{"ShiftAloneKeepsLockedView", k::shift, none, main_locked, action::pass_on, "", 0},
        key_case{"CtrlAloneKeepsLockedView", k::control, ctrl, main_locked, action::pass_on, "",
                 0}),
    case_name);

TEST(key_memory, RemembersThePreviousPress) {
  trel_key_memory memory;
  trel_key_context context;
  memory.press('A', false).describe(context);
  EXPECT_FALSE(context.key_was_down);
  EXPECT_EQ(context.previous_key, -1);
  EXPECT_FALSE(context.previous_ctrl);

  memory.press('B', true).describe(context);
  EXPECT_TRUE(context.key_was_down);
  EXPECT_EQ(context.previous_key, 'A');
  EXPECT_FALSE(context.previous_ctrl);

  memory.release();
  memory.press('C', false).describe(context);
  EXPECT_FALSE(context.key_was_down);
  EXPECT_EQ(context.previous_key, 'B');
  EXPECT_TRUE(context.previous_ctrl);
}

TEST(key_memory, HoldingKeypad8WalksOnceUntilReleased) {
  trel_key_memory memory;
  trel_key_press press;
  press.code = k::numpad0 + 8;
  int walks = 0;
  auto press_once = [&] {
    trel_key_context context;
    context.keypad_walking = true;
    memory.press(press.code, false).describe(context);
    if (trel_map_key(press, context).action == action::walk)
      walks++;
  };
  for (int i = 0; i < 5; i++)
    press_once(); // the auto-repeat of a held key
  EXPECT_EQ(walks, 1);
  memory.release();
  press_once();
  EXPECT_EQ(walks, 2);
}

struct wheel_case {
  const char *name;
  std::vector<int> rotations;
  int delta;
  std::vector<int> steps;
};

class wheel : public testing::TestWithParam<wheel_case> {};

TEST_P(wheel, Steps) {
  const wheel_case &c = GetParam();
  int total = 0;
  std::vector<int> steps;
  for (int rotation : c.rotations)
    steps.push_back(trel_wheel_step(total, rotation, c.delta));
  EXPECT_EQ(steps, c.steps);
}

INSTANTIATE_TEST_SUITE_P(
    cases, wheel,
    testing::Values(wheel_case{"NotchUp", {120, 120}, 120, {1, 1}},
                    wheel_case{"NotchDown", {-120, -120}, 120, {-1, -1}},
                    wheel_case{"SmoothUpBuildsAStep", {40, 40, 40, 40}, 120, {0, 0, 1, 0}},
                    wheel_case{"SmoothDownBuildsAStep", {-40, -40, -40, -40}, 120, {0, 0, -1, 0}},
                    wheel_case{"BackAndForthInsideAStep", {60, -30, -20}, 120, {0, 0, 0}},
                    wheel_case{"ZeroRotation", {0}, 120, {0}},
                    wheel_case{"ZeroDeltaCountsAsOne", {1, -1}, 0, {1, -1}},
                    wheel_case{"HugeRotationsDoNotOverflow",
                               {2147483647, 2147483647, -2147483647 - 1},
                               120,
                               {1, 1, -1}}),
    [](const testing::TestParamInfo<wheel_case> &info) { return info.param.name; });

} // namespace
