#include "core/lists/ListObserver.h"

namespace mvr {

CListNotifier::ResetGuard::ResetGuard(const CListNotifier& notifier)
    : observer_(notifier.observer_) {
    if (observer_ != nullptr) {
        observer_->ModelAboutToBeReset();
    }
}

CListNotifier::ResetGuard::~ResetGuard() {
    if (observer_ != nullptr) {
        observer_->ModelReset();
    }
}

void CListNotifier::AboutToInsert(std::size_t first, std::size_t last) const {
    if (observer_ != nullptr) {
        observer_->RowsAboutToBeInserted(first, last);
    }
}

void CListNotifier::Inserted(std::size_t first, std::size_t last) const {
    if (observer_ != nullptr) {
        observer_->RowsInserted(first, last);
    }
}

void CListNotifier::AboutToRemove(std::size_t first, std::size_t last) const {
    if (observer_ != nullptr) {
        observer_->RowsAboutToBeRemoved(first, last);
    }
}

void CListNotifier::Removed(std::size_t first, std::size_t last) const {
    if (observer_ != nullptr) {
        observer_->RowsRemoved(first, last);
    }
}

void CListNotifier::Changed(std::size_t first, std::size_t last) const {
    if (observer_ != nullptr) {
        observer_->RowsChanged(first, last);
    }
}

void CListNotifier::SelectionChanged() const {
    if (observer_ != nullptr) {
        observer_->SelectionChanged();
    }
}

void CListNotifier::ChangedRuns(const std::vector<bool>& changed) const {
    std::size_t row = 0;
    while (row < changed.size()) {
        if (!changed[row]) {
            ++row;
            continue;
        }
        const std::size_t first = row;
        while (row < changed.size() && changed[row]) {
            ++row;
        }
        Changed(first, row - 1);
    }
}

} // namespace mvr
