# What a screen reader reads of an application over AT-SPI.
#   read_accessibility.py APP: one line for each of its accessible objects,
#     "role<TAB>name<TAB>description<TAB>focusable" (or "" for the last), a line break in
#     a text shown as "\n";
#   read_accessibility.py APP --listen SECONDS: "ready" once listening, then a line
#     "role<TAB>description" for each description that the application announces as
#     changed within so many seconds;
#   read_accessibility.py APP --text NAME: the whole text of its object named NAME, as
#     a screen reader reads it through the text interface.
import sys

import pyatspi
from gi.repository import GLib


def shown(text):
    return (text or "").replace("\n", "\\n")


def walk(accessible, depth=0):
    if accessible is None or depth > 20:
        return
    focusable = "focusable" if accessible.getState().contains(pyatspi.STATE_FOCUSABLE) else ""
    print(f"{accessible.getRoleName()}\t{shown(accessible.name)}\t{shown(accessible.description)}\t{focusable}")
    for i in range(accessible.childCount):
        walk(accessible.getChildAtIndex(i), depth + 1)


def named(accessible, name, depth=0):
    if accessible is None or depth > 20:
        return None
    if accessible.name == name:
        return accessible
    for i in range(accessible.childCount):
        found = named(accessible.getChildAtIndex(i), name, depth + 1)
        if found is not None:
            return found
    return None


def listen(application, seconds):
    def changed(event):
        if event.host_application is not None and event.host_application.name == application:
            print(f"{event.source.getRoleName()}\t{shown(event.source.description)}", flush=True)

    pyatspi.Registry.registerEventListener(changed, "object:property-change:accessible-description")

    # The application learns of the listener over the bus: a moment before "ready".
    def ready():
        print("ready", flush=True)
        return False

    GLib.timeout_add(500, ready)
    GLib.timeout_add(int(seconds * 1000), lambda: pyatspi.Registry.stop())
    pyatspi.Registry.start()


if len(sys.argv) == 4 and sys.argv[2] == "--listen":
    listen(sys.argv[1], float(sys.argv[3]))
    sys.exit(0)
for application in pyatspi.Registry.getDesktop(0):
    if application is not None and application.name == sys.argv[1]:
        if len(sys.argv) == 4 and sys.argv[2] == "--text":
            found = named(application, sys.argv[3])
            if found is None:
                print(f"nothing named {sys.argv[3]}", file=sys.stderr)
                sys.exit(1)
            text = found.queryText()
            sys.stdout.write(text.getText(0, text.characterCount))
            sys.exit(0)
        walk(application)
        sys.exit(0)
print(f"no application named {sys.argv[1]} on the accessibility bus", file=sys.stderr)
sys.exit(1)
