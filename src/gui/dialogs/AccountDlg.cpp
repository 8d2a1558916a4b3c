#include "gui/dialogs/AccountDlg.h"

#include "core/app/AccountDialog.h"
#include "core/config/UserInteraction.h"
#include "core/update/UpdateRun.h"
#include "gui/app/NetworkWork.h"
#include "gui/controls/CoreText.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace mvr::gui {

CAccountDlg::CAccountDlg(AccountDialogValues& values, CUserInteraction& interaction,
                         QWidget* parent)
    : QDialog(parent), values_(values), interaction_(interaction) {
    setWindowTitle(kAccountDialogTitle);
    auto* layout = new QVBoxLayout(this);
    auto* fields = new QFormLayout;
    account_ = new QLineEdit(QtText(values.account), this);
    password_ = new QLineEdit(QtText(values.password), this);
    password_->setEchoMode(QLineEdit::Password);
    for (QLineEdit* field : {account_, password_}) {
        field->setMaxLength(static_cast<int>(kAccountFieldChars));
    }
    fields->addRow(kAccountLabel, account_);
    fields->addRow(kPasswordLabel, password_);
    layout->addLayout(fields);

    message_ = new QPlainTextEdit(this);
    message_->setReadOnly(true);
    message_->setMinimumHeight(80);
    layout->addWidget(message_);

    link_ = new QLabel(this);
    link_->setOpenExternalLinks(false);
    link_->hide();
    connect(link_, &QLabel::linkActivated, this,
            [this](const QString& target) { interaction_.OpenDocument(CoreText(target)); });
    layout->addWidget(link_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    update_ = buttons->addButton(kUpdateButtonText, QDialogButtonBox::ActionRole);
    update_->hide();
    connect(buttons, &QDialogButtonBox::accepted, this, &CAccountDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CAccountDlg::reject);
    connect(update_, &QPushButton::clicked, this, [this] { StartUpdateTool(); });
    layout->addWidget(buttons);
    setMinimumWidth(380);

    check_.Start([this](int result, const ClientInfo& info) {
        QMetaObject::invokeMethod(
            this, [this, result, info] { ShowClientInfo(result, info); }, Qt::QueuedConnection);
    });
}

QString CAccountDlg::MessageText() const {
    return message_->toPlainText();
}

bool CAccountDlg::UpdateButtonShown() const {
    return !update_->isHidden();
}

bool CAccountDlg::LinkShown() const {
    return !link_->isHidden();
}

void CAccountDlg::ShowClientInfo(int result, const ClientInfo& info) {
    AccountDialogView view;
    view.message = CoreText(message_->toPlainText());
    ApplyClientInfoAnswer(result, info, view);
    Apply(view);
    emit clientInfoShown();
}

void CAccountDlg::Apply(const AccountDialogView& view) {
    message_->setPlainText(QtText(view.message));
    update_->setVisible(view.updateButtonShown);
    if (view.linkShown) {
        link_->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                           .arg(QtText(view.linkTarget).toHtmlEscaped(),
                                QtText(view.linkCaption).toHtmlEscaped()));
    }
    link_->setVisible(view.linkShown);
    for (QWidget* control : std::initializer_list<QWidget*>{account_, password_, ok_}) {
        control->setEnabled(view.fieldsEnabled);
    }
    if (view.updateButtonFocused) {
        update_->setFocus();
    }
}

void CAccountDlg::accept() {
    AccountAcceptance acceptance;
    const std::string account = CoreText(account_->text());
    const std::string password = CoreText(password_->text());
    const bool answered = RunNetworkWorkOnWorker(this, kPhaseConnecting, [&](const RunFlag& run) {
        acceptance = AcceptAccount(account, password, run);
    });
    if (!answered) {
        return;
    }
    if (!acceptance.accepted) {
        if (acceptance.message) {
            message_->setPlainText(QtText(*acceptance.message));
        }
        return;
    }
    values_.account = acceptance.account;
    values_.password = acceptance.password;
    QDialog::accept();
}

void CAccountDlg::StartUpdateTool() {
    std::string message;
    if (mvr::StartUpdateTool(CorePath(QCoreApplication::applicationFilePath()), interaction_,
                             message)) {
        values_.updateToolStarted = true;
        reject();
        return;
    }
    message_->setPlainText(QtText(message));
}

} // namespace mvr::gui
