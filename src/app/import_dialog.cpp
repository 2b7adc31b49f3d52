// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/import_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>
#include <cmath>

#include "convert/palette_matcher.h"
#include "qtimage/picture_file.h"

using namespace orvane::convert;

namespace {

// The picture is shown and previewed from a copy at most this long each way:
// enough for a preview of a frame down to a ninth of a 6000-pixel photo.
constexpr int kReducedSide = 1600;
constexpr int kHandle = 7;  // half a corner handle's side, view pixels

QImage indexImage(const orvane::IndexPicture& picture, const std::vector<Rgb8>& colours) {
  QImage image(kTargetWidth, kTargetHeight, QImage::Format_RGB32);
  for (int y = 0; y < kTargetHeight; ++y)
    for (int x = 0; x < kTargetWidth; ++x) {
      const Rgb8 c = colours[picture.at(x, y)];
      image.setPixel(x, y, qRgb(c.r, c.g, c.b));
    }
  return image;
}

}  // namespace

// ---- the frame view ---------------------------------------------------------

FrameView::FrameView(QWidget* parent, QImage picture, int fullWidth, int fullHeight)
    : QWidget(parent),
      picture_(std::move(picture)),
      fullWidth_(fullWidth),
      fullHeight_(fullHeight),
      frame_(fullFrame(fullWidth, fullHeight)) {
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(480, 300);
  setMouseTracking(true);
  setAccessibleName("Picture and frame");
}

ViewMapping FrameView::mapping() const { return ViewMapping::fitting(fullWidth_, fullHeight_, width(), height()); }

void FrameView::setFrame(const PictureRect& frame) { moveTo(frame); }

void FrameView::setFrameShown(bool shown) {
  shown_ = shown;
  QWidget::update();
}

void FrameView::moveTo(const PictureRect& frame) {
  if (frame == frame_) return;
  frame_ = frame;
  QWidget::update();
  if (changed) changed();
}

void FrameView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Dark));
  const ViewMapping m = mapping();
  const QRectF whole(m.left, m.top, fullWidth_ * m.scale, fullHeight_ * m.scale);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(whole, picture_);
  if (!shown_) return;
  const SourceRect f = m.toView(frame_);
  const QRectF inner(f.x, f.y, f.width, f.height);
  // Outside the frame darkened, the frame itself outlined, a handle on each corner.
  QPainterPath outside;
  outside.addRect(whole);
  outside.addRect(inner);
  painter.fillPath(outside, QColor(0, 0, 0, 140));
  painter.setPen(QPen(Qt::white, 1.5));
  painter.drawRect(inner);
  if (hasFocus()) {
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DashLine));
    painter.drawRect(inner.adjusted(-3, -3, 3, 3));
  }
  painter.setPen(Qt::black);
  painter.setBrush(Qt::white);
  for (const QPointF& c : {inner.topLeft(), inner.topRight(), inner.bottomLeft(), inner.bottomRight()})
    painter.drawRect(QRectF(c.x() - kHandle, c.y() - kHandle, 2 * kHandle, 2 * kHandle));
}

void FrameView::keyPressEvent(QKeyEvent* event) {
  if (!shown_) return QWidget::keyPressEvent(event);
  // A step of a sixty-fourth of the frame, with Shift an eighth; at least a pixel.
  const int step = std::max(1, frame_.width / ((event->modifiers() & Qt::ShiftModifier) ? 8 : 64));
  switch (event->key()) {
    case Qt::Key_Left: return moveTo(moveFrame(frame_, -step, 0, fullWidth_, fullHeight_));
    case Qt::Key_Right: return moveTo(moveFrame(frame_, step, 0, fullWidth_, fullHeight_));
    case Qt::Key_Up: return moveTo(moveFrame(frame_, 0, -step, fullWidth_, fullHeight_));
    case Qt::Key_Down: return moveTo(moveFrame(frame_, 0, step, fullWidth_, fullHeight_));
    case Qt::Key_Plus:
    case Qt::Key_Equal: return moveTo(scaleFrame(frame_, 1.0625, fullWidth_, fullHeight_));
    case Qt::Key_Minus: return moveTo(scaleFrame(frame_, 1 / 1.0625, fullWidth_, fullHeight_));
    default: QWidget::keyPressEvent(event);
  }
}

void FrameView::mousePressEvent(QMouseEvent* event) {
  if (!shown_ || event->button() != Qt::LeftButton) return;
  const ViewMapping m = mapping();
  const SourceRect f = m.toView(frame_);
  const QPointF p = event->position();
  // A corner grabbed resizes round the opposite one; inside the frame, a drag moves it.
  const double xs[2] = {f.x, f.x + f.width}, ys[2] = {f.y, f.y + f.height};
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j)
      if (std::abs(p.x() - xs[i]) <= kHandle + 2 && std::abs(p.y() - ys[j]) <= kHandle + 2) {
        drag_ = Drag::Corner;
        anchorX_ = i == 0 ? frame_.x + frame_.width : frame_.x;
        anchorY_ = j == 0 ? frame_.y + frame_.height : frame_.y;
        return;
      }
  if (QRectF(f.x, f.y, f.width, f.height).contains(p)) {
    drag_ = Drag::Move;
    grabX_ = m.toPictureX(p.x());
    grabY_ = m.toPictureY(p.y());
    grabbed_ = frame_;
    setCursor(Qt::ClosedHandCursor);
  }
}

void FrameView::mouseMoveEvent(QMouseEvent* event) {
  const ViewMapping m = mapping();
  const double x = m.toPictureX(event->position().x()), y = m.toPictureY(event->position().y());
  if (drag_ == Drag::Move)
    moveTo(moveFrame(grabbed_, static_cast<int>(std::lround(x - grabX_)), static_cast<int>(std::lround(y - grabY_)),
                     fullWidth_, fullHeight_));
  else if (drag_ == Drag::Corner)
    moveTo(frameFromCorner(anchorX_, anchorY_, x, y, fullWidth_, fullHeight_));
}

void FrameView::mouseReleaseEvent(QMouseEvent*) {
  drag_ = Drag::None;
  unsetCursor();
}

void FrameView::wheelEvent(QWheelEvent* event) {
  if (!shown_) return;
  const int notches = event->angleDelta().y() / 120;
  if (notches != 0) moveTo(scaleFrame(frame_, std::pow(1.0625, notches), fullWidth_, fullHeight_));
  event->accept();
}

// ---- the dialog -------------------------------------------------------------

ImportDialog::ImportDialog(QWidget* parent, const QString& path, std::vector<Rgb8> colours)
    : QDialog(parent), colours_(std::move(colours)), matcher_(std::make_shared<PaletteMatcher>(colours_)) {
  setWindowTitle("Import Picture");
  QImageReader reader(path);
  reader.setAutoTransform(true);
  reader.setAllocationLimit(orvane::qtimage::kAllocationLimitMiB);
  // A large JPEG is decoded reduced straight away (the size asked for is the stored one's, before turning).
  const QSize stored = reader.size();
  if (stored.isValid() && (stored.width() > 2 * kReducedSide || stored.height() > 2 * kReducedSide))
    reader.setScaledSize(stored.scaled(2 * kReducedSide, 2 * kReducedSide, Qt::KeepAspectRatio));
  QImage picture = reader.read();
  if (picture.isNull()) return;
  const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
  const QSize upright = !stored.isValid() ? picture.size() : turned ? stored.transposed() : stored;
  fullWidth_ = upright.width();
  fullHeight_ = upright.height();
  if (picture.width() > kReducedSide || picture.height() > kReducedSide)
    picture = picture.scaled(kReducedSide, kReducedSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  reduced_ = picture.convertToFormat(QImage::Format_RGBA8888);

  view_ = new FrameView(this, reduced_, fullWidth_, fullHeight_);
  auto* help =
      new QLabel(QString::fromUtf8("Move the frame by dragging it or with the arrow keys (Shift: bigger "
                                   "steps); resize it by dragging a corner, with the wheel or with + and \u2212."),
                 this);
  help->setWordWrap(true);

  fit_ = new QComboBox(this);
  fit_->addItem("Crop to the frame", QVariant::fromValue(static_cast<int>(FitMode::Crop)));
  fit_->addItem("Pad the whole picture", QVariant::fromValue(static_cast<int>(FitMode::Pad)));
  fit_->addItem("Stretch the whole picture", QVariant::fromValue(static_cast<int>(FitMode::Stretch)));
  dither_ = new QComboBox(this);
  dither_->addItem(QString::fromUtf8("Floyd\u2013Steinberg"),
                   QVariant::fromValue(static_cast<int>(Dither::FloydSteinberg)));
  dither_->addItem("None", QVariant::fromValue(static_cast<int>(Dither::None)));
  auto* choices = new QFormLayout;
  choices->addRow("&Fit:", fit_);
  choices->addRow("&Dithering:", dither_);

  preview1_ = new QLabel(this);
  preview1_->setFixedSize(kTargetWidth, kTargetHeight);
  preview3_ = new QLabel(this);
  preview3_->setFixedSize(3 * kTargetWidth, 3 * kTargetHeight);
  auto* small = new QVBoxLayout;
  small->addLayout(choices);
  small->addSpacing(8);
  small->addWidget(new QLabel(QString::fromUtf8("Preview, 1\u00d7:"), this));
  small->addWidget(preview1_);
  small->addStretch();
  auto* previews = new QHBoxLayout;
  previews->addLayout(small);
  auto* large = new QVBoxLayout;
  large->addWidget(new QLabel(QString::fromUtf8("3\u00d7:"), this));
  large->addWidget(preview3_);
  previews->addLayout(large);

  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view_, 1);
  layout->addWidget(help);
  layout->addLayout(previews);
  layout->addWidget(buttons_);
  resize(620, 760);

  view_->changed = [this] { schedulePreview(); };
  connect(fit_, &QComboBox::currentIndexChanged, this, [this] {
    view_->setFrameShown(options().framing.fit == FitMode::Crop);
    schedulePreview();
  });
  connect(dither_, &QComboBox::currentIndexChanged, this, &ImportDialog::schedulePreview);
  view_->setFocus();
  schedulePreview();
}

ImportDialog::~ImportDialog() {
  if (worker_) {
    worker_->wait();
    delete worker_;
  }
}

ConvertOptions ImportDialog::options() const {
  ConvertOptions options;
  if (!view_) return options;
  options.framing.fit = static_cast<FitMode>(fit_->currentData().toInt());
  options.dither = static_cast<Dither>(dither_->currentData().toInt());
  if (options.framing.fit == FitMode::Crop && view_->frame() != fullFrame(fullWidth_, fullHeight_))
    options.framing.crop = view_->frame();
  return options;
}

void ImportDialog::schedulePreview() {
  ++wanted_;
  if (!worker_) startPreview();
}

// One preview at a time: when it is done and the frame has moved since, the
// next starts from the newest frame; the ones in between are never computed.
void ImportDialog::startPreview() {
  const int request = wanted_;
  const ConvertOptions asked = options();
  auto result = std::make_shared<orvane::Result<Conversion>>(orvane::Error{orvane::ErrorCode::PictureEmpty, ""});
  worker_ = QThread::create([picture = reduced_, asked, matcher = matcher_, result, w = fullWidth_, h = fullHeight_] {
    SourcePicture source;
    source.width = picture.width();
    source.height = picture.height();
    source.stride = picture.bytesPerLine();
    source.pixels = picture.constBits();
    source.fullWidth = w;
    source.fullHeight = h;
    *result = convertPicture(source, *matcher, asked);
  });
  connect(worker_, &QThread::finished, this, [this, request, asked, result] {
    worker_->wait();
    worker_->deleteLater();
    worker_ = nullptr;
    if (request != wanted_) return startPreview();
    if (!*result) return;
    const QImage image = indexImage((*result)->picture, colours_);
    preview1_->setPixmap(QPixmap::fromImage(image));
    preview3_->setPixmap(QPixmap::fromImage(image.scaled(3 * kTargetWidth, 3 * kTargetHeight)));
    previewed_ = asked;
    emit previewShown();
  });
  worker_->start();
}
