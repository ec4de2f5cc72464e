#!/usr/bin/env python3
"""Compares two Qt Designer forms (.ui) by meaning, not by text.

    ui-compare.py BEFORE.ui AFTER.ui

Formatting is ignored: white space between elements, the order of
attributes, the order of properties within an element and the two ways of
writing an empty element. Everything else that differs is told, one line
each, in three groups:

  MATTERS   object names, classes, where an object sits (its parent, its
            place in a layout), texts, tool tips, status tips, "What's
            This", accessible names and descriptions, buddies, shortcuts,
            window titles, pictures and icons, any other text property,
            layouts and their properties, the tab order, resources, custom
            widgets, connections and the menus' actions;
  OTHER     any other property or attribute added, removed or changed;
  SAME      the same value written another way: a flag set written as an
            enum, flags in another order, an alias (Qt::AlignLeading is
            Qt::AlignLeft), or a spacer's size or orientation written out or
            left out at the value uic takes when it is left out.

Exit status: 0 when nothing MATTERS differs, 1 when something does, 2 when
a file cannot be read.
"""

import sys
import xml.etree.ElementTree as ET

# Elements that name an object of the form.
NAMED = ("widget", "layout", "spacer", "action", "actiongroup")
# Properties whose change MATTERS whatever their type.
MATTERING_PROPERTIES = {
    "objectName", "text", "toolTip", "statusTip", "whatsThis",
    "accessibleName", "accessibleDescription", "buddy", "shortcut",
    "windowTitle", "title", "label", "pixmap", "icon", "windowIcon",
    "placeholderText", "plainText", "html", "inputMask", "iconText",
}
# Types of values that carry text: a change of any of them MATTERS.
TEXT_TYPES = ("string", "stringlist", "cstring", "char", "url")
# Values uic takes when a property is left out: writing one of them out
# changes nothing.
DEFAULTS = {
    ("spacer", "sizeHint"): ("size", (("width", "0"), ("height", "0"))),
    ("spacer", "orientation"): ("enum", "Qt::Horizontal"),
}
# Flags that are two names of one value.
FLAG_ALIASES = {
    "Qt::AlignLeading": "Qt::AlignLeft",
    "Qt::AlignTrailing": "Qt::AlignRight",
}


def text_of(e):
    return e.text if e.text is not None else ""


def render(e):
    """One line for a value element: type, attributes and contents."""
    attrs = "".join(f" {k}={v!r}" for k, v in sorted(e.attrib.items()))
    kids = list(e)
    if not kids:
        return f"<{e.tag}{attrs}>{text_of(e)!r}"
    inner = ", ".join(render(k) for k in kids)
    return f"<{e.tag}{attrs}>({inner})"


def canon(e):
    """A comparable form of an element: formatting and property order gone."""
    kids = list(e)
    props = sorted(canon(k) for k in kids if k.tag in ("property", "attribute"))
    rest = tuple(canon(k) for k in kids if k.tag not in ("property", "attribute"))
    text = text_of(e) if not kids else text_of(e).strip()
    return (e.tag, tuple(sorted(e.attrib.items())), text, tuple(props), rest)


def flags(text):
    return [t.strip() for t in text.split("|") if t.strip()]


def is_default(kind, name, v):
    want = DEFAULTS.get((kind, name))
    if want is None or v.tag != want[0]:
        return False
    if isinstance(want[1], str):
        return len(v) == 0 and text_of(v).strip() == want[1]
    return tuple((k.tag, text_of(k).strip()) for k in v) == want[1]


def value_relation(a, b):
    """'equal', 'same' (same value written another way) or 'differs'."""
    if canon(a) == canon(b):
        return "equal"
    if len(a) == 0 and len(b) == 0 and a.tag in ("set", "enum") and b.tag in ("set", "enum") \
            and a.attrib == b.attrib:
        fa, fb = flags(text_of(a)), flags(text_of(b))
        if sorted(set(FLAG_ALIASES.get(f, f) for f in fa)) == \
                sorted(set(FLAG_ALIASES.get(f, f) for f in fb)):
            return "same"
    return "differs"


class Obj:
    """One named object of a form and what belongs to it alone."""

    def __init__(self, elem, key, parent, place):
        self.elem = elem
        self.key = key            # how the report names it
        self.kind = elem.tag
        self.cls = elem.get("class", "")
        self.parent = parent      # key of the nearest named ancestor
        self.place = place        # (index among its siblings, item attributes)
        self.attrs = {k: v for k, v in elem.attrib.items() if k not in ("name", "class")}
        self.props = {}           # ("property"|"attribute", name) -> value element
        self.prop_attrs = {}      # same key -> the property element's attributes
        self.extras = []          # other own children: addaction, zorder, row, column, item
        for k in elem:
            if k.tag in ("property", "attribute"):
                pk = (k.tag, k.get("name", ""))
                vals = list(k)
                self.props[pk] = vals[0] if vals else k
                self.prop_attrs[pk] = {a: v for a, v in k.attrib.items() if a != "name"}
            elif k.tag not in NAMED and not (k.tag == "item" and elem.tag == "layout"):
                self.extras.append(k)


def collect(root):
    """The form's named objects, by name, in document order."""
    objs = {}
    unnamed = [0]

    def key_for(e):
        name = e.get("name")
        if not name:
            unnamed[0] += 1
            name = f"(unnamed {e.get('class', e.tag)} #{unnamed[0]})"
        return name

    def walk(e, parent):
        index = 0
        for k in e:
            if k.tag in NAMED:
                key = key_for(k)
                objs[key] = Obj(k, key, parent, (index, ()))
                index += 1
                walk(k, key)
            elif k.tag == "item" and e.tag == "layout":
                item_attrs = tuple(sorted(k.attrib.items()))
                for c in k:
                    if c.tag in NAMED:
                        key = key_for(c)
                        objs[key] = Obj(c, key, parent, (index, item_attrs))
                        walk(c, key)
                index += 1

    for top in root:
        if top.tag == "widget":
            key = key_for(top)
            objs[key] = Obj(top, key, None, (0, ()))
            walk(top, key)
        elif top.tag in ("action", "actiongroup"):  # not where Designer puts them, but legal
            key = key_for(top)
            objs[key] = Obj(top, key, None, (0, ()))
            walk(top, key)
    return objs


def label(o):
    return f"{o.cls or o.kind} '{o.key}'" if o.cls else f"{o.kind} '{o.key}'"


def in_layout(objs, o):
    p = objs.get(o.parent) if o.parent else None
    return p is not None and p.kind == "layout"


def compare(old_root, new_root):
    matters, other, same = [], [], []
    old, new = collect(old_root), collect(new_root)

    for key in old:
        if key not in new:
            o = old[key]
            hint = ""
            if o.kind == "widget" and o.cls == "QWidget" and o.elem.get("native") != "true" \
                    and o.elem.find("layout") is not None:
                hint = (" (a plain QWidget holding a layout is read by Designer as a mere layout"
                        " unless it carries native=\"true\")")
            matters.append(f"{label(o)} is gone{hint}")
    for key in new:
        if key not in old:
            n = new[key]
            where = f" in '{n.parent}'" if n.parent else ""
            matters.append(f"{label(n)} is new{where}")

    for key, o in old.items():
        n = new.get(key)
        if n is None:
            continue
        what = label(o)
        if (o.kind, o.cls) != (n.kind, n.cls):
            matters.append(f"{what} is now {n.kind} of class {n.cls!r}")
        if o.parent != n.parent:
            matters.append(f"{what} moved from '{o.parent}' to '{n.parent}'")
        else:
            if o.place[1] != n.place[1]:
                matters.append(f"{what}: its layout item {dict(o.place[1])} is now {dict(n.place[1])}")
            if o.place[0] != n.place[0] and not (o.place[1] and o.place[1] == n.place[1]
                                                 and any(k == "row" for k, _ in o.place[1])):
                place = "in the layout" if in_layout(old, o) else "among its siblings"
                group = matters if in_layout(old, o) or o.kind == "layout" else other
                group.append(f"{what}: place {place} {o.place[0]} is now {n.place[0]}")
        for a in sorted(set(o.attrs) | set(n.attrs)):
            va, vb = o.attrs.get(a), n.attrs.get(a)
            if va != vb:
                group = matters if o.kind == "layout" else other
                group.append(f"{what}: attribute {a} {va!r} -> {vb!r}")
        layoutish = o.kind in ("layout", "spacer")
        for pk in sorted(set(o.props) | set(n.props)):
            kind, name = pk
            pname = name if kind == "property" else f"{kind} {name}"
            va, vb = o.props.get(pk), n.props.get(pk)
            textual = any(v is not None and v.tag in TEXT_TYPES for v in (va, vb))
            mattering = name in MATTERING_PROPERTIES or textual or layoutish
            group = matters if mattering else other
            if va is None and kind == "property" and is_default(o.kind, name, vb):
                same.append(f"{what}: {pname} written out at uic's default {render(vb)}")
            elif vb is None and kind == "property" and is_default(o.kind, name, va):
                same.append(f"{what}: {pname} left out, uic's default {render(va)}")
            elif va is None:
                group.append(f"{what}: {pname} added: {render(vb)}")
            elif vb is None:
                group.append(f"{what}: {pname} removed (was {render(va)})")
            else:
                rel = value_relation(va, vb)
                if rel == "same":
                    same.append(f"{what}: {pname} {render(va)} written as {render(vb)}")
                elif rel == "differs":
                    group.append(f"{what}: {pname} {render(va)} -> {render(vb)}")
                if o.prop_attrs.get(pk) != n.prop_attrs.get(pk):
                    other.append(f"{what}: {pname} attributes {o.prop_attrs.get(pk)} -> "
                                 f"{n.prop_attrs.get(pk)}")
        ex_o = [canon(e) for e in o.extras]
        ex_n = [canon(e) for e in n.extras]
        if ex_o != ex_n:
            acts_o = [e.get("name") for e in o.extras if e.tag == "addaction"]
            acts_n = [e.get("name") for e in n.extras if e.tag == "addaction"]
            if acts_o != acts_n:
                matters.append(f"{what}: actions {acts_o} -> {acts_n}")
            rest_o = [canon(e) for e in o.extras if e.tag != "addaction"]
            rest_n = [canon(e) for e in n.extras if e.tag != "addaction"]
            if rest_o != rest_n:
                items_o = [render(e) for e in o.extras if e.tag != "addaction"]
                items_n = [render(e) for e in n.extras if e.tag != "addaction"]
                gone = [x for x in items_o if x not in items_n]
                came = [x for x in items_n if x not in items_o]
                detail = f"removed {gone} added {came}" if gone or came else "reordered"
                (matters if any(e.tag == "item" for e in o.extras + n.extras) else other).append(
                    f"{what}: contents ({detail})")

    # The form's other sections, each as a whole.
    def sections(root):
        out = {}
        for e in root:
            # An empty section (<resources/>, <connections/>) says what
            # leaving it out says.
            if e.tag not in ("widget",) + NAMED and (len(e) or text_of(e).strip()):
                out.setdefault(e.tag, []).append(e)
        return out

    so, sn = sections(old_root), sections(new_root)
    for tag in sorted(set(so) | set(sn)):
        eo, en = so.get(tag, []), sn.get(tag, [])
        if [canon(e) for e in eo] == [canon(e) for e in en]:
            continue
        group = matters if tag in ("class", "tabstops", "resources", "customwidgets",
                                   "connections", "buddies", "slots", "designerdata",
                                   "includes", "layoutdefault", "layoutfunction",
                                   "pixmapfunction", "exportmacro") else other
        if tag == "tabstops":
            to = [text_of(t) for e in eo for t in e]
            tn = [text_of(t) for e in en for t in e]
            if to == tn:
                continue
            group.append(f"tab order {to} -> {tn}")
        else:
            group.append(f"<{tag}>: {[render(e) for e in eo]} -> {[render(e) for e in en]}")
    if old_root.attrib != new_root.attrib:
        other.append(f"<ui> attributes {old_root.attrib} -> {new_root.attrib}")
    return matters, other, same


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    try:
        old_root = ET.parse(argv[1]).getroot()
        new_root = ET.parse(argv[2]).getroot()
    except (OSError, ET.ParseError) as err:
        print(f"ui-compare: {err}", file=sys.stderr)
        return 2
    if old_root.tag != "ui" or new_root.tag != "ui":
        print("ui-compare: not a Designer form (no <ui> root)", file=sys.stderr)
        return 2
    matters, other, same = compare(old_root, new_root)
    for group, lines in (("MATTERS", matters), ("OTHER", other), ("SAME", same)):
        for line in lines:
            print(f"{group}: {line}")
    if not (matters or other or same):
        print("no difference but formatting")
    return 1 if matters else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
