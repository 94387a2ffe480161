// The process-wide configuration store: the character sets and the system
// configuration, loaded at start-up and shared by the whole client.
#pragma once
#include "config/config_store.h"

trel_config_store &app_config();
