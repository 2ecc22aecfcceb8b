#!/usr/bin/python3
"""Works out, straight from the real mail files through libpff's Python
binding (Debian's python3-pypff), what a scan of them must find: the mail
folders read and their message counts, the folders skipped by class, and the
duplicate groups for Subject + Sender e-mail + body CRC, for Subject +
Sender e-mail alone and for the body CRC alone (each folder separately, and
across folders). The body is the best one a message has: its plain text,
else its HTML, else its compressed RTF, each form's CRC starting from its
own mark as the product's does. It reads
the files, not the profile that pstprofile writes, so it checks that tool as
much as the scan. Its output was written down once in RealStoresScanTest.cpp.

    apt-get install python3-pypff
    /usr/bin/python3 tests/realstores/derive_figures.py build/realstores/enron.pst \
        build/realstores/pstextractortest@outlook.com.ost build/realstores/pstextractortestpdf@outlook.com.ost
"""
import struct
import sys
from collections import OrderedDict

import pypff

PT_STRING8, PT_UNICODE, PT_BINARY = 0x001E, 0x001F, 0x0102
BLANKS = " \t\r\n"


def props(item):
    out = {}
    for entry in item.get_record_set(0).entries:
        try:
            out[entry.entry_type] = (entry.value_type, entry.data)
        except (IOError, OSError):
            continue
    return out


def text(p, tag):
    if tag not in p:
        return None
    vt, data = p[tag]
    if data is None:
        return ""
    if vt == PT_UNICODE:
        s = data.decode("utf-16-le")
    elif vt == PT_STRING8:
        s = data.decode("cp1252")
    else:
        return None
    return s.split("\0", 1)[0]


def crc(data):
    """CRC-32, reflected 0xEDB88320, register starting at 0, no final inversion."""
    r = 0
    for b in data:
        r ^= b
        for _ in range(8):
            r = (r >> 1) ^ 0xEDB88320 if r & 1 else r >> 1
    return r


FORM_MARKS = ((0x1013, "HTML", b"\0HTML\0"), (0x1009, "RTF", b"\0RTF\0"))


def best_body(mp):
    """(form, CRC, bytes) of the best body: the plain text, else the HTML, else the RTF."""
    body = text(mp, 0x1000) or ""
    if body:
        data = body.encode("utf-8")
        return "text", crc(data), data
    for tag, form, mark in FORM_MARKS:
        vt, data = mp.get(tag, (0, None))
        if vt == PT_BINARY and data:
            return form, crc(mark + data) or 1, data
    return "none", 0, b""


def subtree_of(f):
    store = props(f.get_message_store())
    key = store.get(0x0FF9, (0, b""))[1] or b""
    eid = store.get(0x35E0, (0, b""))[1] or b""
    root = f.get_root_folder()
    if len(eid) == 24 and eid[4:20] == key:
        node = struct.unpack("<I", eid[20:])[0]
        found = [None]

        def find(folder):
            if folder.identifier == node:
                found[0] = folder
            for sub in folder.sub_folders:
                find(sub)
        find(root)
        return found[0]
    mailbox = [s for s in root.sub_folders if s.name == "Root - Mailbox"][0]
    return [s for s in mailbox.sub_folders if s.name == "IPM_SUBTREE"][0]


def messages_of(path):
    """(store, folder, mail?, class, messages) for every folder of the IPM subtree, in walk order."""
    f = pypff.file()
    f.open(path)
    sp = props(f.get_message_store())
    store = text(sp, 0x3001) or path.rsplit("/", 1)[-1].rsplit(".", 1)[0]
    print("store %r: record key %s" % (store, (sp.get(0x0FF9, (0, b""))[1] or b"").hex().upper()))
    out = []

    def walk(folder):
        p = props(folder)
        cls = text(p, 0x3613)
        mail = cls in (None, "", "IPF.Note")
        msgs = []
        for i in range(folder.number_of_sub_messages):
            mp = props(folder.get_sub_message(i))
            subject = text(mp, 0x0037) or ""
            if subject.startswith("\x01"):
                subject = subject[2:]
            form, body_crc, body = best_body(mp)
            email = text(mp, 0x0065) or ""
            smtp = text(mp, 0x5D02)
            if (text(mp, 0x0064) or "") == "EX" and smtp:
                email = smtp
            msgs.append({"subject": subject.strip(BLANKS), "email": email.strip(BLANKS).lower(),
                         "crc": body_crc, "form": form, "body": body, "delivered": struct.unpack("<Q", mp[0x0E06][1])[0] if 0x0E06 in mp else 0})
        out.append((store, str(folder.name), mail, cls, msgs))
        for sub in folder.sub_folders:
            walk(sub)
    walk(subtree_of(f))
    return out


def groups(folders, fields, across):
    found = OrderedDict()
    for run, (store, name, mail, _, msgs) in enumerate(folders):
        if not mail:
            continue
        for m in msgs:
            key = tuple(m[f] for f in fields) + (() if across else (run,))
            found.setdefault(key, []).append((store, name, m))
    return [g for g in found.values() if len(g) > 1]


def main(paths):
    folders = [f for p in paths for f in messages_of(p)]
    print("messages read:", sum(len(m) for _, _, mail, _, m in folders if mail))
    print("\nmail folders with messages:")
    for store, name, mail, cls, msgs in folders:
        if mail and msgs:
            print("  %-32s %-26s %3d" % (store, name, len(msgs)))
    print("\nskipped by class (with messages):")
    for store, name, mail, cls, msgs in folders:
        if not mail and msgs:
            print("  %-32s %-26s %-18s %3d" % (store, name, cls, len(msgs)))
    forms = OrderedDict()
    for _, _, mail, _, msgs in folders:
        for m in msgs:
            if mail:
                forms[m["form"]] = forms.get(m["form"], 0) + 1
    print("\nbodies compared, by form:", ", ".join("%s %d" % f for f in forms.items()))
    field_sets = ((("subject", "email", "crc"), "Subject + Sender e-mail + body CRC"),
                  (("subject", "email"), "Subject + Sender e-mail"), (("crc",), "body CRC alone"))
    for fields, title in field_sets:
        for across in (False, True):
            print("\ngroups, %s, %s:" % (title, "across folders" if across else "each folder"))
            for g in groups(folders, fields, across):
                bodies = {m["body"] for _, _, m in g}
                crcs = sorted({"%s %08X" % (m["form"], m["crc"]) for _, _, m in g})
                subjects = sorted({m["subject"] for _, _, m in g})
                keep = min(g, key=lambda x: x[2]["delivered"])
                print("  %d x %r from %r (CRC %s, %s) in %s; keep the one delivered first, in %s" % (
                    len(g), " | ".join(subjects), g[0][2]["email"], ",".join(crcs),
                    "same body" if len(bodies) == 1 else "bodies differ",
                    sorted("%s/%s" % (s, n) for s, n, _ in g), keep[0] + "/" + keep[1]))


if __name__ == "__main__":
    main(sys.argv[1:])
