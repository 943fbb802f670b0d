# A client of the Kiv automation model written against python3-dbus, the way any
# other program on the desktop would talk to Kiv. Prints JSON for the test.
import json
import sys

import dbus

NAME = 'org.halvane.Kiv.Document'
DOC = 'org.halvane.Kiv.Document'
ITEMS = 'org.halvane.Kiv.Items'
ITEM = 'org.halvane.Kiv.Item'


def proxy(bus, owner, path, iface):
    return dbus.Interface(bus.get_object(owner, path, introspect=False), iface)


def items(bus, owner, path):
    return proxy(bus, owner, path, ITEMS)


def item(bus, owner, path):
    return proxy(bus, owner, path, ITEM)


def walk(bus, owner, path):
    coll = items(bus, owner, path)
    out = []
    for i in range(int(coll.GetCount())):
        p = coll.GetItem(i)
        it = item(bus, owner, p)
        entry = {'folder': int(it.IsFolder()), 'name': str(it.GetName()),
                 'url': str(it.GetUrl()), 'comment': str(it.GetComment())}
        sub = it.GetItems()
        entry['items'] = walk(bus, owner, sub)
        items(bus, owner, sub).Release()
        it.Release()
        out.append(entry)
    return out


def describe(bus, owner, path):
    if path == '/':
        return None
    it = item(bus, owner, path)
    return {'folder': int(it.IsFolder()), 'name': str(it.GetName()),
            'url': str(it.GetUrl()), 'comment': str(it.GetComment())}


def main():
    bus = dbus.SessionBus()
    cmd = sys.argv[1]
    result = {}
    if cmd == 'automation':
        app = bus.get_object('org.halvane.Kiv.Application', '/Application', introspect=False)
        owner = app.bus_name
        doc_path = dbus.Interface(app, 'org.halvane.Kiv.Application').CreateDocument()
        doc = proxy(bus, owner, doc_path, DOC)
        result['document'] = str(doc_path)
        result['open'] = int(doc.Open(sys.argv[2]))
        root = doc.GetItems()
        result['tree'] = walk(bus, owner, root)
        result['registered'] = bool(bus.name_has_owner(NAME))
        # A second client gets a copy of its own.
        other_bus = dbus.bus.BusConnection(dbus.bus.BUS_SESSION)
        app2 = other_bus.get_object('org.halvane.Kiv.Application', '/Application', introspect=False)
        dbus.Interface(app2, 'org.halvane.Kiv.Application').CreateDocument()
        result['second_is_new_copy'] = app2.bus_name != owner
        print(json.dumps(result), flush=True)
        return
    owner = bus.get_name_owner(NAME)
    doc = proxy(bus, owner, '/Document', DOC)
    if cmd == 'walk':
        root = doc.GetItems()
        result['tree'] = walk(bus, owner, root)
        items(bus, owner, root).Release()
    elif cmd == 'edges':
        root_path = doc.GetItems()
        root = items(bus, owner, root_path)
        n = int(root.GetCount())
        result['count'] = n
        result['items'] = [describe(bus, owner, root.GetItem(i)) for i in range(n)]
        result['past_end'] = str(root.GetItem(n))
        result['negative'] = str(root.GetItem(-1))
        result['distinct'] = n == 0 or root.GetItem(0) != root.GetItem(0)
        result['sub_counts'] = [int(items(bus, owner, item(bus, owner, root.GetItem(i)).GetItems()).GetCount())
                                for i in range(n)]
        result['open_missing'] = int(doc.Open('/nonexistent/missing.kiv'))
    elif cmd == 'stale':
        # Hold a collection, a folder item, its collection and a bookmark inside it
        # while the window edits, then ask them again.
        root = items(bus, owner, doc.GetItems())
        folder_path = root.GetItem(int(sys.argv[2]))
        folder = item(bus, owner, folder_path)
        sub_path = folder.GetItems()
        sub = items(bus, owner, sub_path)
        mark_path = sub.GetItem(0)
        before = {'folder': describe(bus, owner, folder_path), 'count': int(sub.GetCount()),
                  'mark': describe(bus, owner, mark_path)}
        print('holding', flush=True)
        sys.stdin.readline()
        after = {'folder': describe(bus, owner, folder_path), 'count': int(sub.GetCount()),
                 'item0': str(sub.GetItem(0)), 'mark': describe(bus, owner, mark_path),
                 'root_count': int(root.GetCount()),
                 'folder_items_count': int(items(bus, owner, folder.GetItems()).GetCount())}
        result = {'before': before, 'after': after}
    elif cmd == 'open':
        root = items(bus, owner, doc.GetItems())
        held = root.GetItem(0)
        result['open'] = int(doc.Open(sys.argv[2]))
        result['held'] = describe(bus, owner, held)
        result['tree'] = walk(bus, owner, doc.GetItems())
    elif cmd == 'release':
        path = doc.GetItems()
        coll = items(bus, owner, path)
        coll.Release()
        try:
            coll.GetCount()
            result['after_release'] = 'answered'
        except dbus.exceptions.DBusException as e:
            result['after_release'] = e.get_dbus_name()
    print(json.dumps(result), flush=True)


main()
