#pragma once

#include <curl/curl.h>

// The libcurl functions this program calls, looked up in the run-time library when the first
// transfer is really made: a pet that asks no web site never loads libcurl, nor the TLS, LDAP
// and SSH libraries that come with it. The library stays loaded and started for the rest of the
// program's life.
struct CurlLibrary {
    // Loads the library `name` (its soname) and starts libcurl (curl_global_init); throws
    // std::runtime_error with a message naming the library when it cannot be loaded or lacks a
    // function.
    explicit CurlLibrary(const char* name);

    decltype(&curl_easy_init) easyInit;
    decltype(&curl_easy_setopt) easySetopt;
    decltype(&curl_easy_getinfo) easyGetinfo;
    decltype(&curl_easy_strerror) easyStrerror;
    decltype(&curl_easy_cleanup) easyCleanup;
    decltype(&curl_multi_init) multiInit;
    decltype(&curl_multi_setopt) multiSetopt;
    decltype(&curl_multi_add_handle) multiAddHandle;
    decltype(&curl_multi_remove_handle) multiRemoveHandle;
    decltype(&curl_multi_socket_action) multiSocketAction;
    decltype(&curl_multi_info_read) multiInfoRead;
    decltype(&curl_multi_cleanup) multiCleanup;
};
