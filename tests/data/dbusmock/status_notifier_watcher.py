'''StatusNotifierWatcher mock template: the D-Bus status icon host of a desktop's panel

A program's icon registers with RegisterStatusNotifierItem, naming its bus name; the
watcher lists it in RegisteredStatusNotifierItems, announces it, and says that a host
is there to show the icons.
'''

import dbus

SYSTEM_BUS = False
BUS_NAME = 'org.kde.StatusNotifierWatcher'
MAIN_OBJ = '/StatusNotifierWatcher'
MAIN_IFACE = 'org.kde.StatusNotifierWatcher'


def load(mock, parameters):
    mock.AddProperties(MAIN_IFACE, {
        'IsStatusNotifierHostRegistered': dbus.Boolean(True),
        'ProtocolVersion': dbus.Int32(0),
        'RegisteredStatusNotifierItems': dbus.Array([], signature='s'),
    })
    register = '''
service = args[0]
items = list(self.Get('%s', 'RegisteredStatusNotifierItems'))
if service not in items:
    items.append(service)
self.Set('%s', 'RegisteredStatusNotifierItems', dbus.Array(items, signature='s'))
self.EmitSignal('%s', 'StatusNotifierItemRegistered', 's', [service])
''' % (MAIN_IFACE, MAIN_IFACE, MAIN_IFACE)
    mock.AddMethods(MAIN_IFACE, [
        ('RegisterStatusNotifierItem', 's', '', register),
        ('RegisterStatusNotifierHost', 's', '', ''),
    ])
