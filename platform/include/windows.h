#pragma once
// The one header through which the library reaches the platform: the subset of
// the Windows API that the library calls, with Windows' own names, types and
// constants. The stand-in behind it lives in platform/.

#include "win/gdi.h"
#include "win/kernel.h"
#include "win/types.h"
#include "win/user.h"
