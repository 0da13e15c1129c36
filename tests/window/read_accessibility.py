# Prints what a screen reader reads of an application over AT-SPI: one line for each of
# its accessible objects, "role<TAB>name", a line break in a name shown as "\n".
import sys

import pyatspi


def walk(accessible, depth=0):
    if accessible is None or depth > 20:
        return
    name = (accessible.name or "").replace("\n", "\\n")
    print(f"{accessible.getRoleName()}\t{name}")
    for i in range(accessible.childCount):
        walk(accessible.getChildAtIndex(i), depth + 1)


for application in pyatspi.Registry.getDesktop(0):
    if application is not None and application.name == sys.argv[1]:
        walk(application)
        sys.exit(0)
print(f"no application named {sys.argv[1]} on the accessibility bus", file=sys.stderr)
sys.exit(1)
