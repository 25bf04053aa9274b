#include "TrayIcon.h"

#include "PopupMenu.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QSystemTrayIcon>

#include <algorithm>
#include <array>

// Q_INIT_RESOURCE declares the resource's loader where it is written, so it has to be at global scope. The
// pictures are compiled into a static library, whose unreferenced objects the linker leaves out; this call is
// the reference that keeps them in the program.
static void initImageResources() { Q_INIT_RESOURCE(images); }

namespace ovin {

namespace {

const std::array<QString, kTrayImageCount> kImageFiles = {
    QStringLiteral(":/ovin/idle.png"),
    QStringLiteral(":/ovin/busy.png"),
    QStringLiteral(":/ovin/warning.png"),
};

bool isImageIndex(int index) { return index >= 0 && index < kTrayImageCount; }

void ensureImages()
{
    static const bool loaded = (initImageResources(), true);
    Q_UNUSED(loaded);
}

}  // namespace

TrayIcon::TrayIcon(QObject* parent)
    : QObject(parent)
      // A widget cannot be the child of a plain QObject, so the icon owns its menu directly.
      ,
      m_menu(std::make_unique<PopupMenu>())
{
}

TrayIcon::~TrayIcon() = default;

bool TrayIcon::AddTrayIcon(const QString& tip)
{
    m_title = tip;
    if (m_removedForGood || !QSystemTrayIcon::isSystemTrayAvailable())
        return false;
    if (!m_icon) {
        m_icon = new QSystemTrayIcon(QIcon(image(m_imageIndex)), this);
        connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger)
                TrayIconMessage(kLeftButtonDown);
            else if (reason == QSystemTrayIcon::Context)
                TrayIconMessage(kRightButtonDown);
        });
    }
    m_icon->setToolTip(this->tip());
    m_icon->show();
    return m_icon->isVisible();
}

void TrayIcon::SetTrayImage(int index)
{
    if (!isImageIndex(index))
        return;
    m_imageIndex = index;
    if (m_icon)
        m_icon->setIcon(QIcon(image(index)));
}

void TrayIcon::SetTrayNotice(const QString& notice)
{
    m_notice = notice;
    if (m_icon)
        m_icon->setToolTip(tip());
}

QString TrayIcon::tip() const
{
    return QString::fromStdString(TrayTip(m_title.toStdString(), m_notice.toStdString())).left(kTrayTipMaxChars);
}

void TrayIcon::RemoveTrayIcon()
{
    if (!m_icon)
        return;
    m_icon->hide();
    // Later, because this may run inside a signal of the icon itself.
    m_icon->deleteLater();
    m_icon = nullptr;
}

void TrayIcon::TrayIconMessage(int eventCode)
{
    switch (ovin::TrayIconMessage(eventCode)) {
    case TrayAction::ShowForm:
        emit showFormRequested();
        break;
    case TrayAction::OpenMenu:
        showMenu();
        break;
    case TrayAction::RemoveForGood:
        RemoveTrayIcon();
        m_removedForGood = true;
        break;
    case TrayAction::Nothing:
        break;
    }
}

QMenu* TrayIcon::PopupMenu1() const { return m_menu.get(); }

QPixmap TrayIcon::image(int index)
{
    if (!isImageIndex(index))
        return {};
    ensureImages();
    return QPixmap(kImageFiles[static_cast<std::size_t>(index)]);
}

QIcon TrayIcon::windowIcon()
{
    ensureImages();
    return QIcon(QStringLiteral(":/ovin/window.png"));
}

QPoint TrayIcon::menuPosition(std::optional<QPoint> cursor, const QRect& screen, const QRect& available,
                              const QSize& menu)
{
    const auto rect = [](const QRect& r) { return Rect{r.x(), r.y(), r.width(), r.height()}; };
    std::optional<Point> at;
    if (cursor)
        at = Point{cursor->x(), cursor->y()};
    const Rect area = available.isValid() ? rect(available) : Rect{};
    const Point p = MenuPosition(at, rect(screen), area, {menu.width(), menu.height()});
    return {p.x, p.y};
}

void TrayIcon::showMenu()
{
    emit bringToFront();
    // A StatusNotifier host (KDE Plasma, GNOME's AppIndicator extension) hands the click's place to Qt, which
    // drops it; on X11 the pointer can still be asked, but a Wayland session tells a program where the pointer
    // is only while it is over one of the program's own windows, which a tray click never is.
    const bool cursorKnown = !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    std::optional<QPoint> cursor;
    if (cursorKnown)
        cursor = QCursor::pos();
    QScreen* screen = cursor ? QGuiApplication::screenAt(*cursor) : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    QPoint at = cursor.value_or(QPoint());
    if (screen)
        at = menuPosition(cursor, screen->geometry(), screen->availableGeometry(), m_menu->sizeHint());
    // The menu runs its own event loop, in which the owner may go away.
    const QPointer<TrayIcon> alive(this);
    const QAction* chosen = m_menu->exec(at);
    if (alive)
        queueCommand(chosen);
}

void TrayIcon::queueCommand(const QAction* chosen)
{
    const std::optional<MenuCommand> chosenCommand = m_menu->commandOf(chosen);
    if (!chosenCommand)
        return;
    void (TrayIcon::*command)() = nullptr;
    switch (*chosenCommand) {
    case MenuCommand::Open1:
        command = &TrayIcon::Open1Click;
        break;
    case MenuCommand::UkonitTrovaniOvin1:
        command = &TrayIcon::UkonitTrovaniOvin1Click;
        break;
    case MenuCommand::Exit1:
        command = &TrayIcon::Exit1Click;
        break;
    }
    // The command may ask a question or end the program; it runs only once the menu and the click that opened
    // it are done with.
    QMetaObject::invokeMethod(
        this, [this, command] { emit(this->*command)(); }, Qt::QueuedConnection);
}

}  // namespace ovin
