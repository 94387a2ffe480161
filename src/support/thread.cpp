// Detached thread start and a millisecond sleep.
#include "support/thread.h"

#include <ctime>
#include <new>
#include <pthread.h>

#include "support/debug_log.h"

namespace {

struct thread_start {
  void (*function)(void *);
  void *argument;
};

void *run_thread(void *raw) {
  thread_start start = *static_cast<thread_start *>(raw);
  delete static_cast<thread_start *>(raw);
  start.function(start.argument);
  return nullptr;
}

} // namespace

int trel_thread_create(const char * /*name*/, void (*function)(void *argument), void *argument) {
  thread_start *start = function ? new (std::nothrow) thread_start{function, argument} : nullptr;
  pthread_attr_t attributes;
  bool attributes_ready = start && pthread_attr_init(&attributes) == 0;
  bool started = false;
  if (attributes_ready) {
    pthread_t thread;
    started = pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED) == 0 &&
              pthread_create(&thread, &attributes, run_thread, start) == 0;
    pthread_attr_destroy(&attributes);
  }
  if (!started) {
    delete start;
    trel_report("Error in trel_thread_create(), thread create failed?", TREL_REPORT_ERROR,
                TREL_SOURCE_THREAD);
    return 0;
  }
  return 1;
}

void trel_sleep_ms(int milliseconds) {
  if (milliseconds <= 0)
    return;
  timespec wait;
  wait.tv_sec = milliseconds / 1000;
  wait.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
  nanosleep(&wait, nullptr);
}
