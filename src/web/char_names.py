#!/usr/bin/env python3
# char_names.py - writes char_names.js, the page's names of the symbols and
# pictographs people type that the artwork's faces lack (emoji, dingbats),
# lower-cased from Python's Unicode database. The page's build runs it:
#   python3 src/web/char_names.py char_names.js
import sys
import unicodedata

ranges = [(0x2190, 0x21FF), (0x2300, 0x23FF), (0x2600, 0x27BF), (0x2B00, 0x2BFF),
          (0x1F000, 0x1F02F), (0x1F0A0, 0x1F0FF), (0x1F170, 0x1F1FF), (0x1F300, 0x1FAFF)]
entries = []
for lo, hi in ranges:
    for c in range(lo, hi + 1):
        name = unicodedata.name(chr(c), '')
        if name:
            entries.append('%X %s' % (c, name.lower()))
out = open(sys.argv[1], 'w', encoding='utf-8') if len(sys.argv) > 1 else sys.stdout
out.write('// char_names.js - names of symbols and pictographs (emoji, arrows, dingbats)\n')
out.write('// as the page says them ("birthday cake"), Unicode %s. Written by\n' % unicodedata.unidata_version)
out.write('// char_names.py at build time.\n//\n')
out.write('//   char_name(0x1F382)  // "birthday cake", or "" when not in the table\n')
out.write('var char_name = (function() {\n  \'use strict\';\n  var table = null;\n  var text =\n')
for i in range(0, len(entries), 8):
    out.write("    '" + '\\n'.join(e.replace("'", "\\'") for e in entries[i:i + 8]) + "\\n' +\n")
out.write("    '';\n")
out.write('''  return function(code) {
    if (!table) {
      table = new Map();
      text.split('\\n').forEach(function(line) {
        var space = line.indexOf(' ');
        if (space > 0)
          table.set(parseInt(line.slice(0, space), 16), line.slice(space + 1));
      });
    }
    return table.get(code) || '';
  };
})();
''')
