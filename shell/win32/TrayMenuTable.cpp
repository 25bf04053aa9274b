#include "TrayMenuTable.h"

namespace ovin::win32 {

const std::array<TrayMenuItem, 4> kTrayMenuItems = {{
    {MenuCommand::Open1, "Otevřít", MenuItemStyle::Bold},
    {MenuCommand::UkonitTrovaniOvin1, "Ukončit Trovan + Ovin", MenuItemStyle::Regular},
    {MenuCommand::None, "-", MenuItemStyle::Separator},
    {MenuCommand::Exit1, "Konec", MenuItemStyle::MenuFont},
}};

const TrayMenuLook kTrayMenuLook{
    .itemWidthPx = 130,
    .itemLeftPx = 25,
    .bannerLeftPx = 0,
    .bannerTopPx = 0,
    .bannerRightPx = 20,
    .bannerBottomPx = 112,
    .bannerRed = 166,
    .bannerGreen = 202,
    .bannerBlue = 240,
    .bannerFont = "Arial",
    .bannerFontPoints = 8,
    .bannerEscapement = 900,
    .bannerHeightIncreasePx = 2,
    .bannerTextX = 2,
    .bannerTextY = 40,
    .bannerText = "OVIN",
};

} // namespace ovin::win32
