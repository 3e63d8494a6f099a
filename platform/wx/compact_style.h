#pragma once
// Style rules the platform gives some of the toolkit's own controls: a dialog lays them out in
// dialog units, often lower than the theme draws them.

class wxWindow;

namespace platform {

// The drop list draws its closed box no higher than its text and frame need. GTK's theme pads
// the box to about 34 pixels whatever the font, and a dialog row is often half that: given the
// row, GTK cut the text at the bottom; given its own height, the box hung over the next control.
void draw_drop_list_compact(wxWindow& drop_list);

}  // namespace platform
