#include "core/platform/ThreadName.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace mvr {

namespace {

#if defined(__linux__)
// The kernel's limit without the terminating zero.
constexpr std::size_t kMaxNameChars = 15;
#endif

} // namespace

void SetCurrentThreadName(std::string_view name) {
#ifdef _WIN32
    const int length =
        MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), wide.data(), length);
    SetThreadDescription(GetCurrentThread(), wide.c_str());
#elif defined(__linux__)
    const std::string text(name.substr(0, kMaxNameChars));
    pthread_setname_np(pthread_self(), text.c_str());
#elif defined(__APPLE__)
    pthread_setname_np(std::string(name).c_str());
#else
    (void)name;
#endif
}

std::string CurrentThreadName() {
#ifdef _WIN32
    PWSTR wide = nullptr;
    std::string name;
    if (SUCCEEDED(GetThreadDescription(GetCurrentThread(), &wide)) && wide != nullptr) {
        const int length = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
        if (length > 1) {
            name.resize(static_cast<std::size_t>(length - 1));
            WideCharToMultiByte(CP_ACP, 0, wide, -1, name.data(), length, nullptr, nullptr);
        }
        LocalFree(wide);
    }
    return name;
#elif defined(__linux__) || defined(__APPLE__)
    char buffer[64] = {};
    if (pthread_getname_np(pthread_self(), buffer, sizeof buffer) != 0) {
        return {};
    }
    return buffer;
#else
    return {};
#endif
}

} // namespace mvr
