// The two fixed requests as they go out on the wire.

#include "workflow/requests.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/gbk.h"
#include "tools/demo_service.h"
#include "workflow/service_values.h"

namespace hc {
namespace {

const std::string user_agent_line =
    "User-Agent: Mozilla/5.0 (Windows NT 10.0; WOW64; Trident/7.0; rv:11.0) like Gecko";

class RequestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(service_.start());
    settings_ = settings_for_root(service_.root_url());
  }

  RecordedRequest only_request() const {
    const std::vector<RecordedRequest> requests = service_.requests();
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? RecordedRequest{} : requests.front();
  }

  // The header lines but Host, in the order they came, and the Host value. The Host line is
  // checked apart because the HTTP layer may put it first, where its own would have gone.
  static std::vector<std::string> lines_but_host(const RecordedRequest& request) {
    std::vector<std::string> lines;
    for (const std::string& line : request.header_lines) {
      if (!line.starts_with("Host:")) {
        lines.push_back(line);
      }
    }
    return lines;
  }
  void expect_host(const RecordedRequest& request) const {
    EXPECT_EQ(lines_but_host(request).size() + 1, request.header_lines.size());
    EXPECT_EQ(request.header("Host"), settings_.service_host);
  }

  DemoService service_;
  ServiceSettings settings_;
};

TEST_F(RequestTest, ChartPageIsAGetWithSevenHeadersAndTheCookieText) {
  const std::string page = fetch_chart_page(settings_);
  // The answer arrives as GBK text.
  EXPECT_NE(page.find(utf8_to_gbk("热歌榜")), std::string::npos);

  const RecordedRequest request = only_request();
  EXPECT_EQ(request.method, "GET");
  EXPECT_EQ(request.target, "/discover/toplist?id=3778678");
  expect_host(request);
  EXPECT_EQ(lines_but_host(request),
            (std::vector<std::string>{
                "Accept: image/gif, image/jpeg, image/pjpeg, application/x-ms-application, "
                "application/xaml+xml, application/x-ms-xbap, */*",
                "Referer: " + service_.root_url() + "/",
                "Accept-Language: zh-Hans-CN,zh-Hans;q=0.5",
                user_agent_line,
                "Connection: Keep-Alive",
                "Cache-Control: no-cache",
                "Cookie: " + std::string(service_values::chart_cookie_text),
            }));
  EXPECT_TRUE(request.body.empty());
}

TEST_F(RequestTest, CommentRequestCarriesTheIdInItsUrlOnlyAndAFittingContentLength) {
  const std::string expected_body =
      "params=" + std::string(service_values::comment_params) +
      "&encSecKey=" + std::string(service_values::comment_enc_sec_key);
  for (const std::string id : {"abc", "R_SO_4_1413142894"}) {
    service_.clear_requests();
    const std::string answer = fetch_comments(settings_, id);
    EXPECT_NE(answer.find("\"hotComments\":["), std::string::npos);

    const RecordedRequest request = only_request();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.target, "/weapi/v1/resource/comments/" + id + "?csrf_token=");
    EXPECT_EQ(request.body, expected_body);
    expect_host(request);
    EXPECT_EQ(lines_but_host(request),
              (std::vector<std::string>{
                  "Accept: */*",
                  "Content-Type: application/x-www-form-urlencoded",
                  "Referer: " + service_.root_url() + "/song?id=1413142894",
                  "Accept-Language: zh-Hans-CN,zh-Hans;q=0.5",
                  user_agent_line,
                  "Content-Length: " + std::to_string(expected_body.size()),
                  "Connection: Keep-Alive",
                  "Cache-Control: no-cache",
                  "Cookie: " + std::string(service_values::comment_cookie_text),
              }));
    EXPECT_EQ(request.header("Content-Length"), std::to_string(request.body.size()));
  }
}

TEST(ServiceValues, HaveTheServiceShapes) {
  const auto is_hex = [](std::string_view text) {
    return text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
  };
  const auto split = [](std::string_view text) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("; ", start)) != std::string_view::npos;
         start = end + 2) {
      pieces.emplace_back(text.substr(start, end - start));
    }
    pieces.emplace_back(text.substr(start));
    return pieces;
  };
  const auto value_of = [](const std::string& cookie) {
    return cookie.substr(cookie.find('=') + 1);
  };

  const std::string_view chart = service_values::chart_cookie_text;
  EXPECT_EQ(chart.size(), 903u);
  EXPECT_EQ(
      chart.find_first_not_of(" !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`"
                              "abcdefghijklmnopqrstuvwxyz{|}~"),
      std::string_view::npos);
  EXPECT_EQ(split(chart).size(), 7u);

  const std::vector<std::string> cookies = split(service_values::comment_cookie_text);
  EXPECT_EQ(service_values::comment_cookie_text.size(), 342u);
  ASSERT_EQ(cookies.size(), 4u);
  EXPECT_EQ(value_of(cookies[0]).size(), 206u);
  EXPECT_EQ(value_of(cookies[1]).size(), 2u);
  EXPECT_TRUE(is_hex(value_of(cookies[2])) && value_of(cookies[2]).size() == 32);
  const std::string seen = value_of(cookies[3]);
  EXPECT_TRUE(is_hex(seen.substr(0, 32)) && seen[32] == ',' && seen.size() == 46);

  const std::string_view params = service_values::comment_params;
  EXPECT_EQ(params.size(), 210u);
  std::string base64(params);
  for (const auto& [escaped, plain] : {std::pair{"%2B", "+"}, std::pair{"%2F", "/"}}) {
    for (std::size_t at; (at = base64.find(escaped)) != std::string::npos;) {
      base64.replace(at, 3, plain);
    }
  }
  EXPECT_EQ(base64.size(), 192u);
  EXPECT_EQ(
      base64.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
      std::string::npos);
  EXPECT_EQ(service_values::comment_enc_sec_key.size(), 256u);
  EXPECT_TRUE(is_hex(service_values::comment_enc_sec_key));
  EXPECT_EQ(comment_request_body().size(), 484u);
}

}  // namespace
}  // namespace hc
