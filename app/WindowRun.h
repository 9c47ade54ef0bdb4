#pragma once

class MainWindow;

// The window's life from start-up to its end, with the exit status: 0 after "END", the window's
// close or a signal; 1 when start-up failed. SIGTERM, SIGINT or SIGHUP end it once, as "END"
// does, at any moment of that life: in a box start-up opens before the main loop exists, in any
// box later, in the main loop. Needs the QApplication.
int RunWindow(MainWindow& window);
