// zip_store.js - a zip archive of a few files, stored as they are (no
// compression: the artwork's BMP files are what the show reads, and unzip,
// Info-ZIP, 7-Zip and every desktop's archive tool take stored entries).
//
//   const blob = zip_store([{ name: 'tex/5.bmp', bytes: u8 }, ...], new Date());
//
// Names are ASCII paths with '/' between directories; each file is under
// 4 GB and there are fewer than 65535 of them (no Zip64). The date is the
// files' time, in local time as zip keeps it.
var zip_store = (function() {
  'use strict';

  var crc_table = null;
  function crc32(bytes) {
    if (!crc_table) {
      crc_table = new Uint32Array(256);
      for (var n = 0; n < 256; ++n) {
        var c = n;
        for (var k = 0; k < 8; ++k)
          c = c & 1 ? 0xEDB88320 ^ (c >>> 1) : c >>> 1;
        crc_table[n] = c >>> 0;
      }
    }
    var crc = 0xFFFFFFFF;
    for (var i = 0; i < bytes.length; ++i)
      crc = crc_table[(crc ^ bytes[i]) & 0xFF] ^ (crc >>> 8);
    return (crc ^ 0xFFFFFFFF) >>> 0;
  }

  // MS-DOS time and date, as zip headers hold them (from 1980, 2-second steps).
  function dos_time(date) {
    var year = Math.min(Math.max(date.getFullYear(), 1980), 2107);
    return [(date.getHours() << 11) | (date.getMinutes() << 5) | (date.getSeconds() >> 1),
            ((year - 1980) << 9) | ((date.getMonth() + 1) << 5) | date.getDate()];
  }

  // A header: fixed fields (size in bytes, value) followed by the name.
  function header(fields, name) {
    var size = fields.reduce(function(sum, f) { return sum + f[0]; }, 0);
    var bytes = new Uint8Array(size + name.length), view = new DataView(bytes.buffer), at = 0;
    fields.forEach(function(f) {
      if (f[0] === 4)
        view.setUint32(at, f[1], true);
      else
        view.setUint16(at, f[1], true);
      at += f[0];
    });
    for (var i = 0; i < name.length; ++i)
      bytes[at + i] = name.charCodeAt(i);
    return bytes;
  }

  var store = function(files, date) {
    var parts = [], central = [], offset = 0, when = dos_time(date);
    files.forEach(function(file) {
      var crc = crc32(file.bytes), size = file.bytes.length;
      // version 1.0, no flags, stored, time, date, crc, sizes, name length, no extra field
      var common = [[2, 10], [2, 0], [2, 0], [2, when[0]], [2, when[1]], [4, crc], [4, size], [4, size],
                    [2, file.name.length], [2, 0]];
      var local = header([[4, 0x04034B50]].concat(common), file.name);
      parts.push(local, file.bytes);
      // made by version 1.0, then as above, no comment, disk 0, no attributes, where its local header is
      central.push(header([[4, 0x02014B50], [2, 10]].concat(common, [[2, 0], [2, 0], [2, 0], [4, 0], [4, offset]]),
                          file.name));
      offset += local.length + size;
    });
    var central_size = central.reduce(function(sum, c) { return sum + c.length; }, 0);
    var end = header([[4, 0x06054B50], [2, 0], [2, 0], [2, files.length], [2, files.length], [4, central_size],
                      [4, offset], [2, 0]], '');
    return new Blob(parts.concat(central, [end]), { type: 'application/zip' });
  };
  store.crc32 = crc32;  // zip_read.js checks entries with it
  return store;
})();
