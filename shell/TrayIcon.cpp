#include "TrayIcon.h"

#include "PopupMenu.h"

#include <QCursor>
#include <QPointer>
#include <QSystemTrayIcon>

#include <array>

// Q_INIT_RESOURCE declares the resource's loader where it is written, so it has to be at global scope. The
// pictures are compiled into a static library, whose unreferenced objects the linker leaves out; this call is
// the reference that keeps them in the program.
static void initImageResources()
{
    Q_INIT_RESOURCE(images);
}

namespace ovin {

namespace {

// The desktop's tip field holds 127 characters and a terminating zero.
constexpr qsizetype kTipMaxChars = 127;

const std::array<QString, 2> kImageFiles = {
    QStringLiteral(":/ovin/idle.png"),
    QStringLiteral(":/ovin/busy.png"),
};

void ensureImages()
{
    static const bool loaded = (initImageResources(), true);
    Q_UNUSED(loaded);
}

} // namespace

TrayIcon::TrayIcon(QObject* parent)
    : QObject(parent)
    // A widget cannot be the child of a plain QObject, so the icon owns its menu directly.
    , m_menu(std::make_unique<PopupMenu>())
{
}

TrayIcon::~TrayIcon() = default;

bool TrayIcon::AddTrayIcon(const QString& tip)
{
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
    m_icon->setToolTip(tip.left(kTipMaxChars));
    m_icon->show();
    return m_icon->isVisible();
}

void TrayIcon::SetTrayImage(int index)
{
    if (index != kIdleImage && index != kBusyImage)
        return;
    m_imageIndex = index;
    if (m_icon)
        m_icon->setIcon(QIcon(image(index)));
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
    switch (eventCode) {
    case kLeftButtonDown:
        emit showFormRequested();
        break;
    case kRightButtonDown:
        showMenu();
        break;
    case kBalloonHidden:
        RemoveTrayIcon();
        m_removedForGood = true;
        break;
    default:
        break;
    }
}

QMenu* TrayIcon::PopupMenu1() const
{
    return m_menu.get();
}

QPixmap TrayIcon::image(int index)
{
    if (index != kIdleImage && index != kBusyImage)
        return {};
    ensureImages();
    return QPixmap(kImageFiles[static_cast<std::size_t>(index)]);
}

QIcon TrayIcon::windowIcon()
{
    ensureImages();
    return QIcon(QStringLiteral(":/ovin/window.png"));
}

void TrayIcon::showMenu()
{
    emit bringToFront();
    const QPoint at = QCursor::pos();
    // The menu runs its own event loop, in which the owner may go away.
    const QPointer<TrayIcon> alive(this);
    const QAction* chosen = m_menu->exec(at);
    if (alive)
        queueCommand(chosen);
}

void TrayIcon::queueCommand(const QAction* chosen)
{
    void (TrayIcon::*command)() = nullptr;
    if (chosen == m_menu->Open1())
        command = &TrayIcon::Open1Click;
    else if (chosen == m_menu->UkonitTrovaniOvin1())
        command = &TrayIcon::UkonitTrovaniOvin1Click;
    else if (chosen == m_menu->Exit1())
        command = &TrayIcon::Exit1Click;
    if (!command)
        return;
    // The command may ask a question or end the program; it runs only once the menu and the click that opened
    // it are done with.
    QMetaObject::invokeMethod(this, [this, command] { emit(this->*command)(); }, Qt::QueuedConnection);
}

} // namespace ovin
