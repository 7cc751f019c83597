#!/usr/bin/python3
"""Prints the accessibility tree of a running application as the desktop's
accessibility bus (AT-SPI, which screen readers read) has it: one element a
line, indented by depth, with its role, name, description and the states a
listener hears (checked, selected, focused).

    atspi-dump.py APP [--controls] [--press NAME | --sleep SECONDS | --dump TITLE]...

APP is the application's name on the bus ("Quorvel"). The steps run in
order: --press presses the first showing element so named (its first
action) and waits a second, --sleep waits, --dump prints the tree under a
title (once at the end when no step dumps). With --controls only the
elements a user acts on are printed, with the count of those without a
name."""

import sys
import time

import pyatspi

CONTROLS = {
    "push button", "toggle button", "check box", "radio button", "text", "entry",
    "password text", "combo box", "slider", "spin button", "list item", "page tab",
    "menu item", "link", "table cell",
}
HEARD = [
    (pyatspi.STATE_CHECKED, "checked"),
    (pyatspi.STATE_SELECTED, "selected"),
    (pyatspi.STATE_FOCUSED, "focused"),
]


def application(name, wait):
    desktop = pyatspi.Registry.getDesktop(0)
    end = time.time() + wait
    while True:
        for app in desktop:
            if app is not None and app.name == name:
                return app
        if time.time() > end:
            names = [app.name for app in desktop if app is not None]
            sys.exit(f"atspi-dump: no application {name} on the bus (there are: {names})")
        time.sleep(0.5)


def showing(element):
    states = element.getState()
    return states.contains(pyatspi.STATE_SHOWING) or element.getRoleName() == "application"


def walk(element, depth=0):
    if element is None or not showing(element):
        return
    yield depth, element
    for child in element:
        yield from walk(child, depth + 1)


def line(element):
    states = element.getState()
    heard = [word for state, word in HEARD if states.contains(state)]
    text = f'{element.getRoleName()} "{element.name}"'
    if element.description:
        text += f" ({element.description})"
    if heard:
        text += " [" + ", ".join(heard) + "]"
    return text


def press(app, name):
    for _, element in walk(app):
        if element.name == name:
            action = element.queryAction()
            if action.nActions > 0:
                action.doAction(0)
                time.sleep(1)
                return
    sys.exit(f"atspi-dump: nothing named {name} to press")


def dump(app, controls):
    unnamed = 0
    for depth, element in walk(app):
        is_control = element.getRoleName() in CONTROLS
        if controls and not is_control:
            continue
        if is_control and not element.name.strip():
            unnamed += 1
        print("  " * (0 if controls else depth) + line(element))
    print(f"-- {unnamed} controls without a name")


def main(argv):
    if not argv or argv[0].startswith("-"):
        sys.exit(__doc__)
    app = application(argv[0], 20)
    rest = argv[1:]
    controls = "--controls" in rest
    dumped = False
    i = 0
    # The steps run in the order given: presses, pauses and dumps.
    while i < len(rest):
        if rest[i] == "--press":
            press(app, rest[i + 1])
            i += 1
        elif rest[i] == "--sleep":
            time.sleep(float(rest[i + 1]))
            i += 1
        elif rest[i] == "--dump":
            print(f"== {rest[i + 1]}")
            dump(app, controls)
            dumped = True
            i += 1
        i += 1
    if not dumped:
        dump(app, controls)


if __name__ == "__main__":
    main(sys.argv[1:])
