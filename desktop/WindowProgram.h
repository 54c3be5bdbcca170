#pragma once

class QApplication;

// What the window program sets up once its application object exists and before its window: the
// C number format (Qt takes the locale from the environment; libmpv and our number formatting need
// the C form), the program's name and version, the user's folders and the current skin's look.
void pmPrepareWindowProgram(QApplication& application);
