// Start-up and shutdown of the real client under X.
#include "e2e/harness.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace e2e;

TEST(Boot, ShowsQuenmarWindowAndCreatesConfigDirectory) {
  temp_dir home;
  x_display x;
  ASSERT_TRUE(x.ok()) << "no X display";
  client_process client(home.path());
  unsigned long window = 0;
  ASSERT_TRUE(wait_until([&] { return (window = x.find_window(client.pid(), "Quenmar")) != 0; },
                         3000))
      << "no window titled Quenmar within 3 seconds";
  int width = 0, height = 0;
  ASSERT_TRUE(x.window_size(window, &width, &height));
  EXPECT_EQ(width, 984);
  EXPECT_EQ(height, 728);

  struct stat st;
  ASSERT_EQ(stat((home.path() + "/.Quenmar").c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  x.request_close(window);
  ASSERT_TRUE(client.wait_exit(10000)) << "close request did not end the client";
  EXPECT_EQ(client.exit_status(), 0);
}

TEST(Boot, WithoutHomeExitsWithStatusOneAndNoWindow) {
  debug_log_tail log;
  x_display x;
  ASSERT_TRUE(x.ok());
  client_process client("");
  bool window_seen = false;
  ASSERT_TRUE(client.wait_exit(10000));
  window_seen = x.find_window(client.pid(), "Quenmar") != 0;
  EXPECT_EQ(client.exit_status(), 1);
  EXPECT_FALSE(window_seen);
  EXPECT_NE(log.added().find("Boot failed, unable to get at system config directory.\n"),
            std::string::npos)
      << "debug log got: " << log.added();
}
