#include "gui/catalogue/CatalogTreeEntrySelect.h"

#include "gui/catalogue/CatalogTreeDlg.h"
#include "gui/controls/DirEdit.h"

#include <functional>
#include <QHBoxLayout>
#include <utility>

namespace mvr::gui {

namespace {

// A folder field whose browse button opens the catalogue picker instead of
// the folder browser.
class CCatalogueEdit : public CDirEdit {
public:
    CCatalogueEdit(std::function<void()> browse, QWidget* parent)
        : CDirEdit(parent), browse_(std::move(browse)) {}

    void Browse() override { browse_(); }

private:
    std::function<void()> browse_;
};

} // namespace

CMVRCatalogTreeEntrySelect::CMVRCatalogTreeEntrySelect(QWidget* parent)
    : QWidget(parent), edit_(new CCatalogueEdit([this] { ChooseInPicker(); }, this)) {
    // The text is always the path of the catalogue the number names: it
    // changes only through the picker.
    edit_->setReadOnly(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit_);
    setFocusProxy(edit_);
    setSizePolicy(edit_->sizePolicy());
}

CMVRCatalogTreeEntrySelect::~CMVRCatalogTreeEntrySelect() = default;

void CMVRCatalogTreeEntrySelect::SetCatalogue(std::int32_t catalogueId,
                                              const std::string& pathText) {
    catalogueId_ = catalogueId;
    edit_->SetText(pathText);
}

std::int32_t CMVRCatalogTreeEntrySelect::CatalogueId() const {
    return catalogueId_;
}

std::string CMVRCatalogTreeEntrySelect::CatalogueName() const {
    return edit_->Text();
}

void CMVRCatalogTreeEntrySelect::ChooseInPicker() {
    CMVRCatalogTreeDlg picker(this);
    if (picker.exec() != QDialog::Accepted) {
        return;
    }
    const CatalogueChoice& choice = picker.Choice();
    const bool changed = choice.number != catalogueId_ || choice.pathText != CatalogueName();
    SetCatalogue(choice.number, choice.pathText);
    if (changed) {
        emit catalogueChanged();
    }
}

} // namespace mvr::gui
