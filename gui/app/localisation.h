#pragma once

// The interface speaks Chinese whatever LANG says: the default locale is zh_CN (the calendar's
// month and day names, number formats) and Qt's own texts (file dialogs, standard buttons, the
// edit menus of text boxes) come from Qt's Chinese translations. False when those are missing;
// the program then works with Qt's English texts.
bool useChineseInterface();
