#include "HostApp.h"

wxIMPLEMENT_APP(HostApp);
