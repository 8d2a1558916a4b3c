#include "core/app/DefinitionFileDialogRules.h"

namespace mvr {

DefinitionFileRunDisplay DefinitionFileRunResult(int result, DefinitionFileOutcome outcome) {
    if (result != 0 && outcome == DefinitionFileOutcome::Written) {
        return {kDownloadFinishedText, ""};
    }
    if (result != 0 && outcome == DefinitionFileOutcome::Stopped) {
        return {"", ""};
    }
    return {"", kProcessingErrorMessage};
}

} // namespace mvr
