#include "app/comment_icons.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace hc {
namespace {

constexpr int kEmblemSize = 20;

// A red disc with a white quaver; the corners stay transparent.
QPixmap service_emblem() {
  QImage image(kEmblemSize, kEmblemSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);

  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xc2, 0x0c, 0x0c));
  painter.drawEllipse(QRectF(0.5, 0.5, kEmblemSize - 1.0, kEmblemSize - 1.0));

  painter.setBrush(Qt::white);
  painter.drawEllipse(QRectF(5.5, 11.5, 5.5, 4.5));
  painter.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(10.4, 13.5), QPointF(10.4, 4.5));
  QPainterPath flag(QPointF(10.4, 4.5));
  flag.cubicTo(QPointF(12.5, 6.0), QPointF(14.5, 6.5), QPointF(14.0, 9.5));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(flag);
  painter.end();

  return QPixmap::fromImage(image);
}

}  // namespace

std::vector<QPixmap> comment_icons() {
  return {service_emblem()};
}

}  // namespace hc
