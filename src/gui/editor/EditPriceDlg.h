#pragma once

// Corrects one price record: its date, and its open, high, low, close and
// volume in five fields from left to right. OK stays in the dialog while a
// field holds no number.

#include <array>
#include <QDialog>

class QLabel;
class QLineEdit;

namespace mvr {
class CEditPriceValues;
class CUserInteraction;
} // namespace mvr

namespace mvr::gui {

class CEditPriceDlg : public QDialog {
    Q_OBJECT

public:
    // `values` receives the accepted record; it must outlive the dialog.
    CEditPriceDlg(CEditPriceValues& values, CUserInteraction& interaction,
                  QWidget* parent = nullptr);

    // The field of CEditPriceValues::Field `field`.
    QLineEdit* Field(int field) const;
    QLabel* DateLabel() const { return date_; }

    void accept() override;

private:
    CEditPriceValues& values_;
    CUserInteraction& interaction_;
    QLabel* date_;
    std::array<QLineEdit*, 5> fields_{};
};

} // namespace mvr::gui
