// SPDX-License-Identifier: GPL-3.0-or-later
#include "workflow/startup.h"

#include "display/palette.h"
#include "orvane/version.h"
#include "shell/tags.h"

namespace orvane {

std::string titleLine() { return "Orvane v" + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor); }

std::string creditLine() { return "Scene previews, found and replaced. Written by the Orvane developers."; }

void Form_Load(Core& core) {
  core.logline(titleLine(), tag::About);
  core.logline(creditLine(), tag::About);
  core.bars.barstate(kIdle);
  core.bars.setbar(5, 5);
  core.bars.setbar2(5, 5);
  load_pal1(core);
}

}  // namespace orvane
