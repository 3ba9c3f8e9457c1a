#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "web/key_value_list.h"
#include "workflow/service_settings.h"

namespace hc {

// The two fixed requests of the handlers. Only the comment request's URL varies, with the
// comment-thread id; headers, cookie texts and the form body are the same for every call.

inline constexpr std::string_view browser_user_agent =
    "Mozilla/5.0 (Windows NT 10.0; WOW64; Trident/7.0; rv:11.0) like Gecko";

std::string chart_page_url(const ServiceSettings& settings);
// The seven header pairs of the chart request, in the order they are sent.
KeyValueList chart_request_headers(const ServiceSettings& settings);

// The id is pasted in as it is, without escaping.
std::string comments_url(const ServiceSettings& settings, std::string_view thread_id);
// params=P&encSecKey=K
std::string comment_request_body();
// The nine header pairs of the comment request, in order; Content-Length is body_length.
KeyValueList comment_request_headers(const ServiceSettings& settings, std::size_t body_length);

// GET of the chart page; its body converted from UTF-8 to GBK text, empty when nothing came.
std::string fetch_chart_page(const ServiceSettings& settings);

// POST of the comment request for one thread; the answer as GBK text, empty when nothing came.
std::string fetch_comments(const ServiceSettings& settings, std::string_view thread_id);

}  // namespace hc
