#pragma once

#include "VELTAAppConfig.h"
#include "VELTANavigationController.h"
#include "VELTAServerController.h"

// The program-wide objects, constructed in this order before the application
// object and destroyed in reverse order after it.
extern VELTAAppConfig appConfig;
extern VELTAServerController serverController;
extern VELTANavigationController navController;
