#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace hc {

// The one crossing between the program's GBK text and the toolkit's strings. Text ends at its
// first zero byte, as the program's texts are zero-terminated.
QString qstring_from_gbk(std::string_view gbk);

// Characters that GBK lacks come back as "?".
std::string gbk_from_qstring(const QString& text);

}  // namespace hc
