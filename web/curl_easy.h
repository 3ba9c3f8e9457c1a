#pragma once

#include <curl/curl.h>

#include <chrono>
#include <memory>
#include <string>

namespace hc {

// Owners of libcurl handles, and the settings every transfer of this program shares.

struct CurlEasyDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;

struct CurlListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlList = std::unique_ptr<curl_slist, CurlListDeleter>;

// A fresh easy handle (libcurl initialised once per process), or null when out of memory.
CurlEasy make_curl_easy();

// Appends a copy of the line; false when out of memory.
bool append_line(CurlList& list, const std::string& line);

// What every transfer gets: give up connecting after 60 s, verify certificate chains and host
// names against the system's trust store, ignore proxy settings of the environment, never raise
// signals.
void apply_common_options(CURL* handle);

// How long a connected transfer may go without receiving or sending anything (30 s).
std::chrono::seconds receive_timeout();

// Makes the transfer read and write the process-wide cookie store.
void use_cookie_store(CURL* handle);

}  // namespace hc
