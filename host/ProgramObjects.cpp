#include "ProgramObjects.h"

VELTAAppConfig appConfig;
