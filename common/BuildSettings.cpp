#include "common/BuildSettings.h"

BuildSettings g_BuildSettings;
