#include "workflow/service_settings.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace hc {
namespace {

TEST(ServiceSettings, HostComesFromTheRootWithItsPort) {
  struct Case {
    std::string_view root;
    std::string_view url;
    std::string_view host;
  };
  for (const Case& c : {
           Case{"https://music.example.com", "https://music.example.com", "music.example.com"},
           Case{"http://127.0.0.1:8080/", "http://127.0.0.1:8080", "127.0.0.1:8080"},
           Case{"http://mirror.example.org:81/music//", "http://mirror.example.org:81/music",
                "mirror.example.org:81"},
           Case{"HTTPS://Music.Example.COM", "HTTPS://Music.Example.COM", "Music.Example.COM"},
       }) {
    const ServiceSettings settings = settings_for_root(c.root);
    EXPECT_EQ(settings.service_root_url, c.url) << c.root;
    EXPECT_EQ(settings.service_host, c.host) << c.root;
  }
  EXPECT_EQ(settings_for_root("http://10.0.0.1", "music.example.com").service_host,
            "music.example.com");
}

TEST(ServiceSettings, BuiltInRootIsAServiceAddress) {
  const ServiceSettings settings = built_in_service_settings();
  EXPECT_TRUE(is_service_root_url(settings.service_root_url));
  EXPECT_FALSE(settings.service_host.empty());
}

TEST(ServiceSettings, CommandLine) {
  struct Case {
    std::vector<std::string_view> arguments;
    std::string_view root;  // empty: the arguments are refused
  };
  const std::string built_in = built_in_service_settings().service_root_url;
  const std::vector<Case> cases = {
      {{}, built_in},
      {{"--service-root", "http://127.0.0.1:4000"}, "http://127.0.0.1:4000"},
      {{"--service-root=https://mirror.example.org/"}, "https://mirror.example.org"},
      {{"--service-root", "http://a.example", "--service-root", "http://b.example"},
       "http://b.example"},
      {{"--service-root"}, ""},
      {{"--service-root", ""}, ""},
      {{"--service-root="}, ""},
      {{"--service-root", "ftp://example.com"}, ""},
      {{"--service-root", "example.com"}, ""},
      {{"--service-root", "http://"}, ""},
      {{"--service-root", "http://:8080"}, ""},
      {{"--service-root", "http://a.example\r\nX-Injected: 1"}, ""},
      {{"--service-root", "http://a b.example"}, ""},
      {{"--verbose"}, ""},
      {{"http://127.0.0.1:4000"}, ""},
  };
  for (const Case& c : cases) {
    const ServiceArguments parsed = parse_service_arguments(c.arguments);
    const std::string shown = c.arguments.empty() ? "(none)" : std::string(c.arguments.back());
    if (c.root.empty()) {
      EXPECT_FALSE(parsed.settings.has_value()) << shown;
      EXPECT_NE(parsed.error.find("--service-root"), std::string::npos) << parsed.error;
    } else {
      ASSERT_TRUE(parsed.settings.has_value()) << shown << ": " << parsed.error;
      EXPECT_EQ(parsed.settings->service_root_url, c.root);
    }
  }
}

}  // namespace
}  // namespace hc
