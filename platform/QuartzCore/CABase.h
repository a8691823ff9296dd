#pragma once

#include "CoreGraphics/CGBase.h"

// Seconds, as the platform's media timing counts them.
using CFTimeInterval = double;
