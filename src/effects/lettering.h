// The stroke font now lives in effects/shared/; this path stays for the effect kit, which includes it here.
#pragma once

#include "effects/shared/lettering.h"
