#include "core/search/SearchDialogEnter.h"

namespace mvr {

SearchEnterAction EnterActionFor(SearchDialogControl focus, bool workerRunning) {
    if (workerRunning) {
        return SearchEnterAction::Nothing;
    }
    switch (focus) {
    case SearchDialogControl::OkButton:
    case SearchDialogControl::ResultList:
        return SearchEnterAction::Accept;
    case SearchDialogControl::SearchButton:
    case SearchDialogControl::TextBox:
    case SearchDialogControl::SearchKindBox:
    case SearchDialogControl::SecurityTypeBox:
    case SearchDialogControl::ExchangeBox:
        return SearchEnterAction::Search;
    case SearchDialogControl::Other:
        break;
    }
    return SearchEnterAction::Nothing;
}

} // namespace mvr
