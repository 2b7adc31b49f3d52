// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Orvane's icon, drawn from the same SVG file that is installed for the
// desktop, at the sizes window managers and task bars ask for.
#include <QIcon>

QIcon orvaneIcon();
