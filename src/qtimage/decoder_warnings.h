// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keeps the warnings that Qt's image readers and the libraries under them
// print (a PNG's "iCCP: known incorrect sRGB profile", a JPEG's extraneous
// bytes) off the user's terminal while a picture is read: the reader says
// itself what it refuses, and a picture it accepts needs no remark.

namespace orvane::qtimage {

// While one lives, Qt's debug, info and warning messages from this thread are
// dropped, unless showDecoderWarnings(true) let them through. Messages of
// other threads and graver ones pass to the handler that was there before.
class DecoderWarningsHeld {
 public:
  DecoderWarningsHeld();
  ~DecoderWarningsHeld();
  DecoderWarningsHeld(const DecoderWarningsHeld&) = delete;
  DecoderWarningsHeld& operator=(const DecoderWarningsHeld&) = delete;

 private:
  bool outer_;
};

}  // namespace orvane::qtimage
