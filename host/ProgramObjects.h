#pragma once

#include "config/VELTAAppConfig.h"
#include "navigation/VELTANavigationController.h"
#include "server/VELTAServerController.h"

// The program-wide objects, constructed in this order before the application
// object and destroyed in reverse order after it.
extern VELTAAppConfig appConfig;
extern VELTAServerController serverController;
extern VELTANavigationController navController;
