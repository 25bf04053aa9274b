#pragma once

#include <QIcon>
#include <QObject>
#include <QPixmap>
#include <QString>

#include <QPoint>
#include <QRect>
#include <QSize>

#include <memory>
#include <optional>

#include "shell/TrayEvents.h"

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace ovin {

class PopupMenu;

/// The watchdog's icon in the desktop's notification area, with its popup menu.
///
/// The icon tells its owner what the user asked for only through signals, so the main window stays free of the
/// tray's details. The menu is opened by the icon itself, never handed to the desktop, because a menu that the
/// desktop shows on its own would lose the program's drawing.
class TrayIcon final : public QObject {
    Q_OBJECT
public:
    /// Event codes that TrayIconMessage understands: the left and right button pressed on the icon, and the
    /// desktop's notice that a balloon tip was hidden.
    static constexpr int kLeftButtonDown = kTrayLeftButtonDown;
    static constexpr int kRightButtonDown = kTrayRightButtonDown;
    static constexpr int kBalloonHidden = kTrayBalloonHidden;

    /// Indexes of ImageList1.
    static constexpr int kIdleImage = ovin::kIdleImage;
    static constexpr int kBusyImage = ovin::kBusyImage;
    static constexpr int kWarningImage = ovin::kWarningImage;

    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;
    Q_DISABLE_COPY_MOVE(TrayIcon)

    /// Puts the icon, with the current image and the tip (cut to 127 characters), into the notification area.
    /// True only when the desktop's tray took it; with no tray it is false and the caller tries again later.
    /// Once a balloon-hidden notice has removed the icon for good, nothing is added and the result is false.
    bool AddTrayIcon(const QString& tip);

    /// Shows image `index` of ImageList1 (kIdleImage, kBusyImage, kWarningImage). The index is remembered, so an image
    /// chosen before the icon exists is the one it appears with; any other index is ignored.
    void SetTrayImage(int index);

    /// What the tip says below the title given to AddTrayIcon (empty: the title alone); kept for an icon that
    /// is added later.
    void SetTrayNotice(const QString& notice);

    /// The tip the icon shows, or would show once added.
    QString tip() const;

    /// Takes the icon out of the notification area; when there is none, does nothing. A later AddTrayIcon
    /// may put it back.
    void RemoveTrayIcon();

    /// Does what the event code of the icon asks for (see ovin::TrayIconMessage):
    /// - ShowForm: showFormRequested();
    /// - OpenMenu: bringToFront(), then the menu opens at the mouse cursor and this returns when it has closed;
    ///   the chosen command's signal follows on a later pass of the event loop;
    /// - RemoveForGood: image changes and AddTrayIcon do nothing from then on.
    void TrayIconMessage(int eventCode);

    /// The icon's menu (PopupMenu1).
    QMenu* PopupMenu1() const;

    /// Image `index` of ImageList1: 32 x 32, transparent background; a null pixmap for any other index.
    static QPixmap image(int index);

    /// The program's own icon for its windows.
    static QIcon windowIcon();

    /// Where a menu of `menu` size opens (ovin::MenuPosition in Qt's types).
    static QPoint menuPosition(std::optional<QPoint> cursor, const QRect& screen, const QRect& available,
                               const QSize& menu);

signals:
    /// The user asked to see the main window.
    void showFormRequested();
    /// The menu is about to open: the main window comes to the foreground, even when hidden.
    void bringToFront();
    /// Menu command "Otevřít".
    void Open1Click();
    /// Menu command "Ukončit Trovan + Ovin".
    void UkonitTrovaniOvin1Click();
    /// Menu command "Konec".
    void Exit1Click();

private:
    void showMenu();
    void queueCommand(const QAction* chosen);

    std::unique_ptr<PopupMenu> m_menu;
    QSystemTrayIcon* m_icon = nullptr;
    int m_imageIndex = kIdleImage;
    QString m_title;
    QString m_notice;
    bool m_removedForGood = false;
};

}  // namespace ovin
