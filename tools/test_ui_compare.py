#!/usr/bin/env python3
"""Checks of tools/ui-compare.py, the check behind tools/designer-save.sh.

    python3 tools/test_ui_compare.py

Like designer-save.sh, a developer's tool: nothing in the build or CI runs it.
"""

import importlib.util
import os
import unittest
import xml.etree.ElementTree as ET

_spec = importlib.util.spec_from_file_location(
    "ui_compare", os.path.join(os.path.dirname(os.path.abspath(__file__)), "ui-compare.py"))
ui_compare = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(ui_compare)

# A small form in the compact hand-written style.
BEFORE = """<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>frmT</class>
 <widget class="QWidget" name="frmT">
  <property name="windowTitle"><string>T</string></property>
  <property name="geometry"><rect><x>0</x><y>0</y><width>300</width><height>200</height></rect></property>
  <layout class="QVBoxLayout" name="mainLayout">
   <property name="spacing"><number>4</number></property>
   <item>
    <widget class="QLabel" name="nameLbl">
     <property name="text"><string>&amp;Name:</string></property>
     <property name="buddy"><cstring>nameTxt</cstring></property>
     <property name="alignment"><set>Qt::AlignLeft|Qt::AlignTop</set></property>
    </widget>
   </item>
   <item>
    <widget class="QLineEdit" name="nameTxt">
     <property name="toolTip"><string>Your name</string></property>
     <property name="accessibleName"><string>Name</string></property>
     <property name="enabled"><bool>false</bool></property>
    </widget>
   </item>
   <item>
    <widget class="QWidget" name="host">
     <layout class="QHBoxLayout" name="hostLayout">
      <item><spacer name="sp"><property name="orientation"><enum>Qt::Horizontal</enum></property></spacer></item>
      <item><widget class="QPushButton" name="okBut"><property name="text"><string>OK</string></property></widget></item>
     </layout>
    </widget>
   </item>
  </layout>
 </widget>
 <tabstops><tabstop>nameTxt</tabstop><tabstop>okBut</tabstop></tabstops>
 <resources/>
 <connections/>
</ui>
"""


def run(after_text, before_text=BEFORE):
    return ui_compare.compare(ET.fromstring(before_text), ET.fromstring(after_text))


class Formatting(unittest.TestCase):
    def test_reformatted_and_reordered_properties_are_no_difference(self):
        # As Designer writes it: one element a line, properties in its order,
        # empty sections left out.
        after = ET.fromstring(BEFORE)
        for e in after.iter():
            props = [k for k in e if k.tag == "property"]
            for p in props:
                e.remove(p)
            for i, p in enumerate(reversed(props)):
                e.insert(i, p)
        ET.indent(after, " ")
        for tag in ("resources", "connections"):
            after.remove(after.find(tag))
        text = ET.tostring(after, encoding="unicode")
        self.assertNotEqual(text.replace(" ", "").replace("\n", ""),
                            BEFORE.split("?>", 1)[1].replace(" ", "").replace("\n", ""))
        self.assertEqual(run(text), ([], [], []))


class Changes(unittest.TestCase):
    def assert_matters(self, old, new, words):
        after = BEFORE.replace(old, new, 1)
        self.assertNotEqual(after, BEFORE, old)
        matters, _other, _same = run(after)
        self.assertTrue(any(all(w in m for w in words) for m in matters), (words, matters))

    def test_a_changed_text_matters(self):
        self.assert_matters("&amp;Name:", "Name:", ["nameLbl", "text"])

    def test_a_lost_tool_tip_matters(self):
        self.assert_matters('<property name="toolTip"><string>Your name</string></property>', "",
                            ["nameTxt", "toolTip", "removed"])

    def test_a_changed_accessible_name_matters(self):
        self.assert_matters("<string>Name</string>", "<string>Name field</string>",
                            ["nameTxt", "accessibleName"])

    def test_a_changed_buddy_matters(self):
        self.assert_matters("<cstring>nameTxt</cstring>", "<cstring>okBut</cstring>",
                            ["nameLbl", "buddy"])

    def test_a_renamed_widget_matters(self):
        after = BEFORE.replace('name="okBut"', 'name="pushButton"').replace(
            "<tabstop>okBut</tabstop>", "<tabstop>pushButton</tabstop>")
        matters, _, _ = run(after)
        self.assertTrue(any("'okBut' is gone" in m for m in matters), matters)
        self.assertTrue(any("'pushButton' is new" in m for m in matters), matters)

    def test_another_tab_order_matters(self):
        self.assert_matters("<tabstop>nameTxt</tabstop><tabstop>okBut</tabstop>",
                            "<tabstop>okBut</tabstop><tabstop>nameTxt</tabstop>", ["tab order"])

    def test_any_other_text_matters(self):
        self.assert_matters("<string>T</string></property>",
                            '<string>T</string></property><property name="styleSheet">'
                            '<string notr="true">color: red;</string></property>',
                            ["frmT", "styleSheet", "added"])

    def test_a_resource_matters(self):
        self.assert_matters("<resources/>", '<resources><include location="a.qrc"/></resources>',
                            ["<resources>"])

    def test_a_layout_property_matters(self):
        self.assert_matters("<number>4</number>", "<number>6</number>", ["mainLayout", "spacing"])

    def test_widgets_in_another_order_in_a_layout_matters(self):
        a = BEFORE.index("   <item>\n    <widget class=\"QLabel\"")
        b = BEFORE.index("   <item>\n    <widget class=\"QLineEdit\"")
        c = BEFORE.index("   <item>\n    <widget class=\"QWidget\"")
        after = BEFORE[:a] + BEFORE[b:c] + BEFORE[a:b] + BEFORE[c:]
        matters, _, _ = run(after)
        self.assertTrue(any("nameLbl" in m and "place in the layout" in m for m in matters), matters)

    def test_a_container_turned_into_a_bare_layout_matters_and_says_why(self):
        # What Designer does to a plain QWidget without native="true".
        start = BEFORE.index('    <widget class="QWidget" name="host">\n')
        inner = BEFORE.index('     <layout class="QHBoxLayout"')
        inner_end = BEFORE.index("     </layout>\n") + len("     </layout>\n")
        end = inner_end + len("    </widget>\n")
        after = BEFORE[:start] + BEFORE[inner:inner_end] + BEFORE[end:]
        matters, _, _ = run(after)
        self.assertTrue(any("'host' is gone" in m and 'native="true"' in m for m in matters), matters)
        self.assertTrue(any("'hostLayout' moved from 'host' to 'mainLayout'" in m for m in matters),
                        matters)

    def test_a_new_custom_widget_matters(self):
        self.assert_matters(
            "<resources/>",
            "<customwidgets><customwidget><class>X</class><extends>QWidget</extends>"
            "<header>x.h</header></customwidget></customwidgets><resources/>",
            ["<customwidgets>"])


class OtherAndSame(unittest.TestCase):
    def test_another_value_of_a_plain_property_is_told_but_does_not_matter(self):
        matters, other, _ = run(BEFORE.replace("<bool>false</bool>", "<bool>true</bool>"))
        self.assertEqual(matters, [])
        self.assertTrue(any("nameTxt" in o and "enabled" in o for o in other), other)

    def test_an_aliased_flag_is_the_same_value(self):
        matters, other, same = run(BEFORE.replace(
            "<set>Qt::AlignLeft|Qt::AlignTop</set>",
            "<set>Qt::AlignLeading|Qt::AlignLeft|Qt::AlignTop</set>"))
        self.assertEqual((matters, other), ([], []))
        self.assertEqual(len(same), 1, same)

    def test_a_lost_flag_is_not_the_same_value(self):
        _, other, same = run(BEFORE.replace(
            "<set>Qt::AlignLeft|Qt::AlignTop</set>", "<set>Qt::AlignTop</set>"))
        self.assertEqual(same, [])
        self.assertTrue(any("alignment" in o for o in other), other)

    def test_a_spacer_size_at_uics_default_is_the_same_but_another_is_not(self):
        zero = ('<property name="sizeHint" stdset="0"><size><width>0</width>'
                '<height>0</height></size></property>')
        matters, _, same = run(BEFORE.replace("</enum></property></spacer>",
                                              "</enum></property>" + zero + "</spacer>"))
        self.assertEqual(matters, [])
        self.assertTrue(any("sp" in s and "sizeHint" in s for s in same), same)
        matters, _, _ = run(BEFORE.replace("</enum></property></spacer>",
                                           "</enum></property>" + zero.replace(">0<", ">40<", 1)
                                           + "</spacer>"))
        self.assertTrue(any("sizeHint" in m for m in matters), matters)


if __name__ == "__main__":
    unittest.main()
