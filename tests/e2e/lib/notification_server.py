#!/usr/bin/python3
"""A desktop's notification service on the session bus that prints each
notification it is sent, one line of its arguments, and ends after the
first (or after ten seconds). Prints READY once it owns its name."""
from gi.repository import Gio, GLib

INTERFACE = Gio.DBusNodeInfo.new_for_xml("""<node><interface name='org.freedesktop.Notifications'>
<method name='Notify'><arg type='s' direction='in'/><arg type='u' direction='in'/><arg type='s' direction='in'/>
<arg type='s' direction='in'/><arg type='s' direction='in'/><arg type='as' direction='in'/>
<arg type='a{sv}' direction='in'/><arg type='i' direction='in'/><arg type='u' direction='out'/></method>
</interface></node>""").interfaces[0]
loop = GLib.MainLoop()


def called(connection, sender, path, interface, method, parameters, invocation):
    print(repr(parameters.unpack()), flush=True)
    invocation.return_value(GLib.Variant("(u)", (1,)))
    GLib.idle_add(loop.quit)


Gio.bus_own_name(Gio.BusType.SESSION, "org.freedesktop.Notifications", Gio.BusNameOwnerFlags.NONE,
                 lambda connection, name: connection.register_object(
                     "/org/freedesktop/Notifications", INTERFACE, called, None, None),
                 lambda connection, name: print("READY", flush=True), None)
GLib.timeout_add_seconds(10, loop.quit)
loop.run()
