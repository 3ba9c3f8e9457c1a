#include "workflow/requests.h"

#include "text/bytes.h"
#include "web/charset.h"
#include "web/web_request.h"
#include "workflow/service_values.h"

namespace hc {
namespace {

constexpr std::string_view accept_language = "zh-Hans-CN,zh-Hans;q=0.5";

// Sends one request from fixed values. The request is local, so the cookie text and the
// header block that web_request writes back are dropped: every call starts afresh.
std::string send_for_text(std::string url, int method, std::string body,
                          std::string_view cookie_text, const KeyValueList& headers) {
  WebRequest request;
  request.url = std::move(url);
  request.method = method;
  request.body_text = std::move(body);
  request.send_cookies = std::string(cookie_text);
  request.headers = headers.to_headers();
  const Bytes utf8 = web_request(request);
  return text_from_bytes(convert_charset(utf8));
}

}  // namespace

std::string chart_page_url(const ServiceSettings& settings) {
  return settings.service_root_url + "/discover/toplist?id=3778678";
}

KeyValueList chart_request_headers(const ServiceSettings& settings) {
  KeyValueList headers;
  headers.add("Accept",
              "image/gif, image/jpeg, image/pjpeg, application/x-ms-application, "
              "application/xaml+xml, application/x-ms-xbap, */*");
  headers.add("Referer", settings.service_root_url + "/");
  headers.add("Accept-Language", accept_language);
  headers.add("User-Agent", browser_user_agent);
  headers.add("Host", settings.service_host);
  headers.add("Connection", "Keep-Alive");
  headers.add("Cache-Control", "no-cache");
  return headers;
}

std::string comments_url(const ServiceSettings& settings, std::string_view thread_id) {
  return settings.service_root_url + "/weapi/v1/resource/comments/" + std::string(thread_id) +
         "?csrf_token=";
}

std::string comment_request_body() {
  KeyValueList form;
  form.add("params", service_values::comment_params);
  form.add("encSecKey", service_values::comment_enc_sec_key);
  return form.to_form();
}

KeyValueList comment_request_headers(const ServiceSettings& settings, std::size_t body_length) {
  KeyValueList headers;
  headers.add("Accept", "*/*");
  headers.add("Content-Type", "application/x-www-form-urlencoded");
  headers.add("Referer", settings.service_root_url + "/song?id=1413142894");
  headers.add("Accept-Language", accept_language);
  headers.add("User-Agent", browser_user_agent);
  headers.add("Host", settings.service_host);
  headers.add("Content-Length", std::to_string(body_length));
  headers.add("Connection", "Keep-Alive");
  headers.add("Cache-Control", "no-cache");
  return headers;
}

std::string fetch_chart_page(const ServiceSettings& settings) {
  return send_for_text(chart_page_url(settings), 0, {}, service_values::chart_cookie_text,
                       chart_request_headers(settings));
}

std::string fetch_comments(const ServiceSettings& settings, std::string_view thread_id) {
  std::string body = comment_request_body();
  const KeyValueList headers = comment_request_headers(settings, body.size());
  return send_for_text(comments_url(settings, thread_id), 1, std::move(body),
                       service_values::comment_cookie_text, headers);
}

}  // namespace hc
