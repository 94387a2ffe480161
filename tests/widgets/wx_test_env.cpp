// Starts the toolkit once for a pane test program (fonts, toolkit bitmaps,
// panes); such programs run under an X server (Xvfb).

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/init.h>

namespace {

class test_app : public wxApp {
public:
  bool OnInit() override { return true; }
};

class toolkit_environment : public testing::Environment {
public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "pane_test";
    static char *argv[] = {name, nullptr};
    wxApp::SetInstance(new test_app);
    ASSERT_TRUE(wxEntryStart(argc, argv)) << "the toolkit did not start: no X display?";
    ASSERT_TRUE(wxTheApp->CallOnInit());
  }
  void TearDown() override {
    wxTheApp->OnExit();
    wxEntryCleanup();
  }
};

testing::Environment *const environment =
    testing::AddGlobalTestEnvironment(new toolkit_environment);

} // namespace
