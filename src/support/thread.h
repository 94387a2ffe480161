// Detached thread start and a millisecond sleep.
#pragma once

// Starts a detached thread running function(argument); 1 on success, 0 when
// the thread cannot be created (reported). The name is for the caller's messages.
int trel_thread_create(const char *name, void (*function)(void *argument), void *argument);

// Sleeps once for the given milliseconds; a signal may end it early.
void trel_sleep_ms(int milliseconds);
