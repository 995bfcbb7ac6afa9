#include "base/module_instance.h"

HINSTANCE g_hInstance = nullptr;
