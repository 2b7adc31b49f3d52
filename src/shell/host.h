// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Everything the logic needs of the window, in one narrow interface. The Qt
// window implements it; the command-line companion and the tests provide their
// own (the tests a recording fake).
#include <cstdint>
#include <string_view>

#include "shell/picture.h"

namespace orvane {

enum class BarId { Shape1, Shape3 };  // upper (scan) and lower (extraction) bar
enum class BoxIcon { None, Information, Critical };

struct BarLook {
  double widthTwips = 0;           // never negative
  std::uint32_t borderColour = 0;  // packed 0x00BBGGRR
  std::uint32_t fillColour = 0;
};

class Host {
 public:
  virtual ~Host() = default;

  // One complete log line (tag, colon, message, CR LF) was appended to the log.
  virtual void logAppended(std::string_view line) = 0;
  // A bar's width or colours changed; shown at the next repaint.
  virtual void barChanged(BarId bar, const BarLook& look) = 0;
  // Repaint the main window now, although the caller keeps the thread busy.
  virtual void repaintNow() = 0;
  // A modal box; returns when the user has closed it. An empty title means the
  // application's title.
  virtual void messageBox(std::string_view text, std::string_view title, BoxIcon icon) = 0;

  // The page scroll bar: its maximum may be set to -1 for a movie without previews.
  virtual void setPageMaximum(int maximum) = 0;
  virtual int pageValue() const = 0;

  // The preview grid and the picture-buffer view.
  virtual void clearGrid() = 0;
  virtual void paintGridPicture(int x, int y, const Picture& picture) = 0;
  virtual void paintBufferPicture(const Picture& picture) = 0;
};

// A window that shows nothing: the base of hosts without one (the command-line
// companion, benchmarks), which override only what they report.
class NullHost : public Host {
 public:
  void logAppended(std::string_view) override {}
  void barChanged(BarId, const BarLook&) override {}
  void repaintNow() override {}
  void messageBox(std::string_view, std::string_view, BoxIcon) override {}
  void setPageMaximum(int) override {}
  int pageValue() const override { return 0; }
  void clearGrid() override {}
  void paintGridPicture(int, int, const Picture&) override {}
  void paintBufferPicture(const Picture&) override {}
};

}  // namespace orvane
