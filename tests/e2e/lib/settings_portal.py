"""A stand-in for the desktop's settings portal (org.freedesktop.portal.Settings)
on the session bus, answering only the colour scheme.

Usage: settings_portal.py SCHEME   (0: no preference, 1: dark, 2: light)
Each SIGUSR1 switches between the scheme given and 0, and tells the change.
"""
import signal
import sys

from gi.repository import Gio, GLib

INTERFACE = """
<node><interface name="org.freedesktop.portal.Settings">
  <method name="Read"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
  <method name="ReadOne"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
  <signal name="SettingChanged"><arg type="s"/><arg type="s"/><arg type="v"/></signal>
  <property name="version" type="u" access="read"/>
</interface></node>"""
NAMESPACE, KEY = "org.freedesktop.appearance", "color-scheme"
given = int(sys.argv[1])
scheme = given
connection = None


def call(bus, sender, path, interface, method, parameters, invocation):
    if tuple(parameters.unpack()) != (NAMESPACE, KEY):
        invocation.return_dbus_error("org.freedesktop.portal.Error.NotFound", "no such setting")
        return
    value = GLib.Variant("u", scheme)
    # Read, the older method, wraps the value in one variant more.
    if method == "Read":
        value = GLib.Variant("v", value)
    invocation.return_value(GLib.Variant("(v)", (value,)))


def switch():
    global scheme
    scheme = 0 if scheme == given else given
    connection.emit_signal(None, "/org/freedesktop/portal/desktop", "org.freedesktop.portal.Settings",
                           "SettingChanged", GLib.Variant("(ssv)", (NAMESPACE, KEY, GLib.Variant("u", scheme))))
    return GLib.SOURCE_CONTINUE


def acquired(bus, name):
    global connection
    connection = bus
    info = Gio.DBusNodeInfo.new_for_xml(INTERFACE).interfaces[0]
    bus.register_object("/org/freedesktop/portal/desktop", info, call, lambda *a: GLib.Variant("u", 2), None)
    print("ready", flush=True)


Gio.bus_own_name(Gio.BusType.SESSION, "org.freedesktop.portal.Desktop", Gio.BusNameOwnerFlags.NONE,
                 None, acquired, lambda *a: sys.exit(1))
GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGUSR1, switch)
GLib.MainLoop().run()
