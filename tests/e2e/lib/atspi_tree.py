"""What a screen reader finds of the program, through AT-SPI.

Usage: atspi_tree.py APP controls | focused | text ROLE
  controls  every control of the program's windows, one a line:
            role | name | description | states (| value for a progress bar)
  focused   the role and name of the object that has the keyboard focus
  text ROLE the text of the first object of that role (a status bar's)
Exit status 3 when the program is not (yet) on the accessibility bus.
"""
import sys

import pyatspi

CONTROL_ROLES = {"entry", "push button", "check box", "progress bar", "status bar", "link", "check menu item",
                 "menu item", "menu", "radio menu item"}
STATES = ("focusable", "enabled", "checked", "focused")


def walk(accessible):
    yield accessible
    for i in range(accessible.childCount):
        child = accessible.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def states(accessible):
    held = {pyatspi.stateToString(s) for s in accessible.getState().getStates()}
    return ",".join(s for s in STATES if s in held)


def line(accessible):
    fields = [accessible.getRoleName(), accessible.name, accessible.description.replace("\n", " / "),
              states(accessible)]
    if accessible.getRoleName() == "progress bar":
        fields.append("%g" % accessible.queryValue().currentValue)
    return " | ".join(fields)


def application(name):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == name:
            return app
    return None


def main():
    app = application(sys.argv[1])
    if app is None:
        return 3
    command = sys.argv[2]
    objects = list(walk(app))
    if command == "controls":
        for accessible in objects:
            if accessible.getRoleName() in CONTROL_ROLES:
                print(line(accessible))
    elif command == "focused":
        focused = [a for a in objects if a.getState().contains(pyatspi.STATE_FOCUSED)]
        print("\n".join("%s | %s" % (a.getRoleName(), a.name) for a in focused))
    elif command == "text":
        for accessible in objects:
            if accessible.getRoleName() == sys.argv[3]:
                print(accessible.queryText().getText(0, -1))
                break
    return 0


if __name__ == "__main__":
    sys.exit(main())
