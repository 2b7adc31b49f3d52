// SPDX-License-Identifier: GPL-3.0-or-later
// The window reaching past the workflow into the journal: refused by the build.
#include "replace/journal.h"
