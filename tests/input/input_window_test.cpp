// The input pane in a hidden frame with a recording host: key presses go
// straight to the line edit's handlers as constructed events, and the pane's
// frame is checked in its offscreen bitmap.
#include "input/clipboard.h"
#include "input/input_window.h"
#include "recording_input_host.h"

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/font.h>
#include <wx/frame.h>

#include <string>
#include <vector>

namespace {

using calls = std::vector<std::string>;
enum mods { none = 0, ctrl = 1, shift = 2, alt = 4 };

class input_window_test : public testing::Test {
protected:
  void SetUp() override {
    font = std::make_unique<wxFont>(wxFontInfo(10).Family(wxFONTFAMILY_MODERN));
    frame = new wxFrame(nullptr, wxID_ANY, "input test");
    pane = new trel_input_window(frame, "main", host, font.get());
    pane->set_geometry(0, 0, 300, 40);
  }
  void TearDown() override {
    frame->Destroy();
    wxTheApp->ProcessIdle();
  }

  trel_line_edit &edit() { return pane->line_edit(); }

  // Presses a key; returns true when the key was passed on to the control.
  bool press(int code, int modifiers = none) {
    wxKeyEvent event(wxEVT_KEY_DOWN);
    event.m_keyCode = code;
    event.SetControlDown(modifiers & ctrl);
    event.SetShiftDown(modifiers & shift);
    event.SetAltDown(modifiers & alt);
    event.SetEventObject(&edit());
    edit().on_key_down(event);
    return event.GetSkipped();
  }
  void release(int code) {
    wxKeyEvent event(wxEVT_KEY_UP);
    event.m_keyCode = code;
    edit().on_key_up(event);
  }
  // What the player types lands at the caret in the control's default style.
  void type(const char *text) { edit().WriteText(text); }
  void send(const char *text) {
    type(text);
    press(WXK_RETURN);
    release(WXK_RETURN);
  }
  std::string value() { return edit().GetValue().ToStdString(); }
  void wheel(int rotation) {
    wxMouseEvent event(wxEVT_MOUSEWHEEL);
    event.m_wheelRotation = rotation;
    event.m_wheelDelta = 120;
    event.m_wheelAxis = wxMOUSE_WHEEL_VERTICAL;
    edit().on_mouse_wheel(event);
  }

  recording_input_host host;
  std::unique_ptr<wxFont> font;
  wxFrame *frame = nullptr;
  trel_input_window *pane = nullptr;
};

TEST_F(input_window_test, LineEditIsNamedAfterThePaneWithTheFiveStyleFlags) {
  EXPECT_EQ(edit().GetName(), "main input window");
  const long flags[] = {wxTE_MULTILINE, wxTE_RICH, wxTE_PROCESS_ENTER, wxTE_NOHIDESEL,
                        wxBORDER_NONE};
  for (long flag : flags)
    EXPECT_TRUE(edit().HasFlag(flag)) << flag;
  EXPECT_EQ(edit().GetBackgroundColour(), *wxBLACK);
  EXPECT_EQ(edit().GetDefaultStyle().GetTextColour(), *wxWHITE);
}

TEST_F(input_window_test, LineEditSitsInsideTheFrame) {
  EXPECT_EQ(edit().GetPosition(), wxPoint(2, 1));
  EXPECT_EQ(edit().GetSize(), wxSize(296, 38));
  pane->set_geometry(0, 0, 3, 2);
  EXPECT_EQ(edit().GetSize(), wxSize(1, 1));
}

TEST_F(input_window_test, EnterSendsTheTypedLineWithEchoAndRemembersIt) {
  type("look");
  EXPECT_FALSE(press(WXK_RETURN));
  EXPECT_EQ(host.take(), calls{"command echo look"});
  EXPECT_EQ(value(), "");
  ASSERT_NE(edit().command_history().slot(2), nullptr);
  EXPECT_EQ(*edit().command_history().slot(2), "look");
}

TEST_F(input_window_test, EnterWhileScrolledBackReturnsToTheEndFirst) {
  host.main_locked = true;
  send("look");
  EXPECT_EQ(host.take(), (calls{"follow", "command echo look"}));
}

TEST_F(input_window_test, EmptyEnterSendsAnEmptyLineAndRemembersNothing) {
  const int before = edit().command_history().command_count();
  press(WXK_RETURN);
  EXPECT_EQ(host.take(), calls{"command echo "});
  EXPECT_EQ(edit().command_history().command_count(), before);
}

TEST_F(input_window_test, UpAndDownBrowseTheSentCommands) {
  edit().set_history_bank(2);
  send("look");
  send("north");
  type("dra");
  press(WXK_UP);
  EXPECT_EQ(value(), "north");
  EXPECT_EQ(edit().GetInsertionPoint(), 5);
  press(WXK_UP);
  EXPECT_EQ(value(), "look");
  press(WXK_DOWN);
  EXPECT_EQ(value(), "north");
  press(WXK_DOWN);
  EXPECT_EQ(value(), "dra");
  host.take();
}

TEST_F(input_window_test, CtrlEnterMakesAMultiLineEntryThatUpWalksThrough) {
  type("ab");
  press(WXK_RETURN, ctrl);
  type("cd");
  EXPECT_EQ(value(), "ab\ncd");
  edit().SetInsertionPoint(4);
  press(WXK_UP);
  EXPECT_EQ(edit().GetInsertionPoint(), 2);
  EXPECT_EQ(value(), "ab\ncd");
  press(WXK_DOWN);
  EXPECT_EQ(edit().GetInsertionPoint(), 5);
  EXPECT_TRUE(host.take().empty());
}

TEST_F(input_window_test, PasswordModeHidesTextAndRemembersNothing) {
  edit().set_history_bank(1);
  edit().enter_password_mode();
  EXPECT_FALSE(edit().is_echo_allowed());
  EXPECT_EQ(edit().GetForegroundColour(), *wxBLACK);
  EXPECT_EQ(edit().GetDefaultStyle().GetTextColour(), *wxBLACK);
  type("secret");
  wxTextAttr attr;
  ASSERT_TRUE(edit().GetStyle(2, attr));
  EXPECT_EQ(attr.GetTextColour(), *wxBLACK);

  press(WXK_RETURN);
  // Sent with the echo flag; the command path asks is_echo_allowed and
  // prints nothing.
  EXPECT_EQ(host.take(), calls{"command echo secret"});
  EXPECT_EQ(edit().command_history().command_count(), 0);
  EXPECT_EQ(value(), "");
  // The restyle after a send keeps the line hidden.
  EXPECT_EQ(edit().GetDefaultStyle().GetTextColour(), *wxBLACK);

  edit().leave_password_mode();
  EXPECT_TRUE(edit().is_echo_allowed());
  EXPECT_EQ(edit().GetDefaultStyle().GetTextColour(), *wxWHITE);
  send("look");
  EXPECT_EQ(edit().command_history().command_count(), 1);
}

TEST_F(input_window_test, PasswordIsNotLeftSelectedWithPushthrough) {
  host.logged_in = true;
  host.settings["cmd_pushthrough"] = true;
  edit().enter_password_mode();
  send("newpass");
  EXPECT_EQ(value(), "");
}

TEST_F(input_window_test, PushthroughKeepsTheSentCommandSelected) {
  host.logged_in = true;
  host.settings["cmd_pushthrough"] = true;
  edit().set_history_bank(2);
  send("look");
  send("north");
  EXPECT_EQ(value(), "north");
  long from = -1, to = -1;
  edit().GetSelection(&from, &to);
  EXPECT_EQ(from, 0);
  EXPECT_EQ(to, 5);
  // Up shows the command before the one still in the line.
  press(WXK_UP);
  EXPECT_EQ(value(), "look");

  edit().Clear();
  send("east");
  press(WXK_HOME);
  edit().GetSelection(&from, &to);
  EXPECT_EQ(from, to);
  EXPECT_EQ(edit().GetInsertionPoint(), 0);
  EXPECT_EQ(value(), "east");
}

TEST_F(input_window_test, HoldingKeypad8WalksOnce) {
  host.settings["keypad_walking"] = true;
  host.main_locked = true;
  EXPECT_FALSE(press(WXK_NUMPAD8));
  EXPECT_FALSE(press(WXK_NUMPAD8));
  EXPECT_FALSE(press(WXK_NUMPAD8));
  EXPECT_EQ(host.take(), (calls{"follow", "command echo north"}));
  release(WXK_NUMPAD8);
  press(WXK_NUMPAD8);
  EXPECT_EQ(host.take(), calls{"command echo north"});
  EXPECT_EQ(value(), "");
}

TEST_F(input_window_test, CtrlCWithNothingSelectedSendsTheBreakByte) {
  type("half");
  press('C', ctrl);
  EXPECT_EQ(host.take(), (calls{"line \x03", "follow"}));
  EXPECT_EQ(value(), "");
}

TEST_F(input_window_test, CtrlCWithAMainPaneSelectionOnlyClearsIt) {
  host.main_selection = true;
  type("half");
  press('C', ctrl);
  EXPECT_EQ(host.take(), calls{"clear main selection"});
  EXPECT_EQ(value(), "");
}

TEST_F(input_window_test, CtrlBackslashSendsTheAbortByte) {
  press('\\', ctrl);
  EXPECT_EQ(host.take(), (calls{"line \x1a", "follow"}));
}

TEST_F(input_window_test, CtrlCCopiesTheSelectionAndCtrlVPastesIt) {
  type("hello world");
  edit().SetSelection(0, 5);
  press('C', ctrl);
  release('C');
  EXPECT_TRUE(host.take().empty());
  EXPECT_EQ(value(), "hello world");
  long from = -1, to = -1;
  edit().GetSelection(&from, &to);
  EXPECT_EQ(from, to);
  std::string copied;
  ASSERT_TRUE(get_clipboard_data(copied));
  EXPECT_EQ(copied, "hello");

  // Over a selection, the paste replaces it.
  edit().SetSelection(6, 11);
  press('V', ctrl);
  release('V');
  EXPECT_EQ(value(), "hello hello");
  // Without one, it goes in at the caret.
  edit().SetInsertionPoint(0);
  press('V', ctrl | shift);
  EXPECT_EQ(value(), "hellohello hello");
}

TEST_F(input_window_test, PasteEventUsesThePrimarySelection) {
  ASSERT_TRUE(set_clipboard_data("caf\xe9"));
  wxClipboardTextEvent event(wxEVT_TEXT_PASTE, edit().GetId());
  edit().on_paste(event);
  EXPECT_EQ(edit().GetValue(), wxString::FromUTF8("caf\xc3\xa9"));
}

TEST_F(input_window_test, EscapeClearsTheLineAndBothSelections) {
  type("half");
  press(WXK_ESCAPE);
  EXPECT_EQ(host.take(), (calls{"clear main selection", "clear channel selection"}));
  EXPECT_EQ(value(), "");

  host.channel_locked = true;
  type("kept");
  press(WXK_ESCAPE);
  EXPECT_EQ(host.take(), calls{"channel follow"});
  EXPECT_EQ(value(), "kept");
}

TEST_F(input_window_test, FunctionKeysOnlyWhilePlaying) {
  EXPECT_FALSE(press(WXK_F3, shift));
  EXPECT_TRUE(host.take().empty());
  host.logged_in = true;
  press(WXK_F3, shift);
  release(WXK_F3);
  press(WXK_F10, ctrl);
  release(WXK_F10);
  EXPECT_EQ(host.take(), (calls{"command quiet sf03", "follow", "command quiet cf10", "follow"}));
  EXPECT_TRUE(press(WXK_F1, alt));
  EXPECT_TRUE(host.take().empty());
}

TEST_F(input_window_test, ShortcutsReachTheHost) {
  host.logged_in = true;
  const struct {
    int code;
    int modifiers;
    const char *call;
  } cases[] = {{'[', ctrl | shift, "step input_height -12"},
               {']', ctrl, "automap 1"},
               {'=', ctrl, "font 1"},
               {'-', ctrl | shift, "step channel_window_height -5"},
               {'4', ctrl, "popup 4"},
               {'9', ctrl | shift, "toggle mw_scrollbar_enable"},
               {'S', ctrl, "lock"}};
  for (const auto &c : cases) {
    press(c.code, c.modifiers);
    release(c.code);
    EXPECT_EQ(host.take(), calls{c.call}) << c.call;
  }
}

TEST_F(input_window_test, TypingReturnsToTheEndUnlessScrollbackLocks) {
  host.main_locked = true;
  EXPECT_TRUE(press('a'));
  EXPECT_EQ(host.take(), calls{"follow"});
  host.main_locked = true;
  host.settings["locking_scrollback_enable"] = true;
  EXPECT_TRUE(press('a'));
  EXPECT_TRUE(host.take().empty());
}

TEST_F(input_window_test, PagingKeysScrollTheMainPane) {
  press(WXK_PAGEUP);
  press(WXK_PAGEDOWN);
  press(WXK_DOWN, ctrl);
  EXPECT_EQ(host.take(), (calls{"lock", "page up", "page down", "lock", "page down"}));
}

TEST_F(input_window_test, WheelScrollsTheMainPaneThreeLines) {
  wheel(120);
  wheel(-120);
  EXPECT_EQ(host.take(), (calls{"lock", "scroll up 3", "lock", "scroll down 3"}));
}

TEST_F(input_window_test, ShowHistoryPrintsIntoTheMainPane) {
  edit().show_history();
  EXPECT_EQ(host.take(),
            (calls{"reset ansi", "print \n", "print \nRecent Command History:\n 1 - connect\n"}));
}

// The pane's own pixels: black inside, the pane frame on all four sides.
TEST_F(input_window_test, PaintsThePaneFrame) {
  pane->set_geometry(0, 0, 60, 20);
  const trel_bitmap &bitmap = pane->render();
  auto rgb = [&](int x, int y) {
    const uint8_t *p = bitmap.row(y) + x * 4;
    return std::vector<int>{p[0], p[1], p[2]};
  };
  const std::vector<int> white{255, 255, 255}, grey{128, 128, 128}, black{0, 0, 0};
  EXPECT_EQ(rgb(30, 0), white);  // top
  EXPECT_EQ(rgb(30, 19), white); // bottom
  EXPECT_EQ(rgb(0, 10), white);  // left, outer
  EXPECT_EQ(rgb(1, 10), grey);   // left, inner
  EXPECT_EQ(rgb(59, 10), white); // right, both lines
  EXPECT_EQ(rgb(58, 10), white);
  EXPECT_EQ(rgb(30, 10), black); // inside
}

TEST_F(input_window_test, FlashAlternatesTheFrameBetweenBlackAndWhite) {
  pane->flash();
  auto left_edge = [&] { return pane->render().row(10)[0]; };
  EXPECT_EQ(left_edge(), 0); // 16 steps to go: even, black
  for (int tick = 0; tick < 10; tick++)
    trel_embedded_window::animation_tick(20);
  EXPECT_EQ(left_edge(), 255); // 15: odd, white
  for (int tick = 0; tick < 150; tick++)
    trel_embedded_window::animation_tick(20);
  EXPECT_FALSE(trel_embedded_window::in_animation_list(pane));
  EXPECT_EQ(left_edge(), 255);
  EXPECT_EQ(pane->render().row(10)[4 + 0], 128); // the normal frame's grey inner line
}

} // namespace
