#include "dialogs/VersionFileFetch.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>
#include <string_view>

#include "dialogs/UpdateCheck.h"
#include "settings/TextHelpers.h"

namespace {

constexpr long kMaxRedirects = 5;
constexpr long kHttpOkFirst = 200;
constexpr long kHttpOkLast = 299;
constexpr char kHttpsScheme[] = "https";
constexpr char kWebSchemes[] = "http,https";
constexpr std::string_view kSecurePrefix = "https://";

struct Transfer {
  const VersionFileRequest* request;
  std::string body;
  bool tooLarge = false;
};

std::size_t Receive(char* data, std::size_t size, std::size_t count, void* context) {
  auto* transfer = static_cast<Transfer*>(context);
  const std::size_t bytes = size * count;
  if (transfer->body.size() + bytes > transfer->request->sizeLimit) {
    transfer->tooLarge = true;
    return 0;  // ends the transfer with a write error
  }
  transfer->body.append(data, bytes);
  return bytes;
}

int Progress(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* transfer = static_cast<Transfer*>(context);
  return transfer->request->cancelled && transfer->request->cancelled() ? 1 : 0;
}

void InitialiseOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

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

VersionFileAnswer fetchVersionFile(const VersionFileRequest& request) {
  InitialiseOnce();
  VersionFileAnswer answer;
  const std::unique_ptr<CURL, EasyDeleter> handle(curl_easy_init());
  if (!handle) {
    answer.protocolError = kProtocolNetworkError;
    return answer;
  }
  CURL* curl = handle.get();
  Transfer transfer{&request, {}, false};
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
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // worker threads must not see SIGALRM
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Receive);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, Progress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.sizeLimit));

  const CURLcode result = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  answer.protocolError = protocolErrorOfTransfer(transfer.tooLarge ? CURLE_FILESIZE_EXCEEDED : result, status);
  answer.ok = answer.protocolError == kProtocolNoError;
  if (answer.ok) answer.body = std::move(transfer.body);
  return answer;
}
