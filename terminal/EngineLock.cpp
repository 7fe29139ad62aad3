#include "terminal/EngineLock.h"

std::mutex g_EngineLock;
