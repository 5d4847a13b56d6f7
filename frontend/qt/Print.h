// Printed page frame and centred text.  Everything draws through a QPainter,
// so a page can go to the printer, a PDF or an image alike.
#pragma once

#include <string>

class QPainter;
class QPrinter;

namespace kirmel::qt {

// Draws `text` in the middle of the rectangle, in the painter's current font:
// x = left + (width - text width) / 2, y = top + (height - text height) / 2.
void TextOutCentered(QPainter& painter, const std::string& text, int left, int top, int width,
                     int height);

// Frames the painter's whole device as a page: a border, a title band at the
// top with `title`, a band at the bottom with the program versions, and the
// date and time in the bottom right corner, half a line of its text clear of
// the frame.  Returns the area between the bands in which the caller draws:
//   band = H / 14, Left = 4, Top = band + 4, Width = W - 8,
//   Height = H - 2 * band - 8   (W, H: the device's size in pixels).
void PrintPageFrame(QPainter& painter, const std::string& title, int& left, int& top, int& width,
                    int& height);
// The same on the upper half of the page (H = device height / 2).
void PrintHalfPageFrame(QPainter& painter, const std::string& title, int& left, int& top,
                        int& width, int& height);

// The program's printer, set up by "Printer setup..." and used for printing.
QPrinter& ThePrinter();
// True when the system has at least one printer.
bool PrinterInstalled();

}  // namespace kirmel::qt
