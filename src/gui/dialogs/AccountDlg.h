#pragma once

// The "Account" dialog: the account number and password that the server
// checks before they are stored, the server's client information (message,
// update button, link) from a check of its own on a worker thread.

#include "core/app/ClientInfoCheck.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace mvr {
struct AccountDialogValues;
class CUserInteraction;
struct AccountDialogView;
} // namespace mvr

namespace mvr::gui {

inline constexpr const char* kAccountDialogTitle = "Account";
inline constexpr const char* kAccountLabel = "Kennung/ Account No.:";
inline constexpr const char* kPasswordLabel = "Password:";
inline constexpr const char* kUpdateButtonText = "Update";

class CAccountDlg : public QDialog {
    Q_OBJECT

public:
    // On OK the values hold what the server accepted; `updateToolStarted`
    // tells whether the dialog ended by starting the update tool.
    CAccountDlg(AccountDialogValues& values, CUserInteraction& interaction,
                QWidget* parent = nullptr);

    QString MessageText() const;
    bool UpdateButtonShown() const;
    bool LinkShown() const;

public slots:
    void accept() override;

signals:
    // The dialog's client-information check has been answered and shown.
    void clientInfoShown();

private:
    void ShowClientInfo(int result, const ClientInfo& info);
    void Apply(const AccountDialogView& view);
    void StartUpdateTool();

    AccountDialogValues& values_;
    CUserInteraction& interaction_;
    QLineEdit* account_ = nullptr;
    QLineEdit* password_ = nullptr;
    QPlainTextEdit* message_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* update_ = nullptr;
    QLabel* link_ = nullptr;
    CClientInfoCheck check_;
};

} // namespace mvr::gui
