#include "net/curlapi.h"

#include <dlfcn.h>

#include <QtGlobal>
#include <mutex>

namespace quintelle::net {

namespace {

template <class Function>
bool resolve(void* library, const char* name, Function& slot, std::string& error) {
    void* address = dlsym(library, name);
    if (!address) {
        error = std::string("libcurl entry point ") + name + " missing";
        return false;
    }
    slot = reinterpret_cast<Function>(address);
    return true;
}

struct Process {
    std::mutex mutex;
    std::string soname = "libcurl.so.4";
    bool opened = false;
    CurlLoad load;
};

Process& process() {
    static Process p;
    return p;
}

}  // namespace

CurlLoad openCurl(const char* soname) {
    CurlLoad result;
    // Every symbol bound now, so a broken install fails here and not in the
    // middle of a transfer; none of them offered to libraries loaded later.
    void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = dlerror();  // names the file
        result.error = why ? why : std::string("cannot load ") + soname;
        return result;
    }
    CurlApi& a = result.api;
    std::string& e = result.error;
    const bool all = resolve(library, "curl_global_init", a.global_init, e) &&
                     resolve(library, "curl_easy_init", a.easy_init, e) &&
                     resolve(library, "curl_easy_setopt", a.easy_setopt, e) &&
                     resolve(library, "curl_easy_perform", a.easy_perform, e) &&
                     resolve(library, "curl_easy_getinfo", a.easy_getinfo, e) &&
                     resolve(library, "curl_easy_cleanup", a.easy_cleanup, e) &&
                     resolve(library, "curl_slist_append", a.slist_append, e) &&
                     resolve(library, "curl_slist_free_all", a.slist_free_all, e);
    if (!all) {
        e += std::string(" in ") + soname;
        result.api = {};
        dlclose(library);
    }
    return result;
}

const CurlApi* curlApi() {
    Process& p = process();
    std::lock_guard lock(p.mutex);
    if (!p.opened) {
        p.opened = true;
        p.load = openCurl(p.soname.c_str());
        if (p.load.error.empty()) {
            const CURLcode code = p.load.api.global_init(CURL_GLOBAL_DEFAULT);
            if (code != CURLE_OK)
                p.load.error = "libcurl failed to initialise (code " + std::to_string(code) + ")";
        }
        if (!p.load.error.empty())
            qWarning("libcurl unavailable, so every fetch fails: %s", p.load.error.c_str());
    }
    return p.load.error.empty() ? &p.load.api : nullptr;
}

std::string curlLoadError() {
    Process& p = process();
    std::lock_guard lock(p.mutex);
    return p.load.error;
}

bool setCurlLibraryName(const std::string& soname) {
    Process& p = process();
    std::lock_guard lock(p.mutex);
    if (p.opened) return false;
    p.soname = soname;
    return true;
}

}  // namespace quintelle::net
