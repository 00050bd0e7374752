#ifndef BRENVO_STRATEGY_COLOUR_NAMES_H
#define BRENVO_STRATEGY_COLOUR_NAMES_H

// The X11 colour names an XPM file may give instead of a number: the names
// the common image tools write (ImageMagick writes one wherever a colour is
// exactly a named one), a few more classic ones, and gray0 to gray100. Case,
// blanks and the spelling "grey" do not matter. A fixed table: never
// allocates, never reads past the name it is given.

#include <string_view>

namespace ColourNames {

// The colour `name` stands for, as 0xRRGGBB; false for a name not in the
// table.
bool find(std::string_view name, unsigned* rgb);

}  // namespace ColourNames

#endif
