#include "core/platform/ExceptionText.h"

#include <exception>
#include <new>

namespace mvr {

std::string CurrentExceptionText() noexcept {
    try {
        try {
            throw;
        } catch (const std::bad_alloc&) {
            return kOutOfMemoryText;
        } catch (const std::exception& e) {
            return e.what();
        } catch (...) {
            return "unknown exception";
        }
    } catch (...) {
        return {};
    }
}

} // namespace mvr
