#include "NoInterfacePlugin.h"
