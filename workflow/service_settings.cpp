#include "workflow/service_settings.h"

#include <cstdio>
#include <vector>

namespace hc {
namespace {

// Set by the build (HOTCOMMENTS_SERVICE_ROOT_URL, HOTCOMMENTS_SERVICE_HOST).
constexpr std::string_view built_in_root_url = HOTCOMMENTS_SERVICE_ROOT_URL;
constexpr std::string_view built_in_host = HOTCOMMENTS_SERVICE_HOST;

constexpr std::string_view option = "--service-root";
constexpr std::string_view usage = "usage: hotcomments [--service-root http://host[:port]]";

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) {
    return false;
  }
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
    if (c != prefix[i]) {
      return false;
    }
  }
  return true;
}

std::string_view after_scheme(std::string_view url) {
  const auto separator = url.find("://");
  return separator == std::string_view::npos ? std::string_view{} : url.substr(separator + 3);
}

std::string_view host_of(std::string_view url) {
  const std::string_view rest = after_scheme(url);
  return rest.substr(0, rest.find_first_of("/?#"));
}

std::string bad_root_message(std::string_view value) {
  return "hotcomments: --service-root \"" + std::string(value) +
         "\" is not an http:// or https:// address with a host\n" + std::string(usage);
}

}  // namespace

ServiceSettings settings_for_root(std::string_view root_url, std::string_view host) {
  while (root_url.ends_with('/')) {
    root_url.remove_suffix(1);
  }
  ServiceSettings settings;
  settings.service_root_url = std::string(root_url);
  settings.service_host = host.empty() ? std::string(host_of(root_url)) : std::string(host);
  return settings;
}

bool is_service_root_url(std::string_view url) {
  if (!starts_with_ignoring_case(url, "http://") && !starts_with_ignoring_case(url, "https://")) {
    return false;
  }
  for (const char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F) {
      return false;
    }
  }
  const std::string_view host = host_of(url);
  return !host.empty() && !host.starts_with(':');
}

ServiceSettings built_in_service_settings() {
  return settings_for_root(built_in_root_url, built_in_host);
}

ServiceArguments parse_service_arguments(std::span<const std::string_view> arguments) {
  ServiceArguments result;
  ServiceSettings settings = built_in_service_settings();
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    std::optional<std::string_view> value;
    if (argument == option) {
      if (i + 1 == arguments.size()) {
        result.error = "hotcomments: --service-root needs an address\n" + std::string(usage);
        return result;
      }
      value = arguments[++i];
    } else if (argument.starts_with(option) && argument.substr(option.size()).starts_with('=')) {
      value = argument.substr(option.size() + 1);
    } else {
      result.error =
          "hotcomments: unknown argument \"" + std::string(argument) + "\"\n" + std::string(usage);
      return result;
    }
    if (!is_service_root_url(*value)) {
      result.error = bad_root_message(*value);
      return result;
    }
    settings = settings_for_root(*value);
  }
  result.settings = std::move(settings);
  return result;
}

std::optional<ServiceSettings> service_settings_from_command_line(int argc, char** argv) {
  std::vector<std::string_view> arguments;
  for (int i = 1; i < argc; ++i) {
    arguments.emplace_back(argv[i]);
  }
  ServiceArguments parsed = parse_service_arguments(arguments);
  if (!parsed.settings) {
    std::fprintf(stderr, "%s\n", parsed.error.c_str());
  }
  return std::move(parsed.settings);
}

}  // namespace hc
