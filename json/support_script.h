#pragma once

#include <string_view>

namespace hc {

// The script every ScriptJson engine starts with: two lines joined by CR LF. The first defines
// get__count; the second adds each JSON piece (the JSON object, Date/String/Number/Boolean
// toJSON, JSON.stringify, JSON.parse, Object.prototype.toJSONString and parseJSON) only where the
// engine lacks it. Written for ECMAScript 3.
std::string_view support_script();

}  // namespace hc
