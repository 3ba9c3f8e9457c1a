#pragma once

#include <chrono>
#include <string>

namespace hc::internet_testing {

// Settings for tests only; the program itself never calls these.

// A PEM file of certificate authorities trusted in addition to the system's (empty: none).
void set_extra_ca_file(std::string path);

// How long a transfer may receive nothing before it is given up (30 s unless changed).
void set_receive_timeout(std::chrono::seconds timeout);

// Forgets every cookie of the process-wide store.
void clear_cookie_store();

}  // namespace hc::internet_testing
