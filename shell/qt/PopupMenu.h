#pragma once

#include <QMenu>

#include <array>
#include <optional>

#include "shell/PopupMenuTable.h"

class QPainter;

namespace ovin {

/// The tray icon's menu: three commands and a separator, each command drawn by the program itself as a 130-pixel
/// item that starts right of a sky-blue strip with "OVIN" written upward along the menu's left edge.
///
/// The menu only offers the commands; what they do belongs to its owner, which learns the chosen one from exec().
class PopupMenu final : public QMenu {
    Q_OBJECT
public:
    explicit PopupMenu(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(PopupMenu)

    /// "Otevřít", in bold: shows the main window.
    QAction* Open1() const { return m_open1; }
    /// "Ukončit Trovan + Ovin": ends the router program and the watchdog.
    QAction* UkonitTrovaniOvin1() const { return m_ukonitTrovaniOvin1; }
    /// The separator above "Konec".
    QAction* N1() const { return m_n1; }
    /// "Konec": ends the watchdog.
    QAction* Exit1() const { return m_exit1; }

    /// The command of a chosen item; none for the separator, another action or no choice.
    std::optional<MenuCommand> commandOf(const QAction* action) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    /// Paints the strip with its rotated caption, in the menu's own coordinates.
    void DrawMenuBanner(QPainter& painter) const;

    // One action per row of kPopupMenuItems, in its order.
    std::array<QAction*, kPopupMenuItems.size()> m_items{};
    QAction* m_open1 = nullptr;
    QAction* m_ukonitTrovaniOvin1 = nullptr;
    QAction* m_n1 = nullptr;
    QAction* m_exit1 = nullptr;
};

}  // namespace ovin
