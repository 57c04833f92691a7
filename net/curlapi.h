#pragma once
// libcurl opened at run time, on the first transfer, instead of by the
// dynamic linker at every start: most sessions fetch nothing, and those that
// do fetch from a worker thread, which then pays for loading it.
// curl's header still supplies the types, so each entry point keeps its
// exact signature.
#include <curl/curl.h>

#include <string>

namespace quintelle::net {

// The entry points the program calls.
struct CurlApi {
    decltype(&curl_global_init) global_init = nullptr;
    decltype(&curl_easy_init) easy_init = nullptr;
    decltype(&curl_easy_setopt) easy_setopt = nullptr;
    decltype(&curl_easy_perform) easy_perform = nullptr;
    decltype(&curl_easy_getinfo) easy_getinfo = nullptr;
    decltype(&curl_easy_cleanup) easy_cleanup = nullptr;
    decltype(&curl_slist_append) slist_append = nullptr;
    decltype(&curl_slist_free_all) slist_free_all = nullptr;
};

// One attempt to open a library file as libcurl.
struct CurlLoad {
    CurlApi api;        // every entry point set when error is empty
    std::string error;  // why the file or one of its entry points is missing
};

// Opens `soname` and resolves every entry point, without initialising the
// library. A file that lacks one is closed again.
CurlLoad openCurl(const char* soname);

// The process's libcurl: opened and initialised by the first call, from
// whichever thread makes it; later calls, from any thread, get the same
// answer. nullptr when it could not be loaded, with the reason in
// curlLoadError() and in one warning on the log. It stays loaded for the
// life of the process.
const CurlApi* curlApi();
std::string curlLoadError();

// The file the first curlApi() call opens instead of "libcurl.so.4", so
// tests can see a machine without it. False, and no effect, once loaded.
bool setCurlLibraryName(const std::string& soname);

}  // namespace quintelle::net
