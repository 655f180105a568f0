/* A program that Windows 7 would refuse: it imports GetDpiForWindow (Windows
   10 1607), and it is linked to ask for Windows 10 in its PE header. Its
   start-up is the program's own (wWinMain), so that it imports nothing else
   the list lacks. */
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR command_line, int show) {
  (void)instance;
  (void)previous;
  (void)command_line;
  (void)show;
  return (int)GetDpiForWindow(NULL);
}
