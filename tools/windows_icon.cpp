// SPDX-License-Identifier: GPL-3.0-or-later
// Draws data/orvane.svg at the sizes Windows asks for and writes them as one
// .ico (each size a PNG, which Windows reads from Vista on):
//   orvane-windows-icon data/orvane.svg data/orvane.ico
// The Windows build takes its program icon from the .ico this writes.
#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace {

void put16(QByteArray& out, int value) {
  out.append(static_cast<char>(value & 0xFF));
  out.append(static_cast<char>((value >> 8) & 0xFF));
}

void put32(QByteArray& out, qint64 value) {
  put16(out, static_cast<int>(value & 0xFFFF));
  put16(out, static_cast<int>((value >> 16) & 0xFFFF));
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fputs("usage: orvane-windows-icon ICON.svg ICON.ico\n", stderr);
    return 2;
  }
  QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
  if (!svg.isValid()) {
    std::fprintf(stderr, "orvane-windows-icon: cannot read %s\n", argv[1]);
    return 1;
  }
  const int sizes[] = {16, 24, 32, 48, 64, 256};
  QList<QByteArray> pngs;
  for (const int size : sizes) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    pngs << png;
  }
  QByteArray ico;
  put16(ico, 0);  // reserved
  put16(ico, 1);  // an icon, not a cursor
  put16(ico, static_cast<int>(pngs.size()));
  qint64 offset = 6 + 16 * pngs.size();
  for (qsizetype i = 0; i < pngs.size(); ++i) {
    const int size = sizes[i];
    ico.append(static_cast<char>(size >= 256 ? 0 : size));  // 0 stands for 256
    ico.append(static_cast<char>(size >= 256 ? 0 : size));
    ico.append('\0');  // no colour table
    ico.append('\0');
    put16(ico, 1);   // planes
    put16(ico, 32);  // bits per pixel
    put32(ico, pngs[i].size());
    put32(ico, offset);
    offset += pngs[i].size();
  }
  for (const QByteArray& png : pngs) ico.append(png);
  QFile out(QString::fromLocal8Bit(argv[2]));
  if (!out.open(QIODevice::WriteOnly) || out.write(ico) != ico.size()) {
    std::fprintf(stderr, "orvane-windows-icon: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
