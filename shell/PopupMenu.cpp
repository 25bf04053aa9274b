#include "PopupMenu.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <qdrawutil.h>

namespace ovin {

namespace {

constexpr int kItemWidthPx = 130;
// The desktop the menu was drawn for adds room for a check mark beside every owner-drawn item to the width that
// the item asks for, and the item is drawn over that room too.
constexpr int kCheckMarkRoomPx = 15;
// Absolute in the menu's client area: the item area starts here whatever margin the style gives the item.
constexpr int kItemLeftPx = 25;
// The menu's raised frame, as that desktop draws it around every menu, so that a menu over a light window does
// not melt into it.
constexpr int kFrameWidthPx = 2;

// The captions are set in the font the 130 pixels were measured for (a metric twin of it where the program
// found one), whatever the desktop's own menu font is.
constexpr const char* kMenuFontFamily = "Tahoma";
constexpr int kMenuFontPt = 8;

// Room kept after a caption that needs the item widened, so that it does not touch the menu's edge.
constexpr int kCaptionEndGapPx = 6;

constexpr int kBannerWidthPx = 20;
constexpr int kBannerHeightPx = 112;
constexpr QColor kBannerColour(166, 202, 240);
constexpr int kBannerFontPt = 8;
// The rotated caption is a little larger than its 8-point font: 13 pixels instead of 11 at 96 dpi.
constexpr int kBannerFontGrowPx = 2;
// Where the caption starts: the top of its character cells, from which it runs upward.
constexpr int kBannerTextXPx = 2;
constexpr int kBannerTextYPx = 40;
constexpr qreal kPointsPerInch = 72.0;

/// Draws and measures the menu's command items; the separator and everything else keep the platform's look.
class MenuItemStyle final : public QProxyStyle {
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

QAction* addCommand(QMenu& menu, const QString& caption, const QString& name)
{
    QAction* action = menu.addAction(caption);
    action->setObjectName(name);
    return action;
}

} // namespace

PopupMenu::PopupMenu(QWidget* parent)
    : QMenu(parent)
{
    setObjectName(QStringLiteral("PopupMenu1"));
    // A widget does not own its style; as the style's parent the menu frees it.
    auto* style = new MenuItemStyle;
    style->setParent(this);
    setStyle(style);

    QFont menuFont(QString::fromLatin1(kMenuFontFamily));
    menuFont.setPixelSize(qRound(kMenuFontPt * logicalDpiY() / kPointsPerInch));
    setFont(menuFont);

    m_open1 = addCommand(*this, QStringLiteral("Otevřít"), QStringLiteral("Open1"));
    m_ukonitTrovaniOvin1 =
        addCommand(*this, QStringLiteral("Ukončit Trovan + Ovin"), QStringLiteral("UkonitTrovaniOvin1"));
    m_n1 = addSeparator();
    m_n1->setObjectName(QStringLiteral("N1"));
    m_exit1 = addCommand(*this, QStringLiteral("Konec"), QStringLiteral("Exit1"));

    QFont bold = m_open1->font();
    bold.setBold(true);
    m_open1->setFont(bold);
    // Regular even if the menu font is bold; "Konec" alone follows the menu font. An action ignores a font that
    // compares equal to its own, and with it the note that the weight was chosen, so it gets a bold one first.
    QFont regular = m_ukonitTrovaniOvin1->font();
    regular.setBold(true);
    m_ukonitTrovaniOvin1->setFont(regular);
    regular.setBold(false);
    m_ukonitTrovaniOvin1->setFont(regular);
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
    // The strip stands in the menu's client area, inside its frame, and is cut off where that ends.
    painter.translate(kFrameWidthPx, kFrameWidthPx);
    painter.setClipRect(QRect(0, 0, width() - 2 * kFrameWidthPx, height() - 2 * kFrameWidthPx));
    painter.fillRect(QRect(0, 0, kBannerWidthPx, kBannerHeightPx), kBannerColour);

    QFont banner(QStringLiteral("Arial"));
    banner.setBold(true);
    banner.setPixelSize(qRound(kBannerFontPt * logicalDpiY() / kPointsPerInch) + kBannerFontGrowPx);

    painter.save();
    painter.setFont(banner);
    painter.setPen(Qt::black);
    painter.translate(kBannerTextXPx, kBannerTextYPx);
    painter.rotate(-90.0);
    painter.drawText(QPointF(0.0, QFontMetricsF(banner).ascent()), QStringLiteral("OVIN"));
    painter.restore();
}

} // namespace ovin
