// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtimage/jpeg_reader.h"

#include <QColorSpace>
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

// jpeglib.h wants size_t and FILE declared before it.
#include <jerror.h>
#include <jpeglib.h>

#include "qtimage/exif_orientation.h"
#include "qtimage/picture_file.h"
#include "qtimage/shrink_on_load.h"
#include "qtimage/upright.h"

namespace orvane::qtimage {
namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return:
// it jumps back into readJpeg, which then refuses the picture with the message.
struct ErrorManager {
  jpeg_error_mgr base{};
  std::jmp_buf jump{};
  std::string message;
  bool cutShort = false;
};

[[noreturn]] void onError(j_common_ptr info) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  char text[JMSG_LENGTH_MAX] = {};
  (*info->err->format_message)(info, text);
  errors->message = text;
  std::longjmp(errors->jump, 1);
}

// Warnings are kept from the terminal; only a file cut short is remembered
// (libjpeg would fill the rest with grey and carry on).
void onMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) reinterpret_cast<ErrorManager*>(info->err)->cutShort = true;
}

// Everything the read touches after setjmp lives here, in memory that the
// jump back leaves as it was.
struct Session {
  jpeg_decompress_struct info{};
  ErrorManager errors;
  QImage image;
  std::vector<JSAMPROW> rows;
  int width = 0, height = 0;  // as stored, once the header is read
  ~Session() { jpeg_destroy_decompress(&info); }
};

// True once every component's DC coefficients are known to within their
// last bit: from then on an eighth-size output (one pixel per 8 x 8 block, the
// block's DC value) is what the whole file gives, short of that bit (a DC
// quantisation step of a few units is under one level of the 0..255 output).
// Progressive files send the DC values first, usually all but that last bit,
// and its refinement only after most of the detail.
bool dcKnown(const jpeg_decompress_struct& info) {
  if (info.coef_bits == nullptr) return false;
  for (int c = 0; c < info.num_components; ++c)
    if (info.coef_bits[c][0] < 0 || info.coef_bits[c][0] > 1) return false;
  return true;
}

std::optional<int> orientationOf(const jpeg_decompress_struct& info) {
  for (jpeg_saved_marker_ptr m = info.marker_list; m != nullptr; m = m->next)
    if (m->marker == JPEG_APP0 + 1) {
      const int o = exifOrientation({m->data, m->data_length});
      if (o != 1) return o;
    }
  return std::nullopt;
}

Error damaged(const std::string& why) {
  return {ErrorCode::PictureCorrupt, "the picture is damaged or cut short (" + why + ")"};
}

}  // namespace

std::optional<Result<DecodedPicture>> readJpeg(const std::uint8_t* bytes, std::size_t size,
                                               const convert::Framing& framing) {
  auto session = std::make_unique<Session>();
  jpeg_decompress_struct& info = session->info;
  info.err = jpeg_std_error(&session->errors.base);
  session->errors.base.error_exit = onError;
  session->errors.base.emit_message = onMessage;
  if (setjmp(session->errors.jump) != 0) {
    // Over the memory limit set below: a progressive file keeps every
    // coefficient of the picture until its last scan.
    const int code = session->errors.base.msg_code;
    if (code == JERR_OUT_OF_MEMORY || code == JERR_NO_BACKING_STORE)
      return session->width > 0 ? tooLargeToDecode(session->width, session->height)
                                : Error{ErrorCode::PictureTooLarge, "there is not enough memory to decode it"};
    return damaged(session->errors.message);
  }
  jpeg_create_decompress(&info);
  info.mem->max_memory_to_use = static_cast<long>(kAllocationLimitMiB) * 1024 * 1024;
  jpeg_mem_src(&info, bytes, static_cast<unsigned long>(size));
  jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);  // Exif
  jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);  // ICC profile
  jpeg_read_header(&info, TRUE);
  if (session->errors.cutShort) return damaged("Premature end of JPEG file");
  if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK)
    return std::nullopt;  // Qt's reader knows the inverted CMYK that most tools write
  if (info.image_width == 0 || info.image_height == 0)
    return Error{ErrorCode::PictureEmpty, "the picture has no pixels"};

  const int orientation = orientationOf(info).value_or(1);
  session->width = static_cast<int>(info.image_width);
  session->height = static_cast<int>(info.image_height);
  const int stored[2] = {session->width, session->height};
  const int k = shrinkFactor(stored[0], stored[1], turnsQuarter(orientation), framing);
  info.scale_num = 1;
  info.scale_denom = static_cast<unsigned>(k);
  info.out_color_space = JCS_EXT_RGBA;
  // A progressive file shrunk to an eighth needs no more than its DC scans.
  const bool dcOnly = k == 8 && jpeg_has_multiple_scans(&info);
  info.buffered_image = dcOnly ? TRUE : FALSE;
  jpeg_calc_output_dimensions(&info);
  if (!withinDecodeLimit(info.output_width, info.output_height, 4)) return tooLargeToDecode(stored[0], stored[1]);

  session->image =
      QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height), QImage::Format_RGBA8888);
  if (session->image.isNull()) return Error{ErrorCode::PictureTooLarge, "there is not enough memory to decode it"};
  jpeg_start_decompress(&info);
  if (dcOnly) {
    for (;;) {
      const int status = jpeg_consume_input(&info);
      if (status == JPEG_REACHED_EOI || status == JPEG_SUSPENDED) break;
      if (status == JPEG_SCAN_COMPLETED && dcKnown(info)) break;
    }
    jpeg_start_output(&info, info.input_scan_number);
  }
  session->rows.resize(info.output_height);
  for (JDIMENSION y = 0; y < info.output_height; ++y) session->rows[y] = session->image.scanLine(static_cast<int>(y));
  // Rows below the part the fit uses are neither decoded nor read (a crop of
  // a 4:3 photo leaves its bottom eighth out); they stay black. One row more
  // than the used part's last covers the area average's partial edge row.
  const int usedRows = storedRowsUsed(stored[0], stored[1], orientation, framing);
  const JDIMENSION decodedRows =
      std::min<JDIMENSION>(info.output_height, static_cast<JDIMENSION>((usedRows + k - 1) / k + 1));
  while (info.output_scanline < decodedRows)
    jpeg_read_scanlines(&info, &session->rows[info.output_scanline], decodedRows - info.output_scanline);
  if (session->errors.cutShort) return damaged("Premature end of JPEG file");
  for (JDIMENSION y = decodedRows; y < info.output_height; ++y)
    std::memset(session->rows[y], 0, static_cast<std::size_t>(session->image.bytesPerLine()));

  JOCTET* icc = nullptr;
  unsigned int iccLength = 0;
  if (jpeg_read_icc_profile(&info, &icc, &iccLength) && icc != nullptr) {
    session->image.setColorSpace(
        QColorSpace::fromIccProfile(QByteArray(reinterpret_cast<const char*>(icc), static_cast<qsizetype>(iccLength))));
    std::free(icc);
  }
  // The rest of the file is not needed (and with DC scans only, not read).
  jpeg_abort_decompress(&info);

  DecodedPicture decoded;
  decoded.upright = turnsQuarter(orientation) ? QSize(stored[1], stored[0]) : QSize(stored[0], stored[1]);
  decoded.image = turnedUpright(std::move(session->image), orientation);
  decoded.scaleX = decoded.scaleY = k;  // a pixel per k x k block, the last ones cut short
  return decoded;
}

}  // namespace orvane::qtimage
