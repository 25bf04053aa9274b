#include "PopupMenu.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

namespace ovin {

namespace {

constexpr int kItemWidthPx = 130;
// Absolute in the menu: the item area starts here whatever margin the style gives the item.
constexpr int kItemLeftPx = 25;

// Room kept after the longest caption where the desktop's menu font is larger
// than the one the 130 pixels were measured for.
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
            size.setWidth(std::max(kItemWidthPx, captionWidthPx(option)));
        return size;
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget) const override
    {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        if (element != PE_PanelMenu)
            return;
        // The gap between the strip and the items must show the same menu colour as an unselected item; styles
        // paint the panel in a colour of their own choosing.
        const int frameWidthPx = pixelMetric(PM_MenuPanelWidth, option, widget);
        painter->fillRect(option->rect.adjusted(frameWidthPx, frameWidthPx, -frameWidthPx, -frameWidthPx),
            option->palette.color(QPalette::Window));
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
        area.setLeft(kItemLeftPx);

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
    // The widest a caption needs, drawn bold (the heaviest style an item uses).
    static int captionWidthPx(const QStyleOption* option)
    {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (!item)
            return 0;
        QFont bold = item->font;
        bold.setBold(true);
        return kItemLeftPx + QFontMetrics(bold).horizontalAdvance(item->text) + kCaptionEndGapPx;
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
