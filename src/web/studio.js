// studio.js - the studio beside the player: the show's words, photo, seed
// and aspect, the preview's controls, "Download video" (export.js),
// "Download artwork" (the twelve images as a zip, zip_store.js) and "Copy
// link". The form stays locked until the show has loaded.
//
// The words, seed and aspect travel in the page's address, in its query or
// (winning over it) its fragment: #title=...&subtitle=...&line=...(up to
// seven)&seed=N&aspect=16:9. A bad value in either (text that is not UTF-8
// too) is named in the notice.
// Artwork from the words needs the page's artwork engine (Module.art_make);
// its twelve images are written to /studio/tex and the show reloaded from
// there: when a word is typed and the typing pauses, on Enter, and before a
// video is made from words or a photo the artwork does not have yet.
// vexa_studio.export_video(options) is the download behind the button, for
// any span, rate and size (with the artwork as it stands).
var vexa_studio = (function() {
  'use strict';

  // 'window': the player's own shape, whatever the window makes it (a phone
  // held upright gets the tall layout); the others frame the preview.
  var aspects = { 'window': null, '4:3': [4, 3], '16:9': [16, 9], '9:16': [9, 16], '1:1': [1, 1] };
  // The export spans, from the show's timeline (classically 16000 ms, the closing from 9000).
  function spans() {
    var end = Module._web_show_end(), closing = Module._web_closing_start();
    return { show: [0, end], leader: [0, closing], closing: [closing, end] };
  }
  var rates = { '24': [24, 1], '25': [25, 1], '30': [30, 1], '23.976': [24000, 1001], '29.97': [30000, 1001] };
  var max_lines = 7;
  var $ = function(id) { return document.getElementById(id); };
  var state = { aspect: 'window', seed: null, photo: null, job: null, art_dir: 0, remake: null,
                made: { title: '', subtitle: '', lines: '', photo: null } };  // the artwork's words: at first the default's
  var remake_after_ms = 700;  // typing paused this long makes the artwork

  // The address's words, seed and aspect: the query's, then the fragment's
  // over them. Returns {title, subtitle, lines, seed, aspect}, each absent
  // when not given or bad.
  function read_address() {
    var found = {};
    [location.search, location.hash].forEach(function(part, index) {
      var mark = index === 0 ? '?' : '#';
      var params = new URLSearchParams();
      part.slice(1).split('&').forEach(function(pair) {
        var equals = pair.indexOf('='), name, value;
        try {
          name = decodeURIComponent((equals < 0 ? pair : pair.slice(0, equals)).replace(/\+/g, ' '));
          value = equals < 0 ? '' : decodeURIComponent(pair.slice(equals + 1).replace(/\+/g, ' '));
        } catch (e) {  // a malformed escape, or bytes that are not UTF-8
          Module.notice('vexa: ' + mark + pair.slice(0, 40) + ': not UTF-8 text');
          return;
        }
        if (pair)
          params.append(name, value);
      });
      var lines = params.getAll('line');
      if (lines.length > max_lines)
        Module.notice('vexa: ' + mark + 'line: ' + lines.length + ' lines, at most ' + max_lines + ' are shown');
      if (lines.length)
        found.lines = lines.slice(0, max_lines);
      ['title', 'subtitle'].forEach(function(name) {
        if (params.has(name))
          found[name] = params.get(name);
      });
      if (params.has('aspect')) {
        if (aspects.hasOwnProperty(params.get('aspect')))
          found.aspect = params.get('aspect');
        else
          Module.notice('vexa: ' + mark + 'aspect=' + params.get('aspect').slice(0, 40) +
                        ': not an aspect (window, 4:3, 16:9, 9:16, 1:1)');
      }
      // The query's seed is the player's own (page_options); the fragment's wins.
      if (index === 1 && params.has('seed')) {
        var seed = params.get('seed');
        if (/^[0-9]{1,10}$/.test(seed) && Number(seed) <= 4294967295)
          found.seed = Number(seed);
        else
          Module.notice('vexa: #seed=' + seed.slice(0, 40) + ': not a seed (0 to 4294967295)');
      }
    });
    return found;
  }

  function link() {
    var params = new URLSearchParams();
    if ($('title').value)
      params.append('title', $('title').value);
    if ($('subtitle').value)
      params.append('subtitle', $('subtitle').value);
    strip_lines().forEach(function(line) { params.append('line', line); });
    params.append('seed', String(Module._web_seed() >>> 0));
    params.append('aspect', state.aspect);
    return location.href.replace(/#.*$/, '') + '#' + params.toString().replace(/\+/g, '%20');
  }

  function strip_lines() {
    var text = $('lines').value.replace(/\r/g, '');
    if (!text)
      return [];
    return text.split('\n').slice(0, max_lines);
  }

  // The chosen aspect, [w, h]; the player's own for 'window'.
  function aspect() {
    var player = $('player');
    return aspects[state.aspect] || [Math.max(player.clientWidth, 1), Math.max(player.clientHeight, 1)];
  }

  // The canvas: the largest box of the chosen aspect inside the player.
  function fit_player() {
    var player = $('player'), a = aspect();
    var w = player.clientWidth, h = player.clientHeight;
    if (w * a[1] > h * a[0])
      w = Math.round(h * a[0] / a[1]);
    else
      h = Math.round(w * a[1] / a[0]);
    Module.canvas.style.width = w + 'px';
    Module.canvas.style.height = h + 'px';
    window.dispatchEvent(new Event('resize'));  // the show redraws at the new size
  }

  // A line under the field it concerns ('title', 'subtitle', 'line 3',
  // 'lines', 'photo'; others under the form's buttons); a warning stands
  // out from a refusal.
  function field_message(field, text, warning) {
    var id = { title: 'title-message', subtitle: 'subtitle-message', photo: 'photo-message' }[field] ||
             (/^line/.test(field) ? 'lines-message' : 'words-message');
    var line = document.createElement('span');
    line.textContent = warning ? 'Warning: ' + text : text;
    if (warning)
      line.className = 'warning';
    if ($(id).firstChild)
      $(id).appendChild(document.createTextNode('\n'));
    $(id).appendChild(line);
  }

  function form_words() {
    return { title: $('title').value, subtitle: $('subtitle').value, lines: $('lines').value, photo: state.photo };
  }

  function artwork_current() {
    var now = form_words();
    return ['title', 'subtitle', 'lines', 'photo'].every(function(k) { return state.made[k] === now[k]; });
  }

  function remake_soon() {
    clearTimeout(state.remake);
    state.remake = setTimeout(function() {
      if (!state.job && !artwork_current())
        make_art();
    }, remake_after_ms);
  }

  // New artwork from the words and the photo, when the page has the engine:
  // the engine's result ({ok, images, notes}), or null when there is none.
  // Notes are shown by their fields: when refused, the last is the refusal
  // and those before it warnings, as all are when made.
  function make_art() {
    clearTimeout(state.remake);
    ['title-message', 'subtitle-message', 'lines-message', 'photo-message', 'words-message'].forEach(function(id) {
      $(id).textContent = '';
    });
    if (!Module.art_make) {
      field_message('', 'This page was built without the artwork engine: the show keeps its own words.');
      return null;
    }
    var request = { title: $('title').value || null, subtitle: $('subtitle').value || null };
    if ($('lines').value)
      request.lines = strip_lines();
    if (state.photo)
      request.photo = state.photo;
    var result;
    try {
      result = Module.art_make(request);
    } catch (e) {  // the page's memory will not hold the photo
      result = { ok: false, images: [], notes: [{ field: state.photo ? 'photo' : '',
                                                  text: 'The artwork could not be made: ' + (e && e.message || e) }] };
    }
    result.notes.forEach(function(note, i) {
      field_message(note.field, note.text, result.ok || i < result.notes.length - 1);
    });
    if (!result.ok)
      return result;
    FS.mkdirTree('/studio/tex');
    result.images.forEach(function(image) { FS.writeFile('/studio/tex/' + image.name, image.bytes); });
    state.art_dir = 1;
    state.made = form_words();
    reload();
    return result;
  }

  function download(blob, name) {
    var a = document.createElement('a');
    a.href = URL.createObjectURL(blob);
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(function() { URL.revokeObjectURL(a.href); }, 60000);
  }

  // The artwork of the form's words and photo, made afresh, as a zip of
  // tex/ and its twelve files: unzipped into a directory, `vexa DIR` and
  // `vexa-capture --tex DIR` play it. Nothing is downloaded when refused.
  function download_art() {
    var result = make_art();
    if (!result || !result.ok)
      return null;
    var files = result.images.map(function(image) { return { name: 'tex/' + image.name, bytes: image.bytes }; });
    download(zip_store(files, new Date()), 'vexa-artwork.zip');
    field_message('', 'Downloaded vexa-artwork.zip: unzip it into a directory DIR, then play it with vexa DIR.');
    $('words-message').lastChild.className = 'done';
    return 'vexa-artwork.zip';
  }

  function reload() {
    Module.ccall('web_reload', 'number', ['string', 'number', 'number'],
                 [state.art_dir ? '/studio/tex' : null, $('photo-on').checked ? 1 : 0, state.seed >>> 0]);
  }

  function export_size() {
    // The window's shape is kept between 9:16 and 16:9, the shapes encoders take at 1080 lines.
    var a = aspect(), lines = Number($('size').value);
    a = a[0] * 16 < a[1] * 9 ? [9, 16] : a[0] * 9 > a[1] * 16 ? [16, 9] : a;
    var w = a[0] >= a[1] ? Math.round(lines * a[0] / a[1]) : lines, h = a[0] >= a[1] ? lines : Math.round(lines * a[1] / a[0]);
    return [w + (w & 1), h + (h & 1)];
  }

  function seconds(ms) {
    return ms < 60000 ? Math.ceil(ms / 1000) + ' s' : Math.floor(ms / 60000) + ' min ' + Math.ceil(ms % 60000 / 1000) + ' s';
  }

  // Exports and downloads; resolves to the file's name, or null when cancelled.
  async function export_video(options) {
    $('studio-form').disabled = true;
    $('export').hidden = true;
    $('cancel').hidden = false;
    $('progress').hidden = false;
    $('progress').value = 0;
    $('export-status').textContent = 'Starting...';
    var started = performance.now();
    state.job = vexa_export.start(options, function(done, total) {
      $('progress').value = done / total;
      var left = (performance.now() - started) / done * (total - done);
      $('export-status').textContent = 'Frame ' + done + ' of ' + total + ', about ' + seconds(left) + ' left';
    });
    try {
      var file = await state.job.done;
      if (!file) {
        $('export-status').textContent = 'Cancelled: nothing was downloaded.';
        return null;
      }
      download(file.blob, file.name);
      $('export-status').textContent = 'Downloaded ' + file.name + ' (' + (file.blob.size / 1048576).toFixed(1) +
                                       ' MB, ' + seconds(performance.now() - started) + ').';
      return file.name;
    } catch (e) {
      $('export-status').textContent = 'The video could not be made: ' + (e && e.message || e);
      throw e;
    } finally {
      state.job = null;
      $('studio-form').disabled = false;
      $('export').hidden = false;
      $('cancel').hidden = true;
      $('progress').hidden = true;
    }
  }

  function on_export() {
    if (Module.art_make && !artwork_current()) {  // the video shows the form's words and photo
      var result = make_art();
      if (!result.ok) {
        $('export-status').textContent = 'No video was made: the words or the photo were refused (see beside them).';
        return;
      }
    }
    var span = spans()[$('span').value], size = export_size();
    export_video({ from: span[0], to: span[1], rate: rates[$('rate').value], width: size[0], height: size[1],
                   pop: $('pop').checked }).catch(function() {});
  }

  // A photo picked or dropped becomes the backdrop; one refused leaves the
  // one before it in place.
  function pick_photo(file) {
    if (!file)
      return;
    $('photo-message').textContent = '';
    if (!/^image\/(png|jpeg)$/.test(file.type) && !/\.(png|jpe?g)$/i.test(file.name)) {
      $('photo-message').textContent = file.name + ': not a PNG or JPEG image';
      $('photo-file').value = '';
      return;
    }
    file.arrayBuffer().then(function(buffer) {
      var before = { photo: state.photo, name: $('photo-name').textContent, on: $('photo-on').checked };
      state.photo = { name: file.name, bytes: new Uint8Array(buffer) };
      $('photo-name').textContent = file.name;
      $('photo-on').checked = true;
      var result = make_art();
      if (result && !result.ok && result.notes[result.notes.length - 1].field === 'photo') {
        state.photo = before.photo;
        $('photo-name').textContent = before.name;
        $('photo-on').checked = before.on;
        $('photo-file').value = '';
      }
    }, function(e) {
      $('photo-message').textContent = file.name + ': could not be read (' + (e && e.message || e) + ')';
      $('photo-file').value = '';
    });
  }

  // The preview's controls follow the show.
  function tick() {
    if (Module.calledRun) {  // the exports' wrappers exist before the module is ready to run them
      var running = Module._web_state() !== 2;
      $('scrub').max = Module._web_show_end() - 1;  // the show's length, whatever its timing
      if (!$('scrub').matches(':active'))
        $('scrub').value = Module._web_time();
      $('time').textContent = (Module._web_time() / 1000).toFixed(1) + ' s';
      $('play').textContent = running && !Module._web_paused() ? 'Pause' : 'Play';
      if (Module._web_frames() > 0 || Module._web_state() === 2)
        $('loading').hidden = true;
    }
    if ($('notice').textContent)
      $('loading').hidden = true;
    requestAnimationFrame(tick);
  }

  function start() {
    var found = read_address();
    $('title').value = found.title || '';
    $('subtitle').value = found.subtitle || '';
    $('lines').value = (found.lines || []).join('\n');
    state.aspect = found.aspect || 'window';
    $('aspect').value = state.aspect;
    $('photo-on').checked = /(^|[?&])photo(=(1|true|yes|on)?)?(&|$)/i.test(location.search);
    state.seed = found.seed !== undefined ? found.seed : Module._web_seed();
    $('seed').value = state.seed;
    if (found.seed !== undefined)
      reload();
    if (found.title !== undefined || found.subtitle !== undefined || found.lines)
      make_art();

    var why = Module.ctx ? vexa_export.unavailable() : 'Video export draws with WebGL, which this browser lacks.';
    $('export').disabled = !!why;
    $('export-status').textContent = why || '';
    $('studio-form').disabled = false;
    $('copy-link').disabled = false;
    if (matchMedia('(prefers-reduced-motion: reduce)').matches && Module._web_still)
      Module._web_still(1);

    $('studio-form').addEventListener('submit', function(e) { e.preventDefault(); make_art(); });
    $('download-art').addEventListener('click', download_art);
    ['title', 'subtitle', 'lines'].forEach(function(id) { $(id).addEventListener('input', remake_soon); });
    $('photo-file').addEventListener('change', function() { pick_photo(this.files[0]); });
    document.addEventListener('dragover', function(e) { e.preventDefault(); });
    document.addEventListener('drop', function(e) {
      e.preventDefault();
      if (!state.job)
        pick_photo(e.dataTransfer.files[0]);
    });
    $('photo-on').addEventListener('change', reload);
    $('seed').addEventListener('change', function() {
      var v = $('seed').value.trim();
      $('seed-message').textContent = '';
      if (!/^[0-9]{1,10}$/.test(v) || Number(v) > 4294967295) {
        $('seed-message').textContent = v.slice(0, 40) + ': not a seed (0 to 4294967295)';
        return;
      }
      state.seed = Number(v);
      reload();
    });
    $('shuffle').addEventListener('click', function() {
      state.seed = crypto.getRandomValues(new Uint32Array(1))[0];
      $('seed').value = state.seed;
      reload();
    });
    $('aspect').addEventListener('change', function() { state.aspect = this.value; fit_player(); });
    $('play').addEventListener('click', function() { Module._web_tap(); });
    $('scrub').addEventListener('input', function() { Module._web_seek(Number(this.value)); });
    $('fullscreen').addEventListener('click', function() { Module.canvas.requestFullscreen().catch(function() {}); });
    $('export').addEventListener('click', on_export);
    $('cancel').addEventListener('click', function() {
      if (state.job) {
        state.job.cancel();
        $('export-status').textContent = 'Cancelling...';
      }
    });
    $('copy-link').addEventListener('click', function() {
      var address = link();
      $('link').value = address;
      $('link').hidden = false;
      if (navigator.clipboard)
        navigator.clipboard.writeText(address).then(function() {
          $('link-status').textContent = 'Link copied.';
        }, function() {
          $('link-status').textContent = 'Copy the link from the field.';
        });
    });
    new ResizeObserver(fit_player).observe($('player'));
    fit_player();
    requestAnimationFrame(tick);
  }

  return { start: start, export_video: export_video, download_art: download_art, link: link };
})();
