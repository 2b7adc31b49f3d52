// SPDX-License-Identifier: GPL-3.0-or-later
// The command line reaching past the workflow into the writer: refused by the build.
#include "replace/scene_writer.h"
