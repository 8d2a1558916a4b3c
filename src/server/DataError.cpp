#include "server/DataError.h"

namespace mvr {

std::string DataError::Text() const {
    std::string text = file;
    if (line > 0) {
        text += ':' + std::to_string(line);
    }
    return text + ": " + message;
}

} // namespace mvr
