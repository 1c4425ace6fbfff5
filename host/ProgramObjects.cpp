#include "host/ProgramObjects.h"

VELTAAppConfig appConfig;
VELTAServerController serverController;
VELTANavigationController navController;
