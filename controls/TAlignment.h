#pragma once

namespace ovin {

/// Horizontal alignment of an edit's text.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

}  // namespace ovin
