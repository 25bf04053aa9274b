#include "DialogTexts.h"

namespace ovin::win32 {

const DialogTexts kDialogTexts{
    .questionFont = "Tahoma",
    .questionFontPoints = 8,
    .yesCaption = "&Ano",
    .noCaption = "&Ne",
    .yesCaptionDebug = "&Ofšemže",
    .noCaptionDebug = "&Jistě že ne",
    .exitQuestion = "Ukončit program Ovin ?",
    .exitCaption = "Ukončení",
};

} // namespace ovin::win32
