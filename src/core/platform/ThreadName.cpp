#include "core/platform/ThreadName.h"

#ifdef _WIN32
#include "core/platform/NativePath.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace mvr {

#ifdef _WIN32
namespace {

// Thread descriptions came with Windows 10 (1607); earlier systems have no
// such calls, so they are looked up rather than linked.
using SetDescription = HRESULT(WINAPI*)(HANDLE, PCWSTR);
using GetDescription = HRESULT(WINAPI*)(HANDLE, PWSTR*);

template <typename Function>
Function KernelFunction(const char* name) {
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel != nullptr
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name)))
               : nullptr;
}

} // namespace
#endif

void SetCurrentThreadName(std::string_view name) {
#ifdef _WIN32
    if (const auto set = KernelFunction<SetDescription>("SetThreadDescription")) {
        set(GetCurrentThread(), WideText(name).c_str());
    }
#elif defined(__linux__)
    const std::string text(name.substr(0, kThreadNameChars));
    pthread_setname_np(pthread_self(), text.c_str());
#elif defined(__APPLE__)
    pthread_setname_np(std::string(name).c_str());
#else
    (void)name;
#endif
}

std::string CurrentThreadName() {
#ifdef _WIN32
    const auto get = KernelFunction<GetDescription>("GetThreadDescription");
    PWSTR wide = nullptr;
    std::string name;
    if (get != nullptr && SUCCEEDED(get(GetCurrentThread(), &wide)) && wide != nullptr) {
        name = AnsiText(wide).value_or(std::string());
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
