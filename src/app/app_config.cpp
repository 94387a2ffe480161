// The one configuration store of the process.
#include "app/app_config.h"

trel_config_store &app_config() {
  static trel_config_store store;
  return store;
}
