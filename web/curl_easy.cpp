#include "web/curl_easy.h"

#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <array>
#include <atomic>
#include <mutex>
#include <utility>

#include "web/internet_testing.h"

namespace hc {
namespace {

constexpr long connect_timeout_seconds = 60;
std::atomic<long> receive_timeout_seconds{30};

std::mutex extra_ca_mutex;
std::string extra_ca_file;

std::string current_extra_ca_file() {
  std::lock_guard lock(extra_ca_mutex);
  return extra_ca_file;
}

void initialise_curl_once() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Adds the test authorities to the chain store that libcurl has already filled with the
// system's; verification itself stays as libcurl set it up.
CURLcode add_extra_authorities(CURL*, void* ssl_context, void*) {
  const std::string path = current_extra_ca_file();
  if (path.empty()) {
    return CURLE_OK;
  }
  X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(ssl_context));
  if (X509_STORE_load_file(store, path.c_str()) != 1) {
    return CURLE_SSL_CACERT_BADFILE;
  }
  return CURLE_OK;
}

// The process-wide cookie store: a libcurl share of cookie data, locked for use from any thread.
class CookieStore {
 public:
  CookieStore() : share_(curl_share_init()) {
    if (share_ == nullptr) {
      return;
    }
    curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &CookieStore::lock);
    curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CookieStore::unlock);
    curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
    curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
  }
  ~CookieStore() {
    if (share_ != nullptr) {
      curl_share_cleanup(share_);
    }
  }
  CookieStore(const CookieStore&) = delete;
  CookieStore& operator=(const CookieStore&) = delete;

  CURLSH* share() const { return share_; }

 private:
  static void lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
    static_cast<CookieStore*>(self)->mutexes_.at(data).lock();
  }
  static void unlock(CURL*, curl_lock_data data, void* self) {
    static_cast<CookieStore*>(self)->mutexes_.at(data).unlock();
  }

  CURLSH* share_;
  std::array<std::mutex, CURL_LOCK_DATA_LAST> mutexes_;
};

CookieStore& cookie_store() {
  initialise_curl_once();
  static CookieStore store;
  return store;
}

}  // namespace

CurlEasy make_curl_easy() {
  initialise_curl_once();
  return CurlEasy(curl_easy_init());
}

bool append_line(CurlList& list, const std::string& line) {
  curl_slist* grown = curl_slist_append(list.get(), line.c_str());
  if (grown == nullptr) {
    return false;
  }
  list.release();
  list.reset(grown);
  return true;
}

void apply_common_options(CURL* handle) {
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, connect_timeout_seconds);
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!current_extra_ca_file().empty()) {
    curl_easy_setopt(handle, CURLOPT_SSL_CTX_FUNCTION, &add_extra_authorities);
  }
  // An empty proxy means "none": http_proxy and friends in the environment are not used.
  curl_easy_setopt(handle, CURLOPT_PROXY, "");
  curl_easy_setopt(handle, CURLOPT_NOPROXY, "");
  curl_easy_setopt(handle, CURLOPT_HTTP_CONTENT_DECODING, 0L);
}

std::chrono::seconds receive_timeout() {
  return std::chrono::seconds(receive_timeout_seconds);
}

void use_cookie_store(CURL* handle) {
  CURLSH* share = cookie_store().share();
  if (share == nullptr) {
    return;
  }
  curl_easy_setopt(handle, CURLOPT_SHARE, share);
  curl_easy_setopt(handle, CURLOPT_COOKIEFILE, "");  // switches the cookie engine on
}

namespace internet_testing {

void set_extra_ca_file(std::string path) {
  std::lock_guard lock(extra_ca_mutex);
  extra_ca_file = std::move(path);
}

void set_receive_timeout(std::chrono::seconds timeout) {
  receive_timeout_seconds = static_cast<long>(timeout.count());
}

void clear_cookie_store() {
  CurlEasy handle = make_curl_easy();
  if (handle == nullptr) {
    return;
  }
  use_cookie_store(handle.get());
  curl_easy_setopt(handle.get(), CURLOPT_COOKIELIST, "ALL");
}

}  // namespace internet_testing
}  // namespace hc
