#include "curllibrary.h"

#include <dlfcn.h>

#include <stdexcept>
#include <string>

namespace {
std::string dlError() {
    const char* error = dlerror();
    return error ? error : "unknown error";
}
} // namespace

CurlLibrary::CurlLibrary(const char* name) {
    // Never unloaded: libcurl and the libraries it brings keep state for the whole process.
    void* library = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (!library) throw std::runtime_error("Cannot load libcurl: " + dlError());
    const auto resolve = [&](auto& function, const char* symbol) {
        function =
            reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, symbol));
        if (!function)
            throw std::runtime_error("Cannot load libcurl: " + std::string(name) + " lacks " +
                                     symbol);
    };
    resolve(easyInit, "curl_easy_init");
    resolve(easySetopt, "curl_easy_setopt");
    resolve(easyGetinfo, "curl_easy_getinfo");
    resolve(easyStrerror, "curl_easy_strerror");
    resolve(easyCleanup, "curl_easy_cleanup");
    resolve(multiInit, "curl_multi_init");
    resolve(multiSetopt, "curl_multi_setopt");
    resolve(multiAddHandle, "curl_multi_add_handle");
    resolve(multiRemoveHandle, "curl_multi_remove_handle");
    resolve(multiSocketAction, "curl_multi_socket_action");
    resolve(multiInfoRead, "curl_multi_info_read");
    resolve(multiCleanup, "curl_multi_cleanup");
    decltype(&curl_global_init) globalInit;
    resolve(globalInit, "curl_global_init");
    globalInit(CURL_GLOBAL_DEFAULT);
}
