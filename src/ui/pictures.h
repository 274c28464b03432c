#pragma once
// The program's own pictures, drawn in code: the three working-mode charts,
// the side-menu icons, the pointing-hand pointer, the background of the left
// part of the main window and the program icon.

#include <QImage>

namespace ui {

// Chart of working mode 0, 1 or 2 (picture number mode + 1): 447 x 224 pixels
// for mode 0, 393 x 224 for modes 1 and 2.
QImage DrawChart(int mode);

QImage DrawExclamationIcon();  // 32 x 32, "TRYB PRACY"
QImage DrawNotepadIcon();      // 32 x 32, "PARAMETRY WAGI"
QImage DrawCableIcon();        // 32 x 32, "POŁĄCZENIE"
QImage DrawComputersIcon();    // 32 x 32, the simulator
QImage DrawChipIcon();         // 32 x 32, the frame options
QImage DrawHandPointer();      // 32 x 32, hot spot at column 12, row 1
QImage DrawProgramIcon();      // 32 x 32
// The background, drawn at size; a null picture where there is no memory for it.
QImage DrawBackground(QSize size);

// Registers every picture under the name the window descriptions use
// ("chart_1".."chart_3", "icon_exclamation", "icon_notepad", "icon_cable",
// "icon_computers", "icon_chip", "hand", "background", "program_icon").
// Safe to call more than once.
void RegisterPictures();

}  // namespace ui
