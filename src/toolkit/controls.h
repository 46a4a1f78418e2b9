#pragma once
// Small touches that make controls look and act alike across the windows.
class QLabel;
class QWidget;

namespace velmora {

// A label that reads as a link: underlined, a hand cursor, and the hint
// "Open link in default browser". What a click opens is the caller's.
void linklabel(QLabel* label);

// Every push button on page wraps a caption too long for its width onto
// further lines, growing in height as far as its layout lets it.
void multilinebuttons(QWidget* page);

} // namespace velmora
