// Asks a window to close, as a window manager's close button does.
#include <X11/Xlib.h>

bool close_window(unsigned long id) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  XEvent close{};
  close.xclient.type = ClientMessage;
  close.xclient.window = id;
  close.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  close.xclient.data.l[1] = CurrentTime;
  const bool sent = XSendEvent(display, id, False, NoEventMask, &close) != 0;
  XCloseDisplay(display);
  return sent;
}
