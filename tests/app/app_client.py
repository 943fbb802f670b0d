# An automation client on python3-dbus, as another program on the desktop would
# talk to Kiv. Prints one line of JSON.
#   app_client.py automation FILE   get a document from the class factory, open FILE
#   app_client.py running           read the top level of the running document
import json
import sys

import dbus

DOC = 'org.halvane.Kiv.Document'
ITEMS = 'org.halvane.Kiv.Items'
ITEM = 'org.halvane.Kiv.Item'


def iface(bus, owner, path, name):
    return dbus.Interface(bus.get_object(owner, path, introspect=False), name)


def top_level(bus, owner, doc):
    root = iface(bus, owner, doc.GetItems(), ITEMS)
    count = int(root.GetCount())
    names = []
    for i in range(count):
        item = iface(bus, owner, root.GetItem(i), ITEM)
        names.append([int(item.IsFolder()), str(item.GetName()), str(item.GetUrl())])
    return count, names


def main():
    bus = dbus.SessionBus()
    result = {}
    if sys.argv[1] == 'automation':
        app = bus.get_object('org.halvane.Kiv.Application', '/Application', introspect=False)
        owner = app.bus_name
        path = dbus.Interface(app, 'org.halvane.Kiv.Application').CreateDocument()
        doc = iface(bus, owner, path, DOC)
        result['open'] = int(doc.Open(sys.argv[2]))
        result['count'], result['names'] = top_level(bus, owner, doc)
        # A copy started by a client is not the user's running document.
        result['registered'] = bool(bus.name_has_owner(DOC))
    else:
        owner = bus.get_name_owner(DOC)
        result['count'], result['names'] = top_level(bus, owner, iface(bus, owner, '/Document', DOC))
    print(json.dumps(result), flush=True)


main()
