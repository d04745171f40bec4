/* art_engine.js - the artwork engine for the page's script: vexa-art's own
   painting (art_engine.cpp) behind one call. An Emscripten --post-js, so it
   runs inside the module and adds its functions to it.

     // once the module has started (the page: its faces are packed in)
     var result = Module.art_make({
       title: 'Danke',                     // omitted or null: the default words
       subtitle: 'bis bald',
       lines: ['see you', 'شكرا'],          // omitted: the default strips; [] none
       photo: {name: 'trip.jpg', bytes: u8} // omitted: the painted backdrop
     });
     result.ok      // true: made; false: refused (nothing made)
     result.images  // [{name: '5.bmp', bytes: Uint8Array}, ...] the twelve
                    // BMP files vexa-art writes, in the show's load order
     result.notes   // [{field, text}]: characters no face has, and when !ok
                    // the refusal last. field: 'title', 'subtitle', 'line 1'
                    // ... 'line 8', 'lines', 'photo', or '' for none; text:
                    // the message as vexa-art prints it
   A show document instead (docs/show-document.md), through the native
   programs' own loader, with their one-line refusals:

     // the files it names first, under one directory of the file system
     Module.art_add_file('/show/mia.jpg', u8);
     var result = Module.art_make_show(jsonText, '/show', 'party.vexa.json');
     result.status  // 0 made; 2 the document refused; 1 a file it names or
                    // the painting refused
     result.ok, result.images, result.notes  as above; when refused the last
                    // note's field is the key's path ('look.title.colour',
                    // '' for the whole document) and its text the line:
                    // 'party.vexa.json: look.title.colour: "#ggg" is not a colour'
   (a .vexa package is unzipped by the page into that directory first).

   Strings are sent as UTF-8; a lone surrogate (never valid text) is sent
   as U+FFFD, as TextEncoder does.

   The default artwork (vexa-art with no options, the same bytes): either
   Module.art_make({}), or written as files into the module's file system
   (what the page does at start, and what a module of its own, an export
   worker, does for its copy):

     Module.art_write_default('/tex');  // true: the twelve files are there

   The show loads the last artwork made when the page's main passes
   art_engine_show_images() to show_init. Outside the page (Node) give the
   faces first: Module.art_add_font('DejaVuSans.ttf', bytes) for each of
   DejaVuSans, DejaVuSans-Bold, DejaVuSerif, DejaVuSerif-Bold (.ttf). */
Module['art_add_font'] = function(name, bytes) {
  FS.mkdirTree('/art-fonts');
  FS.writeFile('/art-fonts/' + name, bytes);
};

// A file a show document names, written into the engine's file system
// (its directories made).
Module['art_add_file'] = function(file, bytes) {
  FS.mkdirTree(file.replace(/\/[^\/]*$/, '') || '/');
  FS.writeFile(file, bytes);
};

Module['art_write_default'] = function(dir) {
  var bytes = new TextEncoder().encode(String(dir));
  var p = _malloc(bytes.length + 1);
  if (!p)
    throw new Error('art_write_default: out of memory');
  try {
    HEAPU8.set(bytes, p);
    HEAPU8[p + bytes.length] = 0;
    return _art_engine_write_default(p) === 0;
  } finally {
    _free(p);
  }
};

Module['art_make'] = function(request) {
  var held = [];
  function hold(size) {
    var p = _malloc(Math.max(size, 1));
    if (!p)
      throw new Error('art_make: out of memory');
    held.push(p);
    return p;
  }
  // UTF-8 with a final zero; a lone surrogate becomes U+FFFD, as everywhere
  // on the web. text(s): [address, size] without the zero, [0, 0] for none.
  function text(s) {
    if (s === undefined || s === null)
      return [0, 0];
    var bytes = new TextEncoder().encode(String(s));
    var p = hold(bytes.length + 1);
    HEAPU8.set(bytes, p);
    HEAPU8[p + bytes.length] = 0;
    return [p, bytes.length];
  }
  try {
    var lines = request.lines, lines_p = 0, sizes_p = 0, count = -1;
    if (lines !== undefined && lines !== null) {
      count = lines.length;
      lines_p = hold(4 * count);
      sizes_p = hold(4 * count);
      for (var i = 0; i < count; ++i) {
        var line = text(lines[i]);
        HEAPU32[(lines_p >> 2) + i] = line[0];
        HEAPU32[(sizes_p >> 2) + i] = line[1];
      }
    }
    var photo = request.photo, photo_p = 0, photo_size = 0, photo_name = 0;
    if (photo) {
      photo_size = photo.bytes.length;
      photo_p = hold(photo_size);
      HEAPU8.set(photo.bytes, photo_p);
      photo_name = text(photo.name || '')[0];
    }
    var title = text(request.title), subtitle = text(request.subtitle);
    var status = _art_engine_make(title[0], title[1], subtitle[0], subtitle[1], lines_p, sizes_p, count,
                                  photo_p, photo_size, photo_name);
    return art_result(status);
  } finally {
    held.forEach(function(p) { _free(p); });
  }
};

Module['art_make_show'] = function(json, dir, name) {
  var held = [];
  function string(s) {
    var bytes = new TextEncoder().encode(String(s));
    var p = _malloc(bytes.length + 1);
    if (!p)
      throw new Error('art_make_show: out of memory');
    held.push(p);
    HEAPU8.set(bytes, p);
    HEAPU8[p + bytes.length] = 0;
    return p;
  }
  try {
    return art_result(_art_engine_make_show(string(json), string(dir || '/'), string(name || 'show.vexa.json')));
  } finally {
    held.forEach(function(p) { _free(p); });
  }
};

// What the engine made or refused, read out of its memory.
function art_result(status) {
  var result = {ok: status === 0, status: status, images: [], notes: []};
  var images = _art_engine_image_count();
  for (var k = 0; k < images; ++k) {
    var data = _art_engine_image_data(k), size = _art_engine_image_size(k);
    result.images.push({name: UTF8ToString(_art_engine_image_name(k)),
                        bytes: HEAPU8.slice(data, data + size)});
  }
  var notes = _art_engine_note_count();
  for (var n = 0; n < notes; ++n)
    result.notes.push({field: UTF8ToString(_art_engine_note_field(n)),
                       text: UTF8ToString(_art_engine_note_text(n))});
  return result;
}
