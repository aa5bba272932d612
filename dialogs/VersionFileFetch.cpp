// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/VersionFileFetch.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>
#include <string_view>
#include <utility>

#include "dialogs/UpdateCheck.h"
#include "settings/TextHelpers.h"

namespace {

constexpr long kMaxRedirects = 5;
constexpr long kHttpOkFirst = 200;
constexpr long kHttpOkLast = 299;
constexpr char kHttpsScheme[] = "https";
constexpr char kWebSchemes[] = "http,https";
constexpr std::string_view kSecurePrefix = "https://";

struct Body {
  std::string bytes;
  std::size_t limit = 0;
  bool tooLarge = false;
};

std::size_t Receive(char* data, std::size_t size, std::size_t count, void* context) {
  auto* body = static_cast<Body*>(context);
  const std::size_t bytes = size * count;
  if (body->bytes.size() + bytes > body->limit) {
    body->tooLarge = true;
    return 0;  // ends the transfer with a write error
  }
  body->bytes.append(data, bytes);
  return bytes;
}

void InitialiseOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

int protocolErrorOfTransfer(int curlResult, long httpStatus) {
  switch (curlResult) {
    case CURLE_OK:
      return httpStatus >= kHttpOkFirst && httpStatus <= kHttpOkLast ? kProtocolNoError : kProtocolNoFile;
    case CURLE_HTTP_RETURNED_ERROR:
      return kProtocolNoFile;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
      return kProtocolConnectError;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_USE_SSL_FAILED:
      return kProtocolNegotiationError;
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
      return kProtocolInvalidValue;
    case CURLE_ABORTED_BY_CALLBACK:
      return kProtocolAborted;
    default:  // time-outs, broken answers, refused sizes, ...
      return kProtocolNetworkError;
  }
}

// One easy handle on its own multi handle: the multi interface moves the
// request on without ever waiting.
struct VersionFileFetch::Transfer {
  CURLM* multi = nullptr;
  CURL* easy = nullptr;
  Body body;

  ~Transfer() {
    if (multi && easy) curl_multi_remove_handle(multi, easy);
    if (easy) curl_easy_cleanup(easy);  // closes the connection
    if (multi) curl_multi_cleanup(multi);
  }
};

VersionFileFetch::VersionFileFetch(const VersionFileRequest& request) : transfer_(std::make_unique<Transfer>()) {
  InitialiseOnce();
  Transfer& t = *transfer_;
  t.body.limit = request.sizeLimit;
  t.multi = curl_multi_init();
  t.easy = curl_easy_init();
  if (!t.multi || !t.easy) {
    transfer_.reset();
    answer_.protocolError = kProtocolNetworkError;
    return;
  }
  CURL* curl = t.easy;
  // An https address may only be redirected to https: a plain-text hop
  // would let anyone on the way answer in the server's name.
  const bool secure = toLowerText(std::string_view(request.address).substr(0, kSecurePrefix.size())) == kSecurePrefix;
  curl_easy_setopt(curl, CURLOPT_URL, request.address.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, kWebSchemes);
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, secure ? kHttpsScheme : kWebSchemes);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, request.userAgent.c_str());
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, request.timeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  // Ending a request while a name is still being looked up must not wait
  // for the look-up.
  curl_easy_setopt(curl, CURLOPT_QUICK_EXIT, 1L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Receive);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t.body);
  curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.sizeLimit));
  if (curl_multi_add_handle(t.multi, curl) != CURLM_OK) {
    transfer_.reset();
    answer_.protocolError = kProtocolNetworkError;
  }
}

VersionFileFetch::~VersionFileFetch() = default;

bool VersionFileFetch::step() {
  if (!transfer_) return true;
  Transfer& t = *transfer_;
  int running = 0;
  if (curl_multi_perform(t.multi, &running) != CURLM_OK) {
    transfer_.reset();
    answer_.protocolError = kProtocolNetworkError;
    return true;
  }
  int queued = 0;
  while (const CURLMsg* message = curl_multi_info_read(t.multi, &queued)) {
    if (message->msg != CURLMSG_DONE) continue;
    long status = 0;
    curl_easy_getinfo(t.easy, CURLINFO_RESPONSE_CODE, &status);
    answer_.protocolError =
        protocolErrorOfTransfer(t.body.tooLarge ? CURLE_FILESIZE_EXCEEDED : message->data.result, status);
    answer_.ok = answer_.protocolError == kProtocolNoError;
    if (answer_.ok) answer_.body = std::move(t.body.bytes);
    transfer_.reset();
    return true;
  }
  return false;
}
