// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A Host that records every call, for checking what the logic asked of the window.
#include <string>
#include <vector>

#include "shell/host.h"

namespace orvane::testing {

struct BarCall {
  BarId bar;
  BarLook look;
};
struct BoxCall {
  std::string text, title;
  BoxIcon icon;
};
struct GridPaint {
  int x, y;
  Picture picture;
};

class FakeHost : public Host {
 public:
  void logAppended(std::string_view line) override {
    lines.emplace_back(line);
    events.push_back("log:" + std::string(line.substr(0, line.size() >= 2 ? line.size() - 2 : 0)));
  }
  void barChanged(BarId bar, const BarLook& look) override {
    bars.push_back({bar, look});
    events.push_back(bar == BarId::Shape1 ? "bar1:" + std::to_string(look.widthTwips)
                                          : "bar3:" + std::to_string(look.widthTwips));
  }
  void repaintNow() override {
    ++repaints;
    events.emplace_back("repaint");
  }
  void messageBox(std::string_view text, std::string_view title, BoxIcon icon) override {
    boxes.push_back({std::string(text), std::string(title), icon});
    events.push_back("box:" + std::string(title) + ":" + std::string(text));
  }
  void setPageMaximum(int maximum) override {
    pageMaximum = maximum;
    events.push_back("pagemax:" + std::to_string(maximum));
  }
  int pageValue() const override { return page; }
  void clearGrid() override {
    grid.clear();
    events.emplace_back("cleargrid");
  }
  void paintGridPicture(int x, int y, const Picture& picture) override {
    grid.push_back({x, y, picture});
    events.push_back("draw:" + std::to_string(x) + "," + std::to_string(y));
  }
  void paintBufferPicture(const Picture& picture) override {
    buffer = picture;
    ++bufferPaints;
    events.emplace_back("draw1");
  }

  std::vector<std::string> lines;   // each with its CR LF
  std::vector<std::string> events;  // everything, in call order
  std::vector<BarCall> bars;
  std::vector<BoxCall> boxes;
  std::vector<GridPaint> grid;
  Picture buffer{};
  int bufferPaints = 0;
  int repaints = 0;
  int pageMaximum = 0;
  int page = 0;  // what the page bar reports
};

}  // namespace orvane::testing
