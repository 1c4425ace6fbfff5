#pragma once

#include "VELTAAppConfig.h"

// The program-wide objects, constructed in this order before the application
// object and destroyed in reverse order after it.
extern VELTAAppConfig appConfig;
