#include "gui/app/QtUserInteraction.h"

#include "gui/app/NetworkWork.h"
#include "gui/app/ScriptedAnswers.h"
#include "gui/catalogue/AddListDlg.h"
#include "gui/controls/CoreText.h"
#include "gui/dialogs/AccountDlg.h"
#include "gui/dialogs/CopyMoveSymbolsDlg.h"
#include "gui/dialogs/DownloadProgressDlg.h"
#include "gui/dialogs/FindInstrumentDlg.h"
#include "gui/directory/DirChooseDlg.h"
#include "gui/editor/SymbolDataDlg.h"
#include "gui/search/SearchPage.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

namespace mvr::gui {

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// A web address is opened as it is; anything else is a file of this machine.
QUrl DocumentUrl(const std::string& path) {
    const QString text = QtText(path);
    const QUrl url(text);
    if (url.isValid() &&
        (url.scheme() == "http" || url.scheme() == "https" || url.scheme() == "mailto")) {
        return url;
    }
    return QUrl::fromLocalFile(text);
}

} // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(const std::string& text, MessageIcon icon,
                                            QMessageBox::StandardButtons buttons, QWidget* owner) {
    return std::make_unique<QMessageBox>(BoxIcon(icon), kMessageCaption, QtText(text), buttons,
                                         owner);
}

bool CQtUserInteraction::AskYesNo(const std::string& question, MessageIcon icon) {
    if (scripted_ != nullptr) {
        return scripted_->TakeAnswer(question);
    }
    return MakeMessageBox(question, icon, QMessageBox::Yes | QMessageBox::No, owner_)->exec() ==
           QMessageBox::Yes;
}

void CQtUserInteraction::ShowMessage(const std::string& text, MessageIcon icon) {
    if (scripted_ != nullptr) {
        scripted_->RecordMessage(text);
        return;
    }
    MakeMessageBox(text, icon, QMessageBox::Ok, owner_)->exec();
}

bool CQtUserInteraction::EditDirectory(DirectoryEditorValues& values) {
    CDirChooseDlg editor(values, *this, owner_);
    return editor.exec() == QDialog::Accepted;
}

bool CQtUserInteraction::ChooseInstruments(SearchDialogState& state,
                                           std::vector<WATCH>& selection) {
    CSearchPage search(state, selection, owner_);
    return search.exec() == QDialog::Accepted;
}

bool CQtUserInteraction::AskListName(const std::vector<CMVRDirListInfo>& lists, std::string& name) {
    CAddListDlg dialog(lists, *this, owner_);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    name = dialog.Name();
    return true;
}

bool CQtUserInteraction::EditAccount(AccountDialogValues& values) {
    CAccountDlg dialog(values, *this, owner_);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<std::string> CQtUserInteraction::BrowseForFolder(const std::string& ownerTitle,
                                                               const std::string& initialFolder) {
    if (scripted_ != nullptr) {
        return scripted_->TakeFolder(ownerTitle);
    }
    const QString folder =
        QFileDialog::getExistingDirectory(owner_, QtText(ownerTitle), QtText(initialFolder));
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return CorePath(folder);
}

bool CQtUserInteraction::OpenDocument(const std::string& path) {
    if (scripted_ != nullptr) {
        scripted_->RecordDocument(path);
        return true;
    }
    return QDesktopServices::openUrl(DocumentUrl(path));
}

bool CQtUserInteraction::StartProgram(const std::string& path) {
    if (scripted_ != nullptr) {
        scripted_->RecordDocument(path);
        return false;
    }
    return QProcess::startDetached(QtText(path), {});
}

bool CQtUserInteraction::EditSymbolData(CSymbolDataEditor& editor) {
    CSymbolDataDlg dialog(editor, *this, owner_);
    return dialog.exec() == QDialog::Accepted;
}

bool CQtUserInteraction::CopyOrMoveSymbols(CCopyMoveSymbols& dialog) {
    CCopyMoveSymbolsDlg view(dialog, owner_);
    return view.exec() == QDialog::Accepted;
}

bool CQtUserInteraction::FindInstrument(CFindInstrumentInDirectories& dialog) {
    CFindInstrumentInDirectoriesDlg view(dialog, owner_);
    return view.exec() == QDialog::Accepted;
}

bool CQtUserInteraction::RunUpdateJob(CUpdateJob& job) {
    CDownloadProgressDlg dialog(job, *this, owner_);
    return dialog.exec() == QDialog::Accepted;
}

bool CQtUserInteraction::RunNetworkWork(const std::string& what,
                                        const std::function<void(const RunFlag&)>& work) {
    return RunNetworkWorkOnWorker(owner_, what, work);
}

} // namespace mvr::gui
