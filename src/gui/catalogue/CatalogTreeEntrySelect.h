#pragma once

// The linked-catalogue field of the directory editor: the chosen catalogue's
// path text, a button that opens the catalogue picker, and "None" to unlink.

#include <cstdint>
#include <QWidget>
#include <string>

namespace mvr::gui {

class CDirEdit;

class CMVRCatalogTreeEntrySelect : public QWidget {
    Q_OBJECT

public:
    explicit CMVRCatalogTreeEntrySelect(QWidget* parent = nullptr);
    ~CMVRCatalogTreeEntrySelect() override;

    // The catalogue the field shows (0 and an empty name: none).
    void SetCatalogue(std::int32_t catalogueId, const std::string& pathText);
    std::int32_t CatalogueId() const;
    std::string CatalogueName() const;

signals:
    // The user chose another catalogue or "None".
    void catalogueChanged();

private:
    // The browse button: the picker, modally; Cancel changes nothing.
    void ChooseInPicker();

    CDirEdit* edit_;
    std::int32_t catalogueId_ = 0;
};

} // namespace mvr::gui
