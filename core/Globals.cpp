#include "Globals.h"

Globals globals;
