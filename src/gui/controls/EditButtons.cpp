#include "gui/controls/EditButtons.h"

#include <algorithm>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QToolButton>

namespace mvr::gui {

QToolButton* CreateEditButton(QLineEdit* edit, const char* objectName, const QIcon& icon,
                              const QString& text) {
    auto* button = new QToolButton(edit);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setIcon(icon);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    if (!text.isEmpty()) {
        button->setText(text);
        button->setToolTip(text);
        button->setAccessibleName(text);
    }
    // The user goes on typing in the field after a click.
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::ArrowCursor);
    return button;
}

void PlaceEditButtons(QLineEdit* edit, std::initializer_list<QToolButton*> rightToLeft) {
    const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
    const int height = std::max(0, edit->height() - 2 * frame);
    int right = edit->width() - frame;
    int taken = 0;
    for (QToolButton* button : rightToLeft) {
        right -= kEditButtonWidth;
        taken += kEditButtonWidth;
        button->setGeometry(right, frame, kEditButtonWidth, height);
    }
    edit->setTextMargins(0, 0, taken, 0);
}

QIcon FolderIcon(const QPalette& palette) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = palette.color(QPalette::ButtonText);
    painter.setPen(QPen(ink, 1.0));
    QPainterPath folder;
    folder.moveTo(1.5, 3.5);
    folder.lineTo(6.0, 3.5);
    folder.lineTo(7.5, 5.0);
    folder.lineTo(14.5, 5.0);
    folder.lineTo(14.5, 13.5);
    folder.lineTo(1.5, 13.5);
    folder.closeSubpath();
    painter.drawPath(folder);
    painter.drawLine(QPointF(1.5, 7.0), QPointF(14.5, 7.0));
    return QIcon(pixmap);
}

QIcon DocumentIcon(const QPalette& palette) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = palette.color(QPalette::ButtonText);
    painter.setPen(QPen(ink, 1.0));
    QPainterPath sheet;
    sheet.moveTo(3.5, 1.5);
    sheet.lineTo(9.5, 1.5);
    sheet.lineTo(12.5, 4.5);
    sheet.lineTo(12.5, 14.5);
    sheet.lineTo(3.5, 14.5);
    sheet.closeSubpath();
    painter.drawPath(sheet);
    painter.drawLine(QPointF(9.5, 1.5), QPointF(9.5, 4.5));
    painter.drawLine(QPointF(9.5, 4.5), QPointF(12.5, 4.5));
    for (int row = 0; row < 4; ++row) {
        const double y = 7.0 + row * 2.0;
        painter.drawLine(QPointF(5.0, y), QPointF(row == 3 ? 8.5 : 11.0, y));
    }
    return QIcon(pixmap);
}

} // namespace mvr::gui
