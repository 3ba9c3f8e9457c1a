#include "web/download.h"

#include <string>

#include "web/curl_easy.h"
#include "web/response_collector.h"

namespace hc {
namespace {

constexpr const char* download_agent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr long max_redirects = 30;

}  // namespace

Bytes download_bytes(std::string_view url) {
  if (url.empty()) {
    return {};
  }
  CurlEasy handle = make_curl_easy();
  if (handle == nullptr) {
    return {};
  }
  CURL* curl = handle.get();
  apply_common_options(curl);
  const std::string address(url);
  curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, max_redirects);
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, download_agent);
  CurlList headers;
  if (!append_line(headers, "Accept: */*")) {
    return {};
  }
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());

  ResponseCollector response;
  response.attach(curl, true);
  const CURLcode result = curl_easy_perform(curl);
  response.finish();
  if (result != CURLE_OK || !response.has_response()) {
    return {};
  }
  return response.body();
}

}  // namespace hc
