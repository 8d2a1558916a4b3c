#include "gui/resources/Artwork.h"

#include <cmath>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// Q_INIT_RESOURCE declares the registration function where it stands, so it
// must be used outside any namespace.
static void RegisterArtworkResource() {
    Q_INIT_RESOURCE(artwork);
}

namespace mvr::gui {

namespace {

const char* ButtonIconName(MainWindowButton button) {
    // No default: a button added to the window without an icon is a warning.
    switch (button) {
    case MainWindowButton::AddList:
        return "list-add";
    case MainWindowButton::RemoveList:
        return "list-remove";
    case MainWindowButton::UpdateList:
        return "list-update";
    case MainWindowButton::AddDirectory:
        return "directory-add";
    case MainWindowButton::RemoveDirectories:
        return "directory-remove";
    case MainWindowButton::UpdateDirectories:
        return "directory-update";
    case MainWindowButton::EditDirectory:
        return "directory-edit";
    case MainWindowButton::FindSymbol:
        return "directory-search";
    case MainWindowButton::AddSymbols:
        return "symbol-add";
    case MainWindowButton::DeleteSymbols:
        return "symbol-delete";
    case MainWindowButton::OpenSymbol:
        return "symbol-open";
    }
    return nullptr;
}

} // namespace

void InitArtwork() {
    static const bool registered = (RegisterArtworkResource(), true);
    (void)registered;
}

QIcon ApplicationIcon() {
    InitArtwork();
    return QIcon(QStringLiteral(":/mvr/icons/application.svg"));
}

QIcon PriceFindingIcon() {
    InitArtwork();
    return QIcon(QStringLiteral(":/mvr/icons/price-finding.svg"));
}

QIcon ButtonIcon(MainWindowButton button) {
    InitArtwork();
    const char* name = ButtonIconName(button);
    if (name == nullptr) {
        return QIcon();
    }
    return QIcon(QStringLiteral(":/mvr/icons/%1.svg").arg(QLatin1String(name)));
}

QCursor SplitterCursor() {
    InitArtwork();
    // The drawing is made for 32 pixels, the size cursor themes use at
    // normal density; the hot spot is given in those device-independent pixels.
    constexpr int kSize = 32;
    const qreal ratio = qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
    const int physical = static_cast<int>(std::ceil(kSize * ratio));
    QPixmap pixmap(physical, physical);
    pixmap.fill(Qt::transparent);
    {
        QSvgRenderer renderer(QStringLiteral(":/mvr/cursors/splitter.svg"));
        QPainter painter(&pixmap);
        renderer.render(&painter, QRectF(0, 0, physical, physical));
    }
    pixmap.setDevicePixelRatio(ratio);
    return QCursor(pixmap, kSize / 2, kSize / 2);
}

} // namespace mvr::gui
