#include "terminal/loop/EngineLock.h"

std::mutex g_EngineLock;
