"""What a screen reader finds of a program through AT-SPI: every control of
its windows, one a line: role | name | description | states, and a progress
bar's value or a status bar's text.
Usage: atspi_tree.py APPLICATION; exit status 3 while it is not on the
accessibility bus."""
import sys

import pyatspi

ROLES = {"entry", "push button", "check box", "progress bar", "status bar", "link", "check menu item"}
STATES = ("focusable", "enabled", "checked", "focused")


def walk(node):
    yield node
    for child in (node.getChildAtIndex(i) for i in range(node.childCount)):
        if child is not None:
            yield from walk(child)


apps = [app for app in pyatspi.Registry.getDesktop(0) if app is not None and app.name == sys.argv[1]]
if not apps:
    sys.exit(3)
for node in walk(apps[0]):
    role = node.getRoleName()
    if role not in ROLES:
        continue
    held = {pyatspi.stateToString(state) for state in node.getState().getStates()}
    fields = [role, node.name, node.description.replace("\n", " / "), ",".join(s for s in STATES if s in held)]
    if role == "progress bar":
        fields.append("%g" % node.queryValue().currentValue)
    if role == "status bar":
        fields.append(node.queryText().getText(0, -1))
    print(" | ".join(fields))
