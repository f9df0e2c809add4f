'''udisks2 mock template: one optical drive whose medium can be mounted

The drive's block device object carries the Filesystem interface with Mount and
Unmount. Mount writes the mount into a mount table file, as the kernel would show it,
and answers with the mount point; Unmount takes it out again.

Parameters:
  drive       the drive's node name ("sr0"), its device numbers 11:N
  numbers     the device numbers, for a drive that is no optical one ("8:17" for "sdb1")
  fstype      the filesystem type in the table (default "iso9660")
  device      the mount's source in the table (default "/dev/" + drive)
  mountinfo   the mount table file that the program under test reads
  mount_point the folder where the medium is mounted
  refuse      true: every Mount is refused as not authorised
'''

import dbus

from dbusmock.mockobject import objects

SYSTEM_BUS = True
BUS_NAME = 'org.freedesktop.UDisks2'
MAIN_OBJ = '/org/freedesktop/UDisks2/Manager'
MAIN_IFACE = 'org.freedesktop.UDisks2.Manager'

BLOCK_IFACE = 'org.freedesktop.UDisks2.Block'
FILESYSTEM_IFACE = 'org.freedesktop.UDisks2.Filesystem'


def escape(path):
    return path.replace('\\', '\\134').replace(' ', '\\040').replace('\t', '\\011')


def load(mock, parameters):
    drive = parameters.get('drive', 'sr0')
    numbers = parameters.get('numbers') or '11:%d' % int(drive[2:])
    fstype = parameters.get('fstype', 'iso9660')
    mountinfo = parameters['mountinfo']
    point = parameters['mount_point']
    device = parameters.get('device', '/dev/' + drive)
    line = '%d 1 %s / %s rw,nosuid,nodev,relatime shared:1 - %s %s ro\n' % (
        900 + int(numbers.split(':')[1]), numbers, escape(point), fstype, escape(device))

    mock.AddMethods(MAIN_IFACE, [
        ('GetBlockDevices', 'a{sv}', 'ao',
         'ret = [dbus.ObjectPath("/org/freedesktop/UDisks2/block_devices/%s")]' % drive),
    ])

    mount = '''
options = args[0]
if not options.get('auth.no_user_interaction', False):
    raise dbus.exceptions.DBusException('would ask the user to authenticate',
                                        name='org.freedesktop.UDisks2.Error.Failed')
if %r:
    raise dbus.exceptions.DBusException('Not authorized to perform operation',
                                        name='org.freedesktop.UDisks2.Error.NotAuthorized')
with open(%r, 'a') as table:
    table.write(%r)
ret = %r
''' % (bool(parameters.get('refuse', False)), mountinfo, line, point)
    unmount = '''
with open(%r) as table:
    lines = [l for l in table if l != %r]
with open(%r, 'w') as table:
    table.writelines(lines)
''' % (mountinfo, line, mountinfo)

    mock.AddObject('/org/freedesktop/UDisks2/block_devices/' + drive, BLOCK_IFACE,
                   {'Device': dbus.ByteArray(('/dev/%s' % drive).encode() + b'\0'),
                    'IdUsage': 'filesystem', 'IdType': fstype}, [])
    block = objects['/org/freedesktop/UDisks2/block_devices/' + drive]
    block.AddProperties(FILESYSTEM_IFACE, {'MountPoints': dbus.Array([], signature='ay')})
    block.AddMethods(FILESYSTEM_IFACE, [
        ('Mount', 'a{sv}', 's', mount),
        ('Unmount', 'a{sv}', '', unmount),
    ])
