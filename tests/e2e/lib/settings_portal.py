"""A stand-in for the desktop's settings portal on the session bus, answering
only the colour scheme. Usage: settings_portal.py SCHEME (1: dark); each
SIGUSR1 switches between SCHEME and 0 (no preference) and tells the change."""
import signal
import sys

from gi.repository import Gio, GLib

INTERFACE = """<node><interface name="org.freedesktop.portal.Settings">
  <method name="Read"><arg type="s"/><arg type="s"/><arg type="v" direction="out"/></method>
  <signal name="SettingChanged"><arg type="s"/><arg type="s"/><arg type="v"/></signal>
</interface></node>"""
PATH, NAME, KEY = "/org/freedesktop/portal/desktop", "org.freedesktop.appearance", "color-scheme"
state = {"scheme": int(sys.argv[1]), "given": int(sys.argv[1])}


def read(bus, sender, path, interface, method, parameters, invocation):
    # Read wraps the value in one variant more than SettingChanged does.
    value = GLib.Variant("v", GLib.Variant("u", state["scheme"]))
    invocation.return_value(GLib.Variant("(v)", (value,)))


def switch(bus):
    state["scheme"] = 0 if state["scheme"] else state["given"]
    bus.emit_signal(None, PATH, "org.freedesktop.portal.Settings", "SettingChanged",
                    GLib.Variant("(ssv)", (NAME, KEY, GLib.Variant("u", state["scheme"]))))
    return GLib.SOURCE_CONTINUE


def acquired(bus, name):
    bus.register_object(PATH, Gio.DBusNodeInfo.new_for_xml(INTERFACE).interfaces[0], read, None, None)
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR1, switch, bus)
    print("ready", flush=True)


Gio.bus_own_name(Gio.BusType.SESSION, "org.freedesktop.portal.Desktop", Gio.BusNameOwnerFlags.NONE,
                 None, acquired, lambda *a: sys.exit(1))
GLib.MainLoop().run()
