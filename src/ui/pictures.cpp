#include "ui/pictures.h"

#include <sys/mman.h>

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

#include "toolkit/description.h"

namespace ui {
namespace {

struct Mapping {
  void* memory;
  size_t size;
};

// An image of 32 bits per pixel whose memory is mapped and made present in
// one go. Drawing writes every page of a picture, and the first write to a
// page of fresh memory costs a fault of its own: on a virtual machine some
// 20 µs each, 6 ms for the background, against a small part of that for
// the whole mapping at once.
QImage PresentImage(int width, int height, QImage::Format format) {
  const qsizetype stride = static_cast<qsizetype>(width) * 4;
  const size_t size = static_cast<size_t>(stride) * static_cast<size_t>(height);
  void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  if (memory == MAP_FAILED) return QImage(width, height, format);
  return QImage(
      static_cast<uchar*>(memory), width, height, stride, format,
      [](void* info) {
        auto* mapping = static_cast<Mapping*>(info);
        munmap(mapping->memory, mapping->size);
        delete mapping;
      },
      new Mapping{memory, size});
}

// Pictures are drawn in the formats that the raster engine paints fastest and
// the screen takes without a conversion: RGB32 for opaque ones,
// premultiplied ARGB32 for the transparent icons. Anti-aliased lines on a
// 24-bit image cost twenty times as much, and converting a picture of this
// size at paint time would start Qt's thread pool.
QImage NewImage(int width, int height, QColor fill, QImage::Format format = QImage::Format_RGB32) {
  QImage image = PresentImage(width, height, format);
  image.fill(fill);
  return image;
}

void ArrowHead(QPainter& p, QPointF tip, QPointF direction) {
  // A small filled triangle pointing along direction.
  const double len = std::hypot(direction.x(), direction.y());
  const QPointF d(direction.x() / len, direction.y() / len);
  const QPointF n(-d.y(), d.x());
  const QPointF back = tip - d * 9;
  QPolygonF tri;
  tri << tip << back + n * 4 << back - n * 4;
  p.setBrush(Qt::black);
  p.drawPolygon(tri);
  p.setBrush(Qt::NoBrush);
}

}  // namespace

QImage DrawChart(int mode) {
  const int width = mode == 0 ? 447 : 393;
  const int height = 224;
  QImage image = NewImage(width, height, Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);

  const double x_min = 48, x_max = width - 48, x_zero = width / 2.0;
  const double y_axis = 190;                   // the weight axis: 0 mA
  const double per_ma = (y_axis - 34) / 20.0;  // 20 mA lies at y 34
  auto y_of = [&](double ma) { return y_axis - ma * per_ma; };

  QFont font("Liberation Sans");
  font.setPixelSize(12);
  p.setFont(font);

  // Dotted guides at the current marks and at -max and +max.
  QPen dotted(QColor(110, 110, 110), 1, Qt::DotLine);
  p.setPen(dotted);
  for (double ma : {4.0, 12.0, 20.0})
    p.drawLine(QPointF(x_min - 8, y_of(ma)), QPointF(x_max + 8, y_of(ma)));
  p.drawLine(QPointF(x_min, y_axis), QPointF(x_min, y_of(20) - 4));
  p.drawLine(QPointF(x_max, y_axis), QPointF(x_max, y_of(20) - 4));

  // Axes with arrow heads: weight both ways, current upwards.
  QPen axis(Qt::black, 1.5);
  p.setPen(axis);
  p.drawLine(QPointF(10, y_axis), QPointF(width - 10, y_axis));
  ArrowHead(p, QPointF(width - 8, y_axis), QPointF(1, 0));
  ArrowHead(p, QPointF(8, y_axis), QPointF(-1, 0));
  p.drawLine(QPointF(x_zero, y_axis + 6), QPointF(x_zero, 12));
  ArrowHead(p, QPointF(x_zero, 8), QPointF(0, -1));

  // Labels.
  p.setPen(Qt::black);
  p.drawText(QRectF(x_min - 30, y_axis + 6, 60, 16), Qt::AlignHCenter | Qt::AlignTop, "-max");
  p.drawText(QRectF(x_zero - 20, y_axis + 6, 40, 16), Qt::AlignHCenter | Qt::AlignTop, "0");
  p.drawText(QRectF(x_max - 30, y_axis + 6, 60, 16), Qt::AlignHCenter | Qt::AlignTop, "+max");
  p.drawText(QRectF(x_zero + 8, 2, 80, 16), Qt::AlignLeft | Qt::AlignTop, "I [mA]");
  for (int ma : {4, 12, 20}) {
    p.drawLine(QPointF(x_zero - 4, y_of(ma)), QPointF(x_zero + 4, y_of(ma)));
    // 4 sits below its mark, clear of the lines that start or meet there.
    const double top = ma == 4 ? y_of(ma) + 3 : y_of(ma) - 15;
    p.drawText(QRectF(x_zero - 32, top, 26, 14), Qt::AlignRight | Qt::AlignVCenter,
               QString::number(ma));
  }

  // The characteristic.
  QPolygonF line;
  switch (mode) {
    case 1:
      line << QPointF(x_min, y_of(20)) << QPointF(x_zero, y_of(4)) << QPointF(x_max, y_of(20));
      break;
    case 2:
      line << QPointF(x_min, y_of(4)) << QPointF(x_zero, y_of(4)) << QPointF(x_max, y_of(20));
      break;
    default:
      line << QPointF(x_min, y_of(4)) << QPointF(x_zero, y_of(12)) << QPointF(x_max, y_of(20));
      break;
  }
  QPen green(QColor(0, 160, 0), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(green);
  p.drawPolyline(line);
  return image;
}

QImage DrawExclamationIcon() {
  QImage image = NewImage(32, 32, Qt::transparent, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(QColor(120, 0, 0), 1));
  p.setBrush(QColor(220, 20, 20));
  QPainterPath bar;
  bar.moveTo(12, 3);
  bar.lineTo(20, 3);
  bar.lineTo(18, 21);
  bar.lineTo(14, 21);
  bar.closeSubpath();
  p.drawPath(bar);
  p.drawEllipse(QRectF(12.5, 23, 7, 7));
  return image;
}

QImage DrawNotepadIcon() {
  QImage image = NewImage(32, 32, Qt::transparent, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(QColor(120, 100, 0), 1));
  p.setBrush(QColor(255, 230, 90));
  p.drawRect(QRectF(4.5, 5.5, 19, 24));
  p.setPen(QPen(QColor(160, 130, 40), 1));
  for (int y = 11; y <= 26; y += 4) p.drawLine(7, y, 21, y);
  p.setPen(QPen(QColor(90, 90, 90), 1));
  p.setBrush(QColor(200, 200, 200));
  for (int x = 7; x <= 21; x += 4) p.drawEllipse(QRectF(x - 1, 3, 2.5, 4));
  // The pencil, lying across the pad.
  p.save();
  p.translate(22, 16);
  p.rotate(45);
  p.setPen(QPen(QColor(60, 40, 0), 1));
  p.setBrush(QColor(240, 150, 30));
  p.drawRect(QRectF(-3, -12, 6, 18));
  p.setBrush(QColor(240, 210, 170));
  QPolygonF tip;
  tip << QPointF(-3, 6) << QPointF(3, 6) << QPointF(0, 12);
  p.drawPolygon(tip);
  p.setBrush(QColor(230, 120, 140));
  p.drawRect(QRectF(-3, -15, 6, 3));
  p.restore();
  return image;
}

QImage DrawCableIcon() {
  QImage image = NewImage(32, 32, Qt::transparent, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  // Folder.
  p.setPen(QPen(QColor(130, 100, 0), 1));
  p.setBrush(QColor(250, 210, 80));
  QPainterPath folder;
  folder.moveTo(1.5, 6.5);
  folder.lineTo(6.5, 6.5);
  folder.lineTo(8.5, 8.5);
  folder.lineTo(15.5, 8.5);
  folder.lineTo(15.5, 18.5);
  folder.lineTo(1.5, 18.5);
  folder.closeSubpath();
  p.drawPath(folder);
  // Cable.
  p.setPen(QPen(QColor(40, 40, 40), 2));
  p.setBrush(Qt::NoBrush);
  QPainterPath cable;
  cable.moveTo(8, 18.5);
  cable.cubicTo(8, 28, 20, 10, 22, 20);
  p.drawPath(cable);
  // Device.
  p.setPen(QPen(QColor(0, 0, 90), 1));
  p.setBrush(QColor(40, 90, 220));
  p.drawRoundedRect(QRectF(17.5, 19.5, 13, 10), 2, 2);
  p.setBrush(QColor(120, 255, 120));
  p.drawEllipse(QRectF(26, 22, 3, 3));
  return image;
}

QImage DrawComputersIcon() {
  QImage image = NewImage(32, 32, Qt::transparent, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  for (QPointF at : {QPointF(1, 4), QPointF(15, 12)}) {
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(at.x() + 0.5, at.y() + 0.5, 15, 11));
    p.setBrush(QColor(60, 120, 200));
    p.drawRect(QRectF(at.x() + 2.5, at.y() + 2.5, 11, 7));
    p.setBrush(QColor(170, 170, 170));
    p.drawRect(QRectF(at.x() + 4.5, at.y() + 12.5, 7, 2));
  }
  p.setPen(QPen(QColor(220, 0, 0), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  QPolygonF tick;
  tick << QPointF(3, 22) << QPointF(7, 27) << QPointF(14, 17);
  p.drawPolyline(tick);
  return image;
}

QImage DrawChipIcon() {
  QImage image = NewImage(32, 32, Qt::transparent, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(QColor(150, 150, 150), 1.5));
  for (int i = 0; i < 4; ++i) {
    const double y = 10 + i * 4;
    p.drawLine(QPointF(3, y), QPointF(8, y));
    p.drawLine(QPointF(24, y), QPointF(29, y));
  }
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(QColor(50, 50, 60));
  p.drawRect(QRectF(7.5, 7.5, 17, 17));
  p.setPen(QPen(QColor(140, 90, 0), 1));
  p.setBrush(QColor(255, 220, 0));
  QPolygonF bolt;
  bolt << QPointF(19, 1) << QPointF(11, 16) << QPointF(16, 16) << QPointF(12, 31) << QPointF(22, 13)
       << QPointF(17, 13) << QPointF(23, 1);
  p.drawPolygon(bolt);
  return image;
}

QImage DrawHandPointer() {
  QImage image = NewImage(32, 32, Qt::transparent, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  QPainterPath hand;
  // The index finger points up; its tip is the hot spot (12, 1).
  hand.moveTo(10, 4);
  hand.cubicTo(10, 0.5, 14, 0.5, 14, 4);
  hand.lineTo(14, 12);
  hand.cubicTo(14, 10, 18, 10, 18, 13);
  hand.cubicTo(18, 11, 22, 11, 22, 14);
  hand.cubicTo(22, 12, 26, 12, 26, 15);
  hand.lineTo(26, 23);
  hand.cubicTo(26, 27, 24, 29, 22, 30);
  hand.lineTo(12, 30);
  hand.cubicTo(10, 28, 6, 22, 4, 18);
  hand.cubicTo(3, 15, 6, 14, 8, 16);
  hand.lineTo(10, 19);
  hand.closeSubpath();
  p.drawPath(hand);
  p.drawLine(QPointF(18, 13), QPointF(18, 19));
  p.drawLine(QPointF(22, 14), QPointF(22, 19));
  return image;
}

QImage DrawBackground(QSize size) {
  QImage image = PresentImage(size.width(), size.height(), QImage::Format_RGB32);
  if (image.isNull()) return image;  // no memory for it: nothing to draw on
  // Laid out on 579 x 488 and drawn at the size the window shows it, which
  // then paints it as it is: stretching it there, smoothly, cost a quarter
  // of a millisecond on every repaint, and Qt started a pool of threads to
  // do it.
  const double width = 579, height = 488;
  // The sky darkens from top to bottom (t from 0 to 1). Each row is one
  // colour, filled directly: a gradient brush works out every pixel and
  // costs a few milliseconds at start.
  const QColor top(40, 60, 130), bottom(10, 20, 60);
  auto sky = [&](double t, const QColor& over = QColor(), double alpha = 0) {
    auto mix = [&](int a, int b, int c) {
      const double under = a + (b - a) * t;
      return static_cast<int>(std::lround(under + (c - under) * alpha));
    };
    return QColor(mix(top.red(), bottom.red(), over.red()),
                  mix(top.green(), bottom.green(), over.green()),
                  mix(top.blue(), bottom.blue(), over.blue()));
  };
  for (int y = 0; y < size.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    std::fill(row, row + size.width(), sky((y + 0.5) / size.height()).rgb());
  }
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.scale(size.width() / width, size.height() / height);
  // A faint grid and a few loop-current waves: nothing but decoration.
  p.setPen(QPen(QColor(70, 95, 170), 1));
  for (int x = 0; x < width; x += 36) p.drawLine(x, 0, x, height);
  for (int y = 0; y < height; y += 36) p.drawLine(0, y, width, y);
  // Each wave is drawn in its colour as it shows over the sky at its middle
  // row, opaque: Qt strokes a translucent wide line through a thread pool,
  // which it starts for the purpose (several milliseconds at start).
  const QColor waves[] = {QColor(90, 200, 255), QColor(120, 255, 160), QColor(255, 220, 120)};
  const double opacity[] = {0.67, 0.59, 0.51};
  for (int w = 0; w < 3; ++w) {
    QPainterPath path;
    const double middle = 120 + w * 30;
    for (int x = 0; x <= width; x += 3) {
      const double y = middle + 40 * std::sin((x + w * 70) / 60.0) * std::exp(-x / 900.0);
      if (x == 0)
        path.moveTo(x, y);
      else
        path.lineTo(x, y);
    }
    p.setPen(QPen(sky((middle + 0.5) / height, waves[w], opacity[w]), 2.5));
    p.drawPath(path);
  }
  QFont font("Liberation Sans");
  font.setPixelSize(54);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(255, 255, 255, 60));
  p.drawText(QRectF(0, 20, width, 70), Qt::AlignCenter, "4 - 20 mA");
  // A pale corner under the small dark blue version line of the main window,
  // which the dark sky would swallow; it reaches well past the line's text.
  p.setPen(QPen(QColor(120, 145, 210), 2));
  p.setBrush(QColor(208, 218, 245));
  p.drawRoundedRect(QRectF(-20, -20, 115, 52), 12, 12);
  return image;
}

QImage DrawProgramIcon() {
  QImage image = NewImage(32, 32, Qt::transparent, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(QColor(20, 30, 90), 1));
  p.setBrush(QColor(60, 90, 200));
  p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 5, 5);
  p.setPen(QPen(Qt::white, 2));
  p.drawArc(QRectF(6, 8, 20, 20), 30 * 16, 120 * 16);
  p.setPen(QPen(QColor(120, 255, 120), 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(16, 18), QPointF(23, 11));
  QFont font("Liberation Sans");
  font.setPixelSize(9);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRectF(0, 19, 32, 11), Qt::AlignCenter, "mA");
  return image;
}

void RegisterPictures() {
  static bool done = false;
  if (done) return;
  done = true;
  // Each is drawn when a window first shows it: at start only the chart of
  // the working mode in force is.
  for (int mode = 0; mode < 3; ++mode)
    tk::RegisterPicture("chart_" + std::to_string(mode + 1), [mode] { return DrawChart(mode); });
  tk::RegisterPicture("icon_exclamation", DrawExclamationIcon);
  tk::RegisterPicture("icon_notepad", DrawNotepadIcon);
  tk::RegisterPicture("icon_cable", DrawCableIcon);
  tk::RegisterPicture("icon_computers", DrawComputersIcon);
  tk::RegisterPicture("icon_chip", DrawChipIcon);
  tk::RegisterPicture("hand", DrawHandPointer);
  // At the size of the main window's Image TORMEX (4980 x 4920 twips).
  tk::RegisterPicture("background", [] { return DrawBackground(QSize(332, 328)); });
  tk::RegisterPicture("program_icon", DrawProgramIcon);
}

}  // namespace ui
