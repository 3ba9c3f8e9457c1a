#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace hc {

// Where the service lives. Both loaders build their URLs, Referer and Host headers from these.
struct ServiceSettings {
  std::string service_root_url;  // scheme and host (and port), no trailing slash
  std::string service_host;      // the host, with ":port" when the root names one
};

// Settings for a root address: trailing slashes dropped, the host taken from the address
// unless one is given. Checks nothing; see is_service_root_url.
ServiceSettings settings_for_root(std::string_view root_url, std::string_view host = {});

// True for an http:// or https:// address with a host and without blanks or control
// characters (the address goes into header lines verbatim).
bool is_service_root_url(std::string_view url);

// The settings this build was configured with.
ServiceSettings built_in_service_settings();

struct ServiceArguments {
  std::optional<ServiceSettings> settings;  // set on success
  std::string error;                        // what to tell the user otherwise
};

// The program's arguments after its name: nothing, or "--service-root URL" (also written
// "--service-root=URL") to point the program at another root.
ServiceArguments parse_service_arguments(std::span<const std::string_view> arguments);

// parse_service_arguments for main(): prints the error to stderr and gives nothing when the
// arguments are wrong (the caller then exits with code 2).
std::optional<ServiceSettings> service_settings_from_command_line(int argc, char** argv);

}  // namespace hc
