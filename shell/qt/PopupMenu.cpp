#include "PopupMenu.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <qdrawutil.h>

namespace ovin {

namespace {

constexpr int kItemWidthPx = kMenuItemWidthPx;
constexpr int kCheckMarkRoomPx = kMenuCheckMarkRoomPx;
// Absolute in the menu's client area: the item area starts here whatever margin the style gives the item.
constexpr int kItemLeftPx = kMenuItemLeftPx;
constexpr int kFrameWidthPx = kMenuFrameWidthPx;

// Room kept after a caption that needs the item widened, so that it does not touch the menu's edge.
constexpr int kCaptionEndGapPx = 6;

constexpr qreal kPointsPerInch = 72.0;
constexpr qreal kTenthsOfDegree = 10.0;

QColor qColour(const Rgb& c) { return QColor(c.red, c.green, c.blue); }

/// Draws and measures the menu's command items; the separator and everything else keep the platform's look.
class MenuItemProxyStyle final : public QProxyStyle {
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contentsSize,
                           const QWidget* widget) const override
    {
        QSize size = QProxyStyle::sizeFromContents(type, option, contentsSize, widget);
        if (type == CT_MenuItem && !isSeparator(option))
            size.setWidth(std::max(kItemWidthPx + kCheckMarkRoomPx, captionWidthPx(option)));
        return size;
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_MenuPanelWidth)
            return kFrameWidthPx;
        if (metric == PM_MenuHMargin || metric == PM_MenuVMargin)
            return 0;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element == PE_FrameMenu)
            qDrawWinPanel(painter, option->rect, option->palette, false);
        else if (element == PE_PanelMenu)
            // The gap between the strip and the items must show the same menu colour as an unselected item; styles
            // paint the panel in a colour of their own choosing.
            painter->fillRect(option->rect, option->palette.color(QPalette::Window));
        else
            QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element != CE_MenuItem || !item || isSeparator(item)) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        const bool selected = item->state.testFlag(State_Selected);
        QRect area = item->rect;
        area.setLeft(kFrameWidthPx + kItemLeftPx);

        painter->save();
        painter->fillRect(area, item->palette.color(selected ? QPalette::Highlight : QPalette::Window));
        painter->setFont(item->font);
        painter->setPen(item->palette.color(selected ? QPalette::HighlightedText : QPalette::WindowText));
        // A caption longer than the item runs on instead of being cut at the item's edge.
        painter->setClipping(false);
        painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip, item->text);
        painter->restore();
    }

private:
    // The width a caption needs in the font it is drawn in.
    static int captionWidthPx(const QStyleOption* option)
    {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (!item)
            return 0;
        return kItemLeftPx + QFontMetrics(item->font).horizontalAdvance(item->text) + kCaptionEndGapPx;
    }

    static bool isSeparator(const QStyleOption* option)
    {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        return item && item->menuItemType == QStyleOptionMenuItem::Separator;
    }
};

}  // namespace

PopupMenu::PopupMenu(QWidget* parent) : QMenu(parent)
{
    setObjectName(QStringLiteral("PopupMenu1"));
    // A widget does not own its style; as the style's parent the menu frees it.
    auto* style = new MenuItemProxyStyle;
    style->setParent(this);
    setStyle(style);

    QFont menuFont(QString::fromLatin1(kMenuFontName));
    menuFont.setPixelSize(qRound(kMenuFontPt * logicalDpiY() / kPointsPerInch));
    setFont(menuFont);

    for (std::size_t i = 0; i < kPopupMenuItems.size(); ++i) {
        const PopupMenuItem& item = kPopupMenuItems[i];
        QAction* action =
            item.style == MenuItemStyle::Separator ? addSeparator() : addAction(QString::fromUtf8(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        QFont font = action->font();
        switch (item.style) {
        case MenuItemStyle::Bold:
            font.setBold(true);
            action->setFont(font);
            break;
        case MenuItemStyle::Regular:
            // Regular even if the menu font is bold. An action ignores a font that compares equal to its own, and
            // with it the note that the weight was chosen, so it gets a bold one first.
            font.setBold(true);
            action->setFont(font);
            font.setBold(false);
            action->setFont(font);
            break;
        case MenuItemStyle::MenuFont:
        case MenuItemStyle::Separator:
            break;
        }
        m_items[i] = action;
    }
    m_open1 = m_items[0];
    m_ukonitTrovaniOvin1 = m_items[1];
    m_n1 = m_items[2];
    m_exit1 = m_items[3];
}

std::optional<MenuCommand> PopupMenu::commandOf(const QAction* action) const
{
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (action && m_items[i] == action)
            return kPopupMenuItems[i].command;
    }
    return std::nullopt;
}

void PopupMenu::paintEvent(QPaintEvent* event)
{
    QMenu::paintEvent(event);
    // The strip crosses every item, the separator and the frame. Painted once over the finished menu, it stands
    // whole whichever item was repainted; painted from an item, the menu would cut it to that item.
    QPainter painter(this);
    DrawMenuBanner(painter);
}

void PopupMenu::DrawMenuBanner(QPainter& painter) const
{
    const MenuBanner& b = kMenuBanner;
    // The strip stands in the menu's client area, inside its frame, and is cut off where that ends.
    painter.translate(kFrameWidthPx, kFrameWidthPx);
    painter.setClipRect(QRect(0, 0, width() - 2 * kFrameWidthPx, height() - 2 * kFrameWidthPx));
    painter.fillRect(QRect(b.strip.left, b.strip.top, b.strip.width, b.strip.height), qColour(b.colour));

    QFont banner(QString::fromLatin1(b.fontName));
    banner.setBold(b.bold);
    banner.setPixelSize(qRound(b.fontPt * logicalDpiY() / kPointsPerInch) + b.heightGrowPx);

    painter.save();
    painter.setFont(banner);
    painter.setPen(qColour(b.textColour));
    painter.translate(b.text.x, b.text.y);
    painter.rotate(-b.escapement / kTenthsOfDegree);
    painter.drawText(QPointF(0.0, QFontMetricsF(banner).ascent()), QString::fromLatin1(b.caption));
    painter.restore();
}

}  // namespace ovin
