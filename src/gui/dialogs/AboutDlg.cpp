#include "gui/dialogs/AboutDlg.h"

#include "core/app/HelpCommands.h"
#include "gui/controls/CoreText.h"
#include "gui/resources/Artwork.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

namespace mvr::gui {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(kAboutDialogTitle);
    auto* layout = new QGridLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(ApplicationIcon().pixmap(48, 48));
    layout->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    auto* name = new QLabel(kAboutProgramName, this);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    layout->addWidget(name, 0, 1);
    auto* line = new QLabel(kAboutSecondLine, this);
    line->setWordWrap(true);
    layout->addWidget(line, 1, 1);
    auto* version = new QLabel(QtText(VersionText()), this);
    version->setObjectName("version");
    layout->addWidget(version, 2, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons, 3, 0, 1, 2);
    setMinimumWidth(360);
}

} // namespace mvr::gui
