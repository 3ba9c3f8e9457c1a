#include "app/gbk_qstring.h"

#include <QByteArray>

#include "text/gbk.h"

namespace hc {

QString qstring_from_gbk(std::string_view gbk) {
  gbk = gbk.substr(0, gbk.find('\0'));
  const std::string utf8 = gbk_to_utf8(gbk);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string gbk_from_qstring(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return utf8_to_gbk(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace hc
