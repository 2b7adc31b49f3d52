// SPDX-License-Identifier: GPL-3.0-or-later
// The command line reaching into the window: refused by the build.
#include "app/form1.h"
