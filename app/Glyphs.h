#pragma once

#include <QIcon>

namespace tavisto {

// The navigator buttons' roles, which pick their glyphs.
enum class TNavigateRole { First, Prior, Next, Last };

// A 16 x 16 glyph for a navigator button: a triangle pointing the way of the move, with a bar
// for the moves to the first and the last row.
QIcon NavigatorGlyph(TNavigateRole role);

// The log window's 16 x 16 icon: a ruled sheet with a striped table on it.
QIcon LogfileIcon();

}  // namespace tavisto
