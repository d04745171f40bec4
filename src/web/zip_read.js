// zip_read.js - the files of a zip archive (a .vexa show), read in the
// page: stored entries as they are, deflated ones through the browser's
// DecompressionStream('deflate-raw'), each checked against its CRC-32.
//
//   const files = await zip_read(bytes);  // Map of name -> Uint8Array
//
// Throws an Error whose message says in plain words what is wrong: not a
// zip, an entry escaping its folder (a name with '..' or starting with '/'),
// a method other than stored or deflate, more than zip_read.max_bytes
// unpacked in all, a damaged entry.
var zip_read = (function() {
  'use strict';

  var max_bytes = 64 * 1048576;

  function fail(why) {
    throw new Error(why);
  }

  async function inflate(bytes, size) {
    var stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
    var reader = stream.getReader(), parts = [], got = 0;
    for (;;) {
      var step = await reader.read();
      if (step.done)
        break;
      got += step.value.length;
      if (got > size)  // more than the header says: never unpack past it
        fail('an entry unpacks to more than its header says');
      parts.push(step.value);
    }
    var out = new Uint8Array(got), at = 0;
    parts.forEach(function(p) { out.set(p, at); at += p.length; });
    return out;
  }

  async function read(bytes) {
    var view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    // The end record: in the last 22 + 65535 bytes.
    var end = -1;
    for (var i = bytes.length - 22; i >= 0 && i >= bytes.length - 22 - 65535; --i)
      if (view.getUint32(i, true) === 0x06054B50) {
        end = i;
        break;
      }
    if (end < 0)
      fail('it is not a zip archive');
    var count = view.getUint16(end + 10, true), at = view.getUint32(end + 16, true);
    var files = new Map(), total = 0;
    var decoder = new TextDecoder('utf-8', { fatal: true });
    for (var n = 0; n < count; ++n) {
      if (at + 46 > bytes.length || view.getUint32(at, true) !== 0x02014B50)
        fail('its list of files is damaged');
      var method = view.getUint16(at + 10, true), crc = view.getUint32(at + 16, true);
      var packed = view.getUint32(at + 20, true), size = view.getUint32(at + 24, true);
      var name_length = view.getUint16(at + 28, true), extra = view.getUint16(at + 30, true);
      var comment = view.getUint16(at + 32, true), local = view.getUint32(at + 42, true);
      var name;
      try {
        name = decoder.decode(bytes.subarray(at + 46, at + 46 + name_length));
      } catch (e) {
        fail('a file name in it is not UTF-8');
      }
      at += 46 + name_length + extra + comment;
      if (/^\/|^[A-Za-z]:|(^|[\\/])\.\.([\\/]|$)/.test(name))
        fail(name + ': a name that leaves the show\'s folder');
      if (name.endsWith('/'))
        continue;
      total += size;
      if (total > max_bytes)
        fail('it unpacks to more than ' + max_bytes / 1048576 + ' MB');
      if (local + 30 > bytes.length || view.getUint32(local, true) !== 0x04034B50)
        fail(name + ': its entry is damaged');
      var data = local + 30 + view.getUint16(local + 26, true) + view.getUint16(local + 28, true);
      if (data + packed > bytes.length)
        fail(name + ': its entry is cut short');
      var body = bytes.subarray(data, data + packed), out;
      if (method === 0)
        out = body.slice();
      else if (method === 8)
        out = await inflate(body, size).catch(function(e) { fail(name + ': damaged (' + e.message + ')'); });
      else
        fail(name + ': packed in a way this page cannot read (method ' + method + ')');
      if (out.length !== size || zip_store.crc32(out) !== crc)
        fail(name + ': damaged (its check sum differs)');
      files.set(name, out);
    }
    return files;
  }

  read.max_bytes = max_bytes;
  return read;
})();
